// A Windows command line cut into words by the rules every Windows program is started with
// (those of CommandLineToArgvW and the C runtime): deployment tools, installers and PowerShell
// quote each argument, and the quotes must not become part of the word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace portable {

// The whole command line as the process got it, program name first. The first word follows the
// rule for the program's name: inside quotes up to the next quote, else up to white space, with
// no backslash rules. The others: white space (space, tab) outside quotes separates; 2n
// backslashes before a quote give n backslashes and the quote opens or closes quoting; 2n+1
// give n backslashes and a literal quote; backslashes before anything else stay as they are;
// inside quotes, a quote right after a closing one is a literal quote.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

}  // namespace portable
