#include <win32/color_relay.h>

namespace win32 {

namespace {

struct Relayed {
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK TellChild(HWND child, LPARAM p) {
    const auto* r = reinterpret_cast<const Relayed*>(p);
    if (GetParent(child) == r->window) SendMessageW(child, r->msg, r->wParam, r->lParam);
    return TRUE;
}

}  // namespace

LRESULT ColorRelay::ForControl(HDC dc, COLORREF back) {
    SetBkColor(dc, back);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(brush_.For(back));
}

void ColorRelay::Changed(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOLORCHANGE) {
        Relayed r{window, msg, wParam, lParam};
        EnumChildWindows(window, &TellChild, reinterpret_cast<LPARAM>(&r));
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace win32
