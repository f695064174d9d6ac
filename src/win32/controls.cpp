#include "win32/controls.h"

#include <commctrl.h>

#include "win32/form.h"

namespace win32 {

namespace {

RECT PixelsOf(const Form& form, const TwipRect& r) {
    const int left = form.ToPixels(r.left);
    const int top = form.ToPixels(r.top);
    return {left, top, left + form.ToPixels(r.width), top + form.ToPixels(r.height)};
}

HWND MakeChild(Form& form, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle,
               int id, RECT px) {
    // Visible from the start: the window itself is still hidden while its controls are made.
    return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, px.left,
                           px.top, px.right - px.left, px.bottom - px.top, form.hWnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void Control::Create(Form& form, int id, DWORD groupStyle) {
    hwnd_ = CreateWindowFor(form, id, PixelsOf(form, rect_), groupStyle);
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font(font_)), FALSE);
    Fit(form);
}

void Control::Layout(Form& form) {
    if (!hwnd_) return;
    const RECT px = PixelsOf(form, rect_);
    SetWindowPos(hwnd_, nullptr, px.left, px.top, px.right - px.left, px.bottom - px.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font(font_)), TRUE);
    Fit(form);
}

void Control::OnNotify(WORD code) {
    // The control object outlives its window until the form loads again, so a handler that
    // unloads the window runs to its end safely.
    if ((code == BN_CLICKED || code == STN_CLICKED) && onClick) onClick();
}

HWND Button::CreateWindowFor(Form& form, int id, RECT px, DWORD style) {
    return MakeChild(form, L"BUTTON", caption_, style | WS_TABSTOP | BS_PUSHBUTTON, 0, id, px);
}

HWND OptionButton::CreateWindowFor(Form& form, int id, RECT px, DWORD style) {
    return MakeChild(form, L"BUTTON", caption_,
                     style | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE, 0, id, px);
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

std::wstring Label::Caption() const {
    if (!hwnd_) return caption_;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Label::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, caption.c_str());
    if (form_) Fit(*form_);
}

void Label::SetBackColor(COLORREF color) {
    backColor_ = color;
    backBrush_ = ScopedGdiObject(CreateSolidBrush(color));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND Label::CreateWindowFor(Form& form, int id, RECT px, DWORD style) {
    form_ = &form;
    style |= SS_LEFT;
    if (style_.clickable) style |= SS_NOTIFY;  // without it the label lets the mouse through
    if (style_.border) style |= WS_BORDER;
    const DWORD exStyle = style_.transparent ? WS_EX_TRANSPARENT : 0;
    const HWND h = MakeChild(form, L"STATIC", caption_, style, exStyle, id, px);
    if (h && style_.clickable) {
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        staticProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Label::ClickProc)));
    }
    return h;
}

LRESULT CALLBACK Label::ClickProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* label = reinterpret_cast<Label*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // A static reports a click on the press. Here a click is a press and a release over the
    // label: the mouse is held on the press, and a release elsewhere does nothing.
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hwnd);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) {
                ReleaseCapture();
                RECT client;
                GetClientRect(hwnd, &client);
                const POINT at{static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
                if (PtInRect(&client, at)) {
                    SendMessageW(GetParent(hwnd), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                }
            }
            return 0;
        default:
            return CallWindowProcW(label->staticProc_, hwnd, msg, wParam, lParam);
    }
}

void Label::Fit(Form& form) {
    if (!style_.autoSize || !hwnd_) return;
    // The label takes the size its text needs in the current font.
    WindowDc dc(hwnd_);
    SelectedObject font(dc.Get(), form.Font(font_));
    const std::wstring text = Caption();
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<HBRUSH> Label::OnColor(Form& form, HDC dc) {
    SetTextColor(dc, style_.textColor ? *style_.textColor : GetSysColor(COLOR_BTNTEXT));
    if (style_.transparent) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF back = backColor_ ? *backColor_ : form.BackColor();
    SetBkColor(dc, back);
    if (!backBrush_) backBrush_ = ScopedGdiObject(CreateSolidBrush(back));
    return static_cast<HBRUSH>(backBrush_.Get());
}

HWND Picture::CreateWindowFor(Form& form, int id, RECT px, DWORD style) {
    HWND h =
        MakeChild(form, L"STATIC", L"", style | SS_BITMAP | (border_ ? WS_BORDER : 0), 0, id, px);
    SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.Get()));
    return h;
}

void Picture::Fit(Form& form) {
    if (!hwnd_) return;
    // Pictures are never stretched: the control is the picture plus its frame.
    BITMAP bm{};
    GetObjectW(bitmap_.Get(), sizeof bm, &bm);
    const int frame = border_ ? 2 : 0;
    SetWindowPos(hwnd_, nullptr, form.ToPixels(rect_.left), form.ToPixels(rect_.top),
                 bm.bmWidth + frame, bm.bmHeight + frame, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Animation::CreateWindowFor(Form& form, int id, RECT px, DWORD style) {
    return MakeChild(form, ANIMATE_CLASSW, L"", style | ACS_CENTER | ACS_TRANSPARENT, 0, id, px);
}

void Animation::SetBackColor(COLORREF color) {
    backBrush_ = ScopedGdiObject(CreateSolidBrush(color));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Animation::Open(const std::wstring& path) {
    return hwnd_ && SendMessageW(hwnd_, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

bool Animation::Play() {
    return hwnd_ && SendMessageW(hwnd_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
}

std::optional<HBRUSH> Animation::OnColor(Form&, HDC dc) {
    if (!backBrush_) return std::nullopt;
    LOGBRUSH lb{};
    GetObjectW(backBrush_.Get(), sizeof lb, &lb);
    SetBkColor(dc, lb.lbColor);
    return static_cast<HBRUSH>(backBrush_.Get());
}

}  // namespace win32
