// Process-wide services the windows rely on: the application folder, the message box with the
// product title, the end of the process and the report of untrapped errors.
#pragma once

#include <windows.h>

#include <string>

#include <win32/system_library.h>

namespace win32 {

inline constexpr const wchar_t* kProductTitle = L"Tessaro";

// The executable's full path, and its folder without a trailing backslash (a drive root keeps
// none either).
std::wstring ExePath();
std::wstring AppPath();

// Text, one OK button, the product title; style 0 or MB_ICONINFORMATION. Modal to the
// program's active window. Returns when the user dismisses it.
int MsgBox(const std::wstring& text, UINT style = MB_OK);

// Ends the process at once: no further handler of any window runs.
[[noreturn]] void EndProcess();

// Reports the error being handled and ends the program.
[[noreturn]] void ReportCurrentError();

// Runs an event handler, or a whole message: nothing escapes it. A run-time error that reaches it
// is reported and ends the program. A template, so that a message builds no std::function.
template <typename Handler>
void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ReportCurrentError();
    }
}

// Hidden window that owns the program's windows, so that none gets a taskbar button.
HWND HiddenOwner();

// COM on this thread for the program's life, apartment-threaded as the shell and the picture
// loader want it, without OLE1's DDE window.
class ComApartment {
  public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

  private:
    SystemLibrary ole32_;
    void(WINAPI* uninitialize_)() = nullptr;
};

// comctl32, loaded from the system folder at run time and kept for the program's life: the
// controls' window classes live in it. It is no KnownDLL: imported statically, it and its own
// dependencies would be looked for beside the program before the program could restrict the
// search.
const SystemLibrary& CommonControls();

// InitCommonControlsEx from that copy. Returns its result, FALSE when missing.
BOOL InitCommonControlsFromSystem(DWORD size, DWORD classes);

// Screen metrics in twips and pixels, as the effect reads them.
float ScreenWidthTwips();
float ScreenHeightTwips();
float TwipsPerPixelX();
float TwipsPerPixelY();

}  // namespace win32
