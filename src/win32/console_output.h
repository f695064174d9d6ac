// Where the command line's one line goes: standard output when it is redirected (a script, a
// deployment tool), else the console the program was started from, if any. The text is UTF-8:
// so it goes to a file or a pipe; a console is written in UTF-16.
#pragma once

#include <string>

namespace win32 {

void WriteOutput(const std::string& text);

}  // namespace win32
