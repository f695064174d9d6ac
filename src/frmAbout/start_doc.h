// The one way the About window hands a document or a web address to the shell, and what it
// tells the user when the shell could not open it.
#pragma once

#include <cstdint>
#include <string>

namespace about {

// Opens DocName (a file, a folder or a URL) with whatever the shell associates with it and
// returns the shell's code: above 32 the action started, 32 or less is a failure code. Shows
// nothing itself and does not wait for the program it starts.
std::int32_t StartDoc(const std::wstring& DocName);

// For a failure code, the message box with its fixed text (no icon); for success, nothing.
void ReportShellResult(std::int32_t code);

}  // namespace about
