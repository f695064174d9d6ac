// What AutoRedraw gives a window: a picture of its client area, kept off screen, that drawing can
// go to and that the window repaints itself from.
#pragma once

#include <windows.h>

#include <win32/scoped_handles.h>

namespace effect {

class PersistentPicture {
  public:
    PersistentPicture() = default;
    PersistentPicture(const PersistentPicture&) = delete;
    PersistentPicture& operator=(const PersistentPicture&) = delete;
    ~PersistentPicture() { Reset(); }

    // Grows the picture to at least width x height, keeping what it holds; new parts get the
    // background colour. Returns false when Windows has no memory for it (the old one stays).
    bool Ensure(int width, int height, COLORREF background);
    // Null until the first successful Ensure.
    HDC Dc() const { return dc_.Get(); }
    // Copies the picture's part of `area` to `target`; the rest of `area` gets the background.
    void PaintTo(HDC target, const RECT& area, COLORREF background) const;
    void Reset();

  private:
    win32::ScopedGdiObject bitmap_;
    win32::ScopedMemoryDc dc_;
    HGDIOBJ originalBitmap_ = nullptr;
    SIZE size_{0, 0};
};

}  // namespace effect
