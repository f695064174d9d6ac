// Screen density in one place: twips become pixels with the window's real DPI, never a fixed 15.
#pragma once

#include <windows.h>

namespace win32 {

int SystemDpi();
int DpiOf(HWND hwnd);  // the window's DPI where Windows tells it, else the system's
// Outer window rectangle for a client rectangle, with the frame metrics of the given DPI.
void AdjustForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace win32
