// Colours as the windows' designs keep them, and what is painted for them. A design colour is a
// fixed RGB value or, with the high bit set, one of the system's colours, looked up whenever it
// is painted so that a change of the system's colours shows at once.
#pragma once

#include <windows.h>

#include <win32/scoped_handles.h>

namespace win32 {

using OleColor = DWORD;
constexpr OleColor SystemColor(int index) { return 0x80000000u | static_cast<DWORD>(index); }

// What a design colour is used for.
enum class Paint { kBackground, kText, kLink };

// The colour painted for a design colour. With high contrast on, only the system's colours are
// used: a fixed background is the dialog colour, fixed text the button text colour and a link the
// hot-light colour; otherwise the design's own.
COLORREF Painted(OleColor designed, Paint use, bool highContrast);
// Whether the user has high contrast on, as Windows says now.
bool HighContrast();

// A solid brush of the colour last asked for, made again only when that colour changes.
class SolidBrush {
  public:
    HBRUSH For(COLORREF color);

  private:
    COLORREF color_ = 0;
    ScopedGdiObject brush_;
};

}  // namespace win32
