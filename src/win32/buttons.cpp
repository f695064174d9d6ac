#include <win32/buttons.h>

#include <commctrl.h>

namespace win32 {

HWND Button::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    return MakeChild(host, L"BUTTON", caption_, style | WS_TABSTOP | BS_PUSHBUTTON, 0, id, px);
}

HWND OptionButton::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    return MakeChild(host, L"BUTTON", caption_,
                     style | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE, 0, id, px);
}

void OptionButton::Fit(ControlHost& host) {
    if (!hwnd_) return;
    // The button's own measure of its text wrapped in the width it has, whatever the font.
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    SIZE ideal{outer.right - outer.left, 0};
    if (!SendMessageW(hwnd_, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal))) ideal.cy = 0;
    GrowTo(host, ideal.cy);
}

bool OptionButton::Value() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OptionButton::SetValue(bool selected) {
    if (!selected) {
        SendMessageW(hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    // Clear the rest of the group as a click would.
    HWND parent = GetParent(hwnd_);
    for (HWND w = GetNextDlgGroupItem(parent, hwnd_, TRUE); w && w != hwnd_;
         w = GetNextDlgGroupItem(parent, w, TRUE)) {
        SendMessageW(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}

}  // namespace win32
