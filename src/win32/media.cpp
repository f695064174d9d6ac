#include <win32/media.h>

#include <commctrl.h>

namespace win32 {

HWND Picture::CreateWindowFor(ControlHost& host, int id, RECT px, DWORD style) {
    return MakeChild(host, L"STATIC", L"", style | SS_BITMAP | (border_ ? WS_BORDER : 0), 0, id,
                     px);
}

void Picture::Show(HBITMAP bitmap) {
    // The static hands back the picture it showed. That is ours, unless the picture had alpha:
    // then the static showed a copy of its own, which is ours to delete now.
    const auto previous = reinterpret_cast<HGDIOBJ>(
        SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap_.Get() && previous != shown_.Get()) DeleteObject(previous);
}

std::optional<LRESULT> Picture::OnMessage(UINT msg, WPARAM, LPARAM) {
    if (msg == WM_DESTROY) Show(nullptr);  // its copy, if any, goes with it
    return std::nullopt;
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
    Show(static_cast<HBITMAP>(shown));
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
