// A label that acts as a button does: a tab stop that Enter or Space presses, and a click that is
// a press and a release of the mouse over it. Each kind shows its focus in its own way.
#pragma once

#include <optional>
#include <string>

#include <win32/label.h>

namespace win32 {

class PressableLabel : public Label {
  public:
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    PressableLabel(std::wstring caption, TwipRect rect, LabelStyle style);
    // Whether the focus is to be drawn now: the label has it, and the window shows it.
    bool FocusShown() const;
    RECT RectOnWindow() const;  // in the client area of its window
    // Repaints what shows the focus, as the focus comes or goes.
    virtual void ShowFocus() const = 0;

  private:
    bool spaceDown_ = false;
};

}  // namespace win32
