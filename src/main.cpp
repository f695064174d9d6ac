#include <windows.h>

#include "forms.h"
#include "platform/app.h"

namespace tessaro::ref {

platform::FormRef<tessaro::Form1> Form1;
platform::FormRef<tessaro::frmAbout> frmAbout;
platform::FormRef<tessaro::frmGraphics> frmGraphics;

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
    platform::RunHandler([] { tessaro::ref::Form1->Show(); });
    return platform::RunMessageLoop();
}
