// A link: underlined text in the link colour, as wide as its text, that opens something when
// pressed; a link to a screen reader, painted in the hot-light colour under high contrast.
#pragma once

#include <string>

#include <win32/pressable_label.h>

namespace win32 {

class Link : public PressableLabel {
  public:
    // cursor: shown while the mouse is over it (borrowed: a shared cursor).
    Link(std::wstring caption, TwipRect rect, HCURSOR cursor);
    HCURSOR Cursor() const override { return cursor_; }
    void PaintAround(HDC windowDc) override;

  protected:
    void ShowFocus() const override;

  private:
    HCURSOR cursor_;
};

}  // namespace win32
