#include "win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace win32 {

namespace {

RECT PixelsOf(const ControlHost& host, const TwipRect& r) {
    const int left = host.ToPixels(r.left);
    const int top = host.ToPixels(r.top);
    return {left, top, left + host.ToPixels(r.width), top + host.ToPixels(r.height)};
}

HWND MakeChild(ControlHost& host, const wchar_t* cls, const std::wstring& text, DWORD style,
               DWORD exStyle, int id, RECT px) {
    // Visible from the start: the window itself is still hidden while its controls are made.
    return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, px.left,
                           px.top, px.right - px.left, px.bottom - px.top, host.hWnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void Control::Create(ControlHost& host, int id, DWORD groupStyle) {
    hwnd_ = CreateWindowFor(host, id, PixelsOf(host, rect_), groupStyle);
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font(font_)), FALSE);
    Fit(host);
}

void Control::Layout(ControlHost& host) {
    if (!hwnd_) return;
    const RECT px = PixelsOf(host, rect_);
    SetWindowPos(hwnd_, nullptr, px.left, px.top, px.right - px.left, px.bottom - px.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font(font_)), TRUE);
    Fit(host);
}

void Control::FitHeightToText(ControlHost& host, const std::wstring& text, int indent,
                              UINT format) {
    // Sizes in twips leave some text a pixel or two short of its font at some densities: the
    // window then grows downward to the height the text takes, never less than its place.
    RECT client{}, outer{};
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &outer);
    int needed = 0;
    if (!text.empty()) {
        WindowDc dc(hwnd_);
        SelectedObject font(dc.Get(), host.Font(font_));
        RECT r{0, 0, std::max<LONG>(1, client.right - indent), 0};
        DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
        needed = r.bottom + (outer.bottom - outer.top - client.bottom);  // with any frame
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left,
                 std::max(host.ToPixels(rect_.height), needed),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::OnNotify(WORD code) {
    if ((code == BN_CLICKED || code == STN_CLICKED) && onClick) onClick();
}

std::optional<LRESULT> Control::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETOBJECT:
            if (const LRESULT answer = AnswerGetObject(hwnd_, wParam, lParam, accessible)) {
                return answer;
            }
            break;
        case kDefaultActionMessage:
            if (IsWindowEnabled(hwnd_)) Press();
            return 0;
        default:
            break;
    }
    return OnMessage(msg, wParam, lParam);
}

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
    int digit = 0;
    {
        WindowDc dc(hwnd_);
        SelectedObject font(dc.Get(), host.Font(font_));
        GetCharWidth32W(dc.Get(), L'0', L'0', &digit);
    }
    FitHeightToText(host, caption_, 12 * host.ToPixels(1440) / 96 + 1 + digit / 2, DT_WORDBREAK);
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

Label::Label(std::wstring caption, TwipRect rect, LabelStyle style)
    : Control(rect), caption_(std::move(caption)), style_(style) {
    font_ = style.font;
    if (style.link) {
        accessible.role = ROLE_SYSTEM_LINK;
        accessible.defaultAction = L"Jump";
        accessible.state = STATE_SYSTEM_LINKED;
    } else {
        accessible.role = ROLE_SYSTEM_STATICTEXT;
        accessible.state = STATE_SYSTEM_READONLY;
    }
}

void Label::SetCaption(const std::wstring& caption, bool announce) {
    caption_ = caption;
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, caption.c_str());
    if (host_) Fit(*host_);
    if (announce && style_.liveRegion) AnnounceLiveRegion(hwnd_);
}

void Label::SetBackColor(OleColor color) {
    backColor_ = color;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND Label::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    host_ = &host;
    style |= SS_LEFT;
    if (style_.clickable) style |= SS_NOTIFY;  // without it the label lets the mouse through
    if (style_.border) style |= WS_BORDER;
    if (TabStop()) style |= WS_TABSTOP;
    const DWORD exStyle = style_.transparent ? WS_EX_TRANSPARENT : 0;
    const HWND hwnd = MakeChild(host, L"STATIC", caption_, style, exStyle, id, px);
    if (hwnd && style_.liveRegion) MarkPoliteLiveRegion(hwnd);
    return hwnd;
}

void Label::Press() {
    // As a click by the mouse reaches the window.
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), STN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

