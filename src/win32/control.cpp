#include <win32/control.h>

#include <algorithm>

namespace win32 {

namespace {

RECT PixelsOf(const ControlHost& host, const TwipRect& r) {
    const int left = host.ToPixels(r.left);
    const int top = host.ToPixels(r.top);
    return {left, top, left + host.ToPixels(r.width), top + host.ToPixels(r.height)};
}

}  // namespace

HWND Control::MakeChild(ControlHost& host, const wchar_t* cls, const std::wstring& text,
                        DWORD style, DWORD exStyle, int id, RECT px) {
    return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, px.left,
                           px.top, px.right - px.left, px.bottom - px.top, host.hWnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void Control::Create(ControlHost& host, int id, DWORD groupStyle) {
    hwnd_ = CreateWindowFor(host, id, PixelsOf(host, rect_), groupStyle);
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font(font_)), FALSE);
    Fit(host);
}

void Control::Layout(ControlHost& host) {
    if (!hwnd_) return;
    const RECT px = PixelsOf(host, rect_);
    SetWindowPos(hwnd_, nullptr, px.left, px.top, px.right - px.left, px.bottom - px.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font(font_)), TRUE);
    Fit(host);
}

void Control::GrowTo(ControlHost& host, int needed) {
    // Sizes in twips leave some text a pixel or two short of its font at some densities, or in
    // another font: the window then grows downward, never to less than its place.
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left,
                 std::max(host.ToPixels(rect_.height), needed),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::OnNotify(WORD code) {
    if ((code == BN_CLICKED || code == STN_CLICKED) && onClick && TakesInput(hwnd_)) onClick();
}

std::optional<LRESULT> Control::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETOBJECT:
            if (const LRESULT answer = AnswerGetObject(hwnd_, wParam, lParam, accessible)) {
                return answer;
            }
            break;
        case kDefaultActionMessage:
            if (TakesInput(hwnd_)) Press();
            return 0;
        default:
            break;
    }
    return OnMessage(msg, wParam, lParam);
}

}  // namespace win32
