// What a window holds per density: its fonts and its twips in pixels, and its frame on the
// screen.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include <win32/scoped_handles.h>

namespace win32 {

enum class FontKind { kRegular = 0, kBold = 1, kUnderline = 2 };

// The window's three fonts (Tahoma 8.25 pt: regular, bold, underlined) at one density.
class FontSet {
  public:
    // Makes the fonts for dpi; the old ones are handed back, to live until no control uses them.
    std::array<ScopedGdiObject, 3> Apply(int dpi);
    int Dpi() const { return dpi_; }
    int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    HFONT Get(FontKind kind) const {
        return static_cast<HFONT>(fonts_[static_cast<int>(kind)].Get());
    }

  private:
    int dpi_ = 96;
    std::array<ScopedGdiObject, 3> fonts_;
};

// Where a window goes: its client area's size and, if fixed, its top-left corner on the screen,
// in twips; the frame around it.
struct Placement {
    int clientWidth = 0;
    int clientHeight = 0;
    std::optional<POINT> position;
    DWORD style = 0;
    DWORD exStyle = 0;

    // The outer rectangle at dpi (without a position: at 0, 0).
    RECT Frame(int dpi) const;
    // Puts hwnd there at dpi: a window without a fixed place keeps its corner; one with a fixed
    // place is moved inside the work area only when it would not fit where it belongs.
    void Apply(HWND hwnd, int dpi) const;
};

}  // namespace win32
