#include <win32/window.h>

#include <win32/app.h>

namespace win32 {

namespace {

// The program's two classes of top-level window, registered by the first window made.
ATOM g_dialogClass = 0;
ATOM g_plainClass = 0;

bool RegisterClasses(WNDPROC proc) {
    for (const bool dialog : {true, false}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.cbWndExtra = dialog ? DLGWINDOWEXTRA : 0;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = dialog ? L"TessaroDialog" : L"TessaroWindow";
        (dialog ? g_dialogClass : g_plainClass) = RegisterClassExW(&wc);
    }
    return g_dialogClass && g_plainClass;
}

// The program ends with its last window, whichever that is.
int g_liveWindows = 0;

}  // namespace

bool IsProgramDialog(HWND hwnd) {
    return hwnd && g_dialogClass &&
           static_cast<ATOM>(GetClassLongPtrW(hwnd, GCW_ATOM)) == g_dialogClass;
}

Window::~Window() {
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    Unbind();  // its last messages go to the default procedure
    DestroyWindow(hwnd);
}

HWND Window::Create(bool dialog, DWORD exStyle, const wchar_t* caption, DWORD style, POINT at,
                    SIZE size, HWND owner) {
    static const bool registered = RegisterClasses(&Window::Proc);
    if (!registered) return nullptr;
    dialog_ = dialog;
    CreateWindowExW(exStyle, MAKEINTATOM(dialog ? g_dialogClass : g_plainClass), caption, style,
                    at.x, at.y, size.cx, size.cy, owner, nullptr, GetModuleHandleW(nullptr), this);
    return hwnd_;
}

LRESULT Window::Default(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return dialog_ ? DefDlgProcW(hwnd_, msg, wParam, lParam)
                   : DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Window::Unload() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Window::Release() {
    released_ = true;
    if (depth_ > 0) return;  // finished when the outermost message or modal loop returns
    ++depth_;
    Unload();
    --depth_;
    delete this;
}

void Window::Leave() {
    if (--depth_ > 0) return;
    OnFinalMessage();
    if (released_) Release();
}

void Window::Unbind() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (--g_liveWindows == 0) PostQuitMessage(0);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        // Bound here so that every later message, WM_CREATE included, reaches the object.
        auto* created =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        ++g_liveWindows;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return IsProgramDialog(hwnd) ? DefDlgProcW(hwnd, msg, wParam, lParam)
                                     : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    InUse inUse(*self);
    LRESULT result = 0;
    RunHandler([&] { result = self->HandleMessage(msg, wParam, lParam); });
    // Here and not in HandleMessage, so that a window handling the message itself still lets go.
    if (msg == WM_NCDESTROY) {
        self->Unbind();
        RunHandler([&] { self->OnWindowGone(); });
    }
    return result;
}

}  // namespace win32
