// The program's message loops: the main one, DoEvents, and the one modal wait that both a modal
// window and the raised write use.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace win32 {

// Delivers every pending message of the program's windows, then returns; false when it met the
// end of the program (WM_QUIT, posted again for the main loop).
bool DoEvents();

// The main loop: runs until the last window of the program is gone.
int RunMessageLoop();

// For its length, one window (or, with none, a piece of work the program waits for) is all of the
// program that takes input: every other window of the program is disabled, and a modal window is
// owned by the one it interrupts, so that it stays above it.
class ModalScope {
  public:
    explicit ModalScope(HWND modal);
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() { End(); }

    // Runs the program's messages until done() or until object (if any) is signalled. False when
    // the program is ending: WM_QUIT came, and is posted again for the loop outside.
    bool Run(const std::function<bool()>& done, HANDLE object = nullptr);
    // Enables the other windows again. A modal window calls it before it goes, so that activation
    // returns to the window it interrupted.
    void End();

  private:
    std::vector<HWND> disabled_;
};

}  // namespace win32
