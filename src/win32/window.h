// The binding of an object to its top-level window, as ATL's lifetime rule has it: the window
// procedure counts the messages of the object on the stack, WM_NCDESTROY only marks the window
// gone, and whatever the end of the window or a release left to do is done when the outermost
// message has returned. Nothing unwinds through Windows' frames.
#pragma once

#include <windows.h>

namespace win32 {

class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // Destroys the window; the object stays and may make another.
    virtual void Unload();
    // The one way the object goes: at once when nothing of it is running, else when its outermost
    // message (or modal loop) has returned.
    void Release();

  protected:
    // Marks the object as running for the length of a scope: a message of its window or of one of
    // its controls, or a modal loop.
    class InUse {
      public:
        explicit InUse(Window& window) : window_(window) { ++window_.depth_; }
        InUse(const InUse&) = delete;
        InUse& operator=(const InUse&) = delete;
        ~InUse() { window_.Leave(); }

      private:
        Window& window_;
    };

    Window() = default;
    // Only Release deletes, and it destroys the window first; should a window still be there, it
    // is cut loose from the object before it goes, so that no message reaches a dead object.
    virtual ~Window();

    // Makes the window, bound to this object from WM_NCCREATE on. dialog: run by the dialog
    // manager (DefDlgProc, and dialog keys in the message loop). Null when Windows refused.
    HWND Create(bool dialog, DWORD exStyle, const wchar_t* caption, DWORD style, POINT at,
                SIZE size, HWND owner);
    bool Running() const { return depth_ > 0; }
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) const;

    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // After WM_NCDESTROY, while the object still counts as running.
    virtual void OnWindowGone() {}
    // Nothing of the object runs any more.
    virtual void OnFinalMessage() {}

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Unbind();
    void Leave();

    HWND hwnd_ = nullptr;
    bool dialog_ = false;
    int depth_ = 0;
    bool released_ = false;
};

// Whether hwnd is a top-level window of the program that the dialog manager runs. No string is
// compared: the class is known by its atom.
bool IsProgramDialog(HWND hwnd);

}  // namespace win32
