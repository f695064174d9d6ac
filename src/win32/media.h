// Pictures and clips: a picture at its own size, and Windows' animation control.
#pragma once

#include <optional>
#include <string>

#include <win32/control.h>
#include <win32/scoped_handles.h>

namespace win32 {

// A picture shown at its own size at 96 dpi and scaled with the density, optionally inside a
// one-pixel flat frame.
class Picture : public Control {
  public:
    // Takes the bitmap.
    Picture(HBITMAP bitmap, TwipRect rect, bool border)
        : Control(rect), bitmap_(bitmap), border_(border) {
        accessible.role = ROLE_SYSTEM_GRAPHIC;
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;

  private:
    void Show(HBITMAP bitmap);

    ScopedGdiObject bitmap_;
    ScopedGdiObject shown_;  // the copy at the current density, when it is not 96 dpi
    bool border_;
};

// The Windows animation control: a clip opened by path and played with the control's own
// defaults (looping, whole clip, centred).
class Animation : public Control {
  public:
    explicit Animation(TwipRect rect) : Control(rect) { accessible.role = ROLE_SYSTEM_ANIMATION; }
    void SetBackColor(OleColor color);
    bool Open(const std::wstring& path);  // false when the clip cannot be opened
    bool Play();
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;

  private:
    std::optional<OleColor> backColor_;
    SolidBrush backBrush_;
};

}  // namespace win32
