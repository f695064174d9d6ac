// A label: text on the window in one of its fonts, wrapped in its width or as wide as its text.
#pragma once

#include <optional>
#include <string>

#include <win32/control.h>

namespace win32 {

struct LabelStyle {
    FontKind font = FontKind::kRegular;
    std::optional<OleColor> textColor;  // none: the system's text colour
    bool transparent = false;           // draws no background at all
    bool border = false;                // a one-pixel flat frame
    bool autoSize = false;              // the label takes the size of its text
    bool liveRegion = false;  // a screen reader reads its new text when the program says so
};

class Label : public Control {
  public:
    Label(std::wstring caption, TwipRect rect, LabelStyle style = {});
    std::wstring Caption() const;
    // Announced to a screen reader as well when the label is a live region and announce is set.
    void SetCaption(const std::wstring& caption, bool announce = false);
    void SetBackColor(OleColor color);
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;
    // Press: as a click by the mouse reaches the window.
    void Press() override;

    DWORD extraStyle_ = 0;  // what a kind of label adds to the static's style
    Paint textUse_ = Paint::kText;

  private:
    ControlHost* host_ = nullptr;
    std::wstring caption_;
    LabelStyle style_;
    bool markedLive_ = false;
    std::optional<OleColor> backColor_;
    SolidBrush backBrush_;
};

}  // namespace win32
