// An invisible spot over a picture that acts as a button: it shows only its focus, inside it.
#pragma once

#include <optional>
#include <string>

#include <win32/pressable_label.h>

namespace win32 {

class HotSpot : public PressableLabel {
  public:
    // name: what a screen reader calls the button.
    HotSpot(TwipRect rect, std::wstring name);
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void ShowFocus() const override;
};

}  // namespace win32
