#include <win32/colors.h>

namespace win32 {

COLORREF Painted(OleColor designed, Paint use, bool highContrast) {
    if (designed & 0x80000000u) return GetSysColor(static_cast<int>(designed & 0xFF));
    if (!highContrast) return designed;
    switch (use) {
        case Paint::kBackground:
            return GetSysColor(COLOR_BTNFACE);
        case Paint::kText:
            return GetSysColor(COLOR_BTNTEXT);
        case Paint::kLink:
            return GetSysColor(COLOR_HOTLIGHT);
    }
    return designed;
}

bool HighContrast() {
    HIGHCONTRASTW hc{sizeof hc, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

HBRUSH SolidBrush::For(COLORREF color) {
    if (!brush_ || color != color_) {
        brush_.Reset(CreateSolidBrush(color));
        color_ = color;
    }
    return static_cast<HBRUSH>(brush_.Get());
}

}  // namespace win32
