// comctl32's subclassing of a control's window, which chains procedures safely where
// SetWindowLongPtr would not.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace win32 {

// False when comctl32 is missing or refuses.
bool Subclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
void Unsubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
// The next procedure of a subclassed window.
LRESULT CallNextProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace win32
