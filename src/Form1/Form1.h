// The main window: the two choices, OK and Info. It also owns the registry routines.
#pragma once

#include "platform/controls.h"
#include "platform/form.h"
#include "policy/registry_routines.h"

namespace tessaro {

class Form1 : public platform::Form, public policy::RegistryRoutines {
  public:
    Form1();

    platform::OptionButton* Option1 = nullptr;
    platform::OptionButton* Option2 = nullptr;
    platform::Button* Command1 = nullptr;
    platform::Button* Command2 = nullptr;
    platform::Label* Label1 = nullptr;

  protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void CreateControls() override;

  private:
    void Command1_Click();
    void Command2_Click();
};

}  // namespace tessaro
