#include <win32/label.h>

#include <algorithm>

#include <win32/scoped_handles.h>

namespace win32 {

Label::Label(std::wstring caption, TwipRect rect, LabelStyle style)
    : Control(rect), caption_(std::move(caption)), style_(style) {
    font_ = style.font;
    accessible.role = ROLE_SYSTEM_STATICTEXT;
    accessible.state = STATE_SYSTEM_READONLY;
}

std::wstring Label::Caption() const {
    if (!hwnd_) return caption_;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Label::SetCaption(const std::wstring& caption, bool announce) {
    caption_ = caption;
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, caption.c_str());
    if (host_) Fit(*host_);
    if (announce && style_.liveRegion) {
        // Marked at the first announcement, not at creation: the annotation loads oleacc and
        // COM's activation, which the window's start need not wait for.
        if (!markedLive_) markedLive_ = true, MarkPoliteLiveRegion(hwnd_);
        AnnounceLiveRegion(hwnd_);
    }
}

void Label::SetBackColor(OleColor color) {
    backColor_ = color;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND Label::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    host_ = &host;
    style |= SS_LEFT | extraStyle_ | (style_.border ? WS_BORDER : 0);
    const DWORD exStyle = style_.transparent ? WS_EX_TRANSPARENT : 0;
    return MakeChild(host, L"STATIC", caption_, style, exStyle, id, px);
}

void Label::Press() {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), STN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

void Label::Fit(ControlHost& host) {
    if (!hwnd_) return;
    // The static's own measure: its text laid out as it draws it (left-aligned, wrapped, tabs
    // expanded), in its client width, or in any width when it takes the size of its text.
    RECT client{}, outer{};
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &outer);
    const int frameWidth = outer.right - outer.left - client.right;
    const int frameHeight = outer.bottom - outer.top - client.bottom;
    const std::wstring text = Caption();
    RECT r{0, 0, style_.autoSize ? 0x7FFF : std::max<LONG>(1, client.right), 0};
    if (text.empty()) {
        r.right = 0;
    } else {
        WindowDc dc(hwnd_);
        SelectedObject font(dc.Get(), host.Font(font_));
        DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    }
    if (style_.autoSize) {
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right + frameWidth, r.bottom + frameHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        GrowTo(host, text.empty() ? 0 : r.bottom + frameHeight);
    }
}

std::optional<HBRUSH> Label::OnColor(ControlHost& host, HDC dc) {
    const bool highContrast = HighContrast();
    SetTextColor(
        dc, Painted(style_.textColor.value_or(SystemColor(COLOR_BTNTEXT)), textUse_, highContrast));
    if (style_.transparent) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF back =
        Painted(backColor_.value_or(host.BackColor()), Paint::kBackground, highContrast);
    SetBkColor(dc, back);
    return backBrush_.For(back);
}

}  // namespace win32
