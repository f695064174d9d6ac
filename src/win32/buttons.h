// Windows' own buttons: a push button, and an option of a choice.
#pragma once

#include <string>

#include <win32/control.h>

namespace win32 {

class Button : public Control {
  public:
    Button(std::wstring caption, TwipRect rect) : Control(rect), caption_(std::move(caption)) {
        accessible.role = ROLE_SYSTEM_PUSHBUTTON;
        accessible.defaultAction = L"Press";
    }

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    std::wstring caption_;
};

// One option of a choice; the options made one after another form one group.
class OptionButton : public Control {
  public:
    OptionButton(std::wstring caption, TwipRect rect)
        : Control(rect), caption_(std::move(caption)) {
        accessible.role = ROLE_SYSTEM_RADIOBUTTON;
        accessible.defaultAction = L"Check";
    }
    bool Value() const;
    void SetValue(bool selected);  // selecting one clears the others of its group
    bool JoinsGroup() const override { return true; }

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;
    std::wstring caption_;
};

}  // namespace win32
