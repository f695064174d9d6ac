#include <windows.h>

#include "forms.h"
#include "win32/app.h"

namespace tessaro::ref {

win32::FormRef<tessaro::Form1> Form1;
win32::FormRef<tessaro::frmAbout> frmAbout;
win32::FormRef<tessaro::frmGraphics> frmGraphics;

}  // namespace tessaro::ref

// The program starts with its main window and ends when its last window is gone.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The program runs elevated, often from a Downloads folder: a DLL planted beside it must
    // never be loaded, so later loads search the system folder only.
    // Looked up rather than imported: an unpatched Windows 7 lacks it and could not start us.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")))) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    win32::RunHandler([] { tessaro::ref::Form1->Show(); });
    return win32::RunMessageLoop();
}
