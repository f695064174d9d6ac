#include <frmGraphics/persistent_picture.h>

#include <algorithm>
#include <utility>

namespace effect {

namespace {

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    win32::ScopedGdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &area, static_cast<HBRUSH>(brush.Get()));
}

}  // namespace

bool PersistentPicture::Ensure(int width, int height, COLORREF background) {
    if (dc_ && size_.cx >= width && size_.cy >= height) return true;
    const SIZE size{std::max<LONG>(width, size_.cx), std::max<LONG>(height, size_.cy)};

    // Compatible with the screen, so that copies between the two need no conversion.
    const win32::WindowDc screen(nullptr);
    win32::ScopedGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    win32::ScopedMemoryDc dc(CreateCompatibleDC(screen.Get()));
    if (!bitmap || !dc) return false;
    const HGDIOBJ original = SelectObject(dc.Get(), bitmap.Get());
    Fill(dc.Get(), RECT{0, 0, size.cx, size.cy}, background);
    if (dc_) BitBlt(dc.Get(), 0, 0, size_.cx, size_.cy, dc_.Get(), 0, 0, SRCCOPY);

    Reset();
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    originalBitmap_ = original;
    size_ = size;
    return true;
}

void PersistentPicture::PaintTo(HDC target, const RECT& area, COLORREF background) const {
    RECT inside{};
    const RECT picture{0, 0, size_.cx, size_.cy};
    if (!dc_ || !IntersectRect(&inside, &area, &picture)) {
        Fill(target, area, background);
        return;
    }
    if (!EqualRect(&inside, &area)) Fill(target, area, background);
    BitBlt(target, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
           dc_.Get(), inside.left, inside.top, SRCCOPY);
}

void PersistentPicture::Reset() {
    // A bitmap still selected into a DC cannot be deleted: put the DC's own one back first.
    if (dc_ && originalBitmap_) SelectObject(dc_.Get(), originalBitmap_);
    originalBitmap_ = nullptr;
    dc_.Reset();
    bitmap_.Reset();
    size_ = {0, 0};
}

}  // namespace effect
