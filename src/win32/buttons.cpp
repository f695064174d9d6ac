#include "win32/buttons.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/scoped_handles.h"

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
    // The text wraps right of the circle, which comctl32 draws 12 px wide at 96 dpi plus one,
    // followed by half the width of a digit.
    WindowDc dc(hwnd_);
    SelectedObject font(dc.Get(), host.Font(font_));
    int digit = 0;
    GetCharWidth32W(dc.Get(), L'0', L'0', &digit);
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT r{0, 0, std::max<LONG>(1, client.right - (12 * host.ToPixels(1440) / 96 + 1 + digit / 2)),
           0};
    DrawTextW(dc.Get(), caption_.c_str(), static_cast<int>(caption_.size()), &r,
              DT_WORDBREAK | DT_CALCRECT);
    GrowTo(host, r.bottom);
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
