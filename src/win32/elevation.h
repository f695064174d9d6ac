// Raising one action the way Windows' own shield buttons do: the program itself runs with the
// user's rights and starts an elevated copy of itself for the change alone.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// True when this process holds a full administrator token (started with "Run as
// administrator", UAC off, or a service account).
bool IsElevated();

struct ElevatedRun {
    bool started = false;
    DWORD error = 0;     // why it did not start: ERROR_CANCELLED when the user declined UAC
    DWORD exitCode = 0;  // when it started
};

// Starts this program again with `arguments` through the shell's "runas" verb, owned by `owner`,
// and waits for it to end, modally: the program's windows go on painting, all of them disabled.
ElevatedRun RunSelfElevated(HWND owner, const std::wstring& arguments);

}  // namespace win32