RECT Label::RectOnWindow() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Label::ShowFocus() const {
    RECT r = RectOnWindow();
    if (style_.link) {
        // Around the text, on the window, so that it never covers the underline.
        InflateRect(&r, 1, 1);
        RedrawWindow(GetParent(hwnd_), &r, nullptr, RDW_INVALIDATE | RDW_ERASE);
    } else {
        // Inside: a transparent label shows what lies below it, which is drawn again first.
        RedrawWindow(GetParent(hwnd_), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

bool Label::FocusShown() const {
    // As Windows' own controls do: hidden until the keyboard is used, where Windows hides it.
    return GetFocus() == hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void Label::PaintAround(HDC windowDc) {
    if (!style_.link || !FocusShown()) return;
    RECT r = RectOnWindow();
    InflateRect(&r, 1, 1);
    DrawFocusRect(windowDc, &r);
}

std::optional<LRESULT> Label::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (TabStop()) {
        switch (msg) {
            case WM_GETDLGCODE:
                // Enter clicks it, as on a button, instead of going to the dialog.
                if (const auto* key = reinterpret_cast<const MSG*>(lParam);
                    key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                    return DLGC_WANTMESSAGE | DLGC_STATIC;
                }
                break;
            case WM_KEYDOWN:
                // Once per press: a key held down repeats its WM_KEYDOWN.
                if (wParam == VK_RETURN && !(lParam & (1 << 30))) Press();
                if (wParam == VK_SPACE) spaceDown_ = true;
                return 0;
            case WM_KEYUP:
                // Space acts on the release, as on a button.
                if (wParam == VK_SPACE && std::exchange(spaceDown_, false)) Press();
                return 0;
            case WM_KILLFOCUS:
                spaceDown_ = false;
                [[fallthrough]];
            case WM_SETFOCUS:
            case WM_UPDATEUISTATE:
                ShowFocus();
                break;
            case WM_PAINT: {
                const LRESULT painted = CallNextProc(hwnd_, msg, wParam, lParam);
                if (!style_.link && FocusShown()) {
                    const WindowDc dc(hwnd_);
                    RECT client;
                    GetClientRect(hwnd_, &client);
                    DrawFocusRect(dc.Get(), &client);
                }
                return painted;
            }
            default:
                break;
        }
    }
    if (!style_.clickable) return std::nullopt;
    // A static reports a click on the press. Here a click is a press and a release over the
    // label: the mouse is held on the press, and a release elsewhere does nothing.
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hwnd_);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd_) {
                ReleaseCapture();
                RECT client;
                GetClientRect(hwnd_, &client);
                const POINT at{static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
                if (PtInRect(&client, at)) Press();
            }
            return 0;
        default:
            return std::nullopt;
    }
}

void Label::Fit(ControlHost& host) {
    if (!hwnd_) return;
    if (!style_.autoSize) {
        // As the static draws it: wrapped in its client width, tabs expanded.
        FitHeightToText(host, Caption(), 0, DT_WORDBREAK | DT_EXPANDTABS);
        return;
    }
    // The label takes the size its text needs in the current font.
    WindowDc dc(hwnd_);
    SelectedObject font(dc.Get(), host.Font(font_));
    const std::wstring text = Caption();
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<HBRUSH> Label::OnColor(ControlHost& host, HDC dc) {
    const bool highContrast = HighContrast();
    SetTextColor(dc, Painted(style_.textColor.value_or(SystemColor(COLOR_BTNTEXT)),
                             style_.link ? Paint::kLink : Paint::kText, highContrast));
    if (style_.transparent) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF back =
        Painted(backColor_.value_or(host.BackColor()), Paint::kBackground, highContrast);
    SetBkColor(dc, back);
    return backBrush_.For(back);
}

HWND Picture::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    return MakeChild(host, L"STATIC", L"", style | SS_BITMAP | (border_ ? WS_BORDER : 0), 0, id,
                     px);
}

void Picture::Fit(ControlHost& host) {
    if (!hwnd_) return;
    // The picture keeps its size on the screen: its own pixels at 96 dpi, else a copy scaled to
    // the density, made afresh from the original each time. The control is the picture plus its
    // frame; the static never stretches what it shows.
    BITMAP bm{};
    GetObjectW(bitmap_.Get(), sizeof bm, &bm);
    const int dpi = host.ToPixels(1440);
    ScopedGdiObject scaled;
    if (dpi != 96) {
        scaled = ScopedGdiObject(CopyImage(bitmap_.Get(), IMAGE_BITMAP, MulDiv(bm.bmWidth, dpi, 96),
                                           MulDiv(bm.bmHeight, dpi, 96), LR_CREATEDIBSECTION));
    }
    const HGDIOBJ shown = scaled ? scaled.Get() : bitmap_.Get();
    SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
    shown_ = std::move(scaled);  // the copy shown before goes once the static has let go of it
    GetObjectW(shown, sizeof bm, &bm);
    const int frame = border_ ? 2 : 0;
    SetWindowPos(hwnd_, nullptr, host.ToPixels(rect_.left), host.ToPixels(rect_.top),
                 bm.bmWidth + frame, bm.bmHeight + frame, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Animation::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    return MakeChild(host, ANIMATE_CLASSW, L"", style | ACS_CENTER | ACS_TRANSPARENT, 0, id, px);
}

void Animation::SetBackColor(OleColor color) {
    backColor_ = color;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Animation::Open(const std::wstring& path) {
    return hwnd_ && SendMessageW(hwnd_, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

bool Animation::Play() {
    return hwnd_ && SendMessageW(hwnd_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
}

std::optional<HBRUSH> Animation::OnColor(ControlHost&, HDC dc) {
    if (!backColor_) return std::nullopt;
    const COLORREF back = Painted(*backColor_, Paint::kBackground, HighContrast());
    SetBkColor(dc, back);
    return backBrush_.For(back);
}

}  // namespace win32
