// The main window: the two choices, OK and Info. It also owns the registry routines.
#pragma once

#include "win32/controls.h"
#include "win32/form.h"
#include "policy/registry_routines.h"

namespace tessaro {

class Form1 : public win32::Form, public policy::RegistryRoutines {
  public:
    Form1();

    win32::OptionButton* Option1 = nullptr;
    win32::OptionButton* Option2 = nullptr;
    win32::Button* Command1 = nullptr;
    win32::Button* Command2 = nullptr;
    win32::Label* Label1 = nullptr;

  protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void CreateControls() override;

  private:
    void Command1_Click();
    void Command2_Click();
};

}  // namespace tessaro
