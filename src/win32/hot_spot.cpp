#include <win32/hot_spot.h>

#include <utility>

#include <win32/scoped_handles.h>
#include <win32/subclass.h>

namespace win32 {

namespace {

LabelStyle SpotStyle() {
    LabelStyle s;
    s.transparent = true;
    return s;
}

}  // namespace

HotSpot::HotSpot(TwipRect rect, std::wstring name) : PressableLabel(L"", rect, SpotStyle()) {
    accessible = {std::move(name), ROLE_SYSTEM_PUSHBUTTON, L"", L"Press", 0};
}

void HotSpot::ShowFocus() const {
    // A transparent spot shows what lies below it, which is drawn again first.
    RECT r = RectOnWindow();
    RedrawWindow(GetParent(hwnd_), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::optional<LRESULT> HotSpot::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return PressableLabel::OnMessage(msg, wParam, lParam);
    const LRESULT painted = CallNextProc(hwnd_, msg, wParam, lParam);
    if (FocusShown()) {
        const WindowDc dc(hwnd_);
        RECT client;
        GetClientRect(hwnd_, &client);
        DrawFocusRect(dc.Get(), &client);
    }
    return painted;
}

}  // namespace win32
