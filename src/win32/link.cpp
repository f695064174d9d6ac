#include <win32/link.h>

#include <utility>

namespace win32 {

namespace {

LabelStyle LinkStyle() {
    LabelStyle s;
    s.font = FontKind::kUnderline;
    s.textColor = RGB(0, 0, 255);
    s.autoSize = true;
    return s;
}

}  // namespace

Link::Link(std::wstring caption, TwipRect rect, HCURSOR cursor)
    : PressableLabel(std::move(caption), rect, LinkStyle()), cursor_(cursor) {
    textUse_ = Paint::kLink;
    accessible.role = ROLE_SYSTEM_LINK;
    accessible.defaultAction = L"Jump";
    accessible.state = STATE_SYSTEM_LINKED;
}

void Link::ShowFocus() const {
    // Around the text, on the window, so that it never covers the underline.
    RECT r = RectOnWindow();
    InflateRect(&r, 1, 1);
    RedrawWindow(GetParent(hwnd_), &r, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void Link::PaintAround(HDC windowDc) {
    if (!FocusShown()) return;
    RECT r = RectOnWindow();
    InflateRect(&r, 1, 1);
    DrawFocusRect(windowDc, &r);
}

}  // namespace win32
