#include <win32/scaling.h>

#include <algorithm>

#include <win32/dpi.h>

namespace win32 {

std::array<ScopedGdiObject, 3> FontSet::Apply(int dpi) {
    dpi_ = dpi;
    const auto make = [dpi](int weight, bool underline) {
        return ScopedGdiObject(CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, weight, FALSE,
                                           underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    };
    auto old = std::move(fonts_);
    fonts_ = {make(FW_NORMAL, false), make(FW_BOLD, false), make(FW_NORMAL, true)};
    return old;
}

RECT Placement::Frame(int dpi) const {
    RECT r{0, 0, MulDiv(clientWidth, dpi, 1440), MulDiv(clientHeight, dpi, 1440)};
    AdjustForDpi(&r, style, exStyle, dpi);
    // The stored place is the client area's corner; the frame goes around it.
    if (position) OffsetRect(&r, MulDiv(position->x, dpi, 1440), MulDiv(position->y, dpi, 1440));
    return r;
}

void Placement::Apply(HWND hwnd, int dpi) const {
    RECT now{}, r = Frame(dpi);
    GetWindowRect(hwnd, &now);
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    if (!position) {
        OffsetRect(&r, now.left - r.left, now.top - r.top);
    } else if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
        // A window with a fixed place must stay reachable on a small screen.
        const auto inside = [](LONG at, LONG size, LONG low, LONG high) {
            return std::max(std::min(at, high - size), low) - at;
        };
        const RECT& work = monitor.rcWork;
        OffsetRect(&r, inside(r.left, r.right - r.left, work.left, work.right),
                   inside(r.top, r.bottom - r.top, work.top, work.bottom));
    }
    if (!EqualRect(&r, &now)) {
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace win32
