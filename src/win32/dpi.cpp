#include <win32/dpi.h>

namespace win32 {

namespace {

// Looked up at run time: the per-window functions do not exist before Windows 10.
template <typename F>
F User32Function(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int SystemDpi() {
    static const auto getDpiForSystem = User32Function<UINT(WINAPI*)()>("GetDpiForSystem");
    if (getDpiForSystem) return static_cast<int>(getDpiForSystem());
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int DpiOf(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (hwnd && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

void AdjustForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjust =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjust) {
        adjust(rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(rect, style, FALSE, exStyle);
    }
}

}  // namespace win32
