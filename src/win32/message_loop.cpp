#include <win32/message_loop.h>

#include <win32/window.h>

namespace win32 {

namespace {

// Keyboard navigation (Tab, access keys) for the dialog the message is meant for; then the usual
// translate and dispatch.
void DispatchOne(MSG& msg) {
    if (msg.hwnd) {
        const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (IsProgramDialog(root) && IsDialogMessageW(root, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool IsProgramWindow(HWND hwnd) {
    return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

struct Disabling {
    HWND keep;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOther(HWND w, LPARAM p) {
    auto* d = reinterpret_cast<Disabling*>(p);
    if (w != d->keep && IsWindowVisible(w) && IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        d->disabled->push_back(w);
    }
    return TRUE;
}

}  // namespace

bool DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchOne(msg);
    }
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
    return static_cast<int>(msg.wParam);
}

ModalScope::ModalScope(HWND modal) {
    const HWND active = GetActiveWindow();
    if (modal && IsProgramWindow(active) && active != modal) {
        SetWindowLongPtrW(modal, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(active));
    }
    Disabling d{modal, &disabled_};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&d));
}

void ModalScope::End() {
    for (HWND w : disabled_) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    disabled_.clear();
}

bool ModalScope::Run(const std::function<bool()>& done, HANDLE object) {
    const DWORD count = object ? 1 : 0;
    MSG msg;
    while (!done()) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            DispatchOne(msg);
            if (done()) return true;
        }
        // MWMO_INPUTAVAILABLE: input that someone already peeked at must wake the wait as well.
        if (MsgWaitForMultipleObjectsEx(count, &object, INFINITE, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0 + count) {
            return true;  // the object is signalled
        }
    }
    return true;
}

}  // namespace win32
