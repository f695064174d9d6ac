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
    platform::RunHandler([] { tessaro::ref::Form1->Show(); });
    return platform::RunMessageLoop();
}
