// How a window's colours reach what it holds: the brush its background and its controls are
// painted with, and the news of new system colours, which common controls hear only from their
// window.
#pragma once

#include <windows.h>

#include <win32/colors.h>

namespace win32 {

class ColorRelay {
  public:
    // The background in this colour.
    HBRUSH Background(COLORREF color) { return brush_.For(color); }
    // WM_CTLCOLOR* for a control with nothing of its own to say: the window's background, the
    // system's text colour.
    LRESULT ForControl(HDC dc, COLORREF back);
    // WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED: the children hear of it, and all
    // paints again, brushes following the colours they are asked for.
    static void Changed(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    SolidBrush brush_;
};

}  // namespace win32
