#include <win32/pressable_label.h>

#include <utility>

namespace win32 {

PressableLabel::PressableLabel(std::wstring caption, TwipRect rect, LabelStyle style)
    : Label(std::move(caption), rect, style) {
    // Without SS_NOTIFY the static lets the mouse through.
    extraStyle_ = SS_NOTIFY | WS_TABSTOP;
}

RECT PressableLabel::RectOnWindow() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool PressableLabel::FocusShown() const {
    // As Windows' own controls do: hidden until the keyboard is used, where Windows hides it.
    return GetFocus() == hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

std::optional<LRESULT> PressableLabel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            // Enter clicks it, as on a button, instead of going to the dialog.
            if (const auto* key = reinterpret_cast<const MSG*>(lParam);
                key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                return DLGC_WANTMESSAGE | DLGC_STATIC;
            }
            return std::nullopt;
        case WM_KEYDOWN:
            // Once per press: a key held down repeats its WM_KEYDOWN.
            if (wParam == VK_RETURN && !(lParam & (1 << 30))) Press();
            if (wParam == VK_SPACE) spaceDown_ = true;
            return 0;
        case WM_KEYUP:
            // Space acts on the release, as on a button.
            if (wParam == VK_SPACE && std::exchange(spaceDown_, false)) Press();
            return 0;
        case WM_KILLFOCUS:
            spaceDown_ = false;
            [[fallthrough]];
        case WM_SETFOCUS:
        case WM_UPDATEUISTATE:
            ShowFocus();
            return std::nullopt;
        // A static reports a click on the press. Here a click is a press and a release over the
        // label: the mouse is held on the press, and a release elsewhere does nothing.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hwnd_);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd_) {
                ReleaseCapture();
                RECT client;
                GetClientRect(hwnd_, &client);
                const POINT at{static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
                if (PtInRect(&client, at)) Press();
            }
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace win32
