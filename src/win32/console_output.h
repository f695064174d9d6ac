// Where the command line's one line goes: standard output when it is redirected (a script, a
// deployment tool), else the console the program was started from, if any.
#pragma once

#include <string>

namespace win32 {

void WriteOutput(const std::string& text);

}  // namespace win32
