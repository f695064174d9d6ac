// The main window: the two choices, OK, Info, and what the machine holds now. Its registry
// routines are its own.
#pragma once

#include <functional>
#include <optional>

#include "policy/autorun_switch.h"
#include "policy/change_watch.h"
#include "policy/registry_routines.h"
#include "policy/setting.h"
#include "portable/registry_api.h"
#include "win32/buttons.h"
#include "win32/form.h"
#include "win32/label.h"

namespace tessaro {

class Form1 : public win32::Form {
  public:
    // registry: where the routines go; showInfo: shows the information window modally;
    // elevated: whether this process may write the policy itself, or must raise the write.
    Form1(portable::RegistryApi& registry, std::function<void()> showInfo, bool elevated);

    win32::Button* Command1 = nullptr;
    win32::OptionButton* Option1 = nullptr;
    win32::OptionButton* Option2 = nullptr;
    win32::Button* Command2 = nullptr;
    win32::Label* Label1 = nullptr;
    win32::Label* Label2 = nullptr;

  protected:
    void Form_Load() override;
    void CreateControls() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Form_Initialize();
    void Command1_Click();
    void Command2_Click();
    struct Attempt {
        policy::Setting now;  // what the machine holds afterwards
        bool confirmed;
    };
    // Nothing when the user declined the prompt.
    std::optional<Attempt> RaiseTheChange(policy::Choice choice);
    // announce: a screen reader reads it out.
    void ShowSetting(const policy::Setting& now, bool announce = false);

    portable::RegistryApi& registry_;
    policy::ChangeWatch changes_;
    policy::RegistryRoutines routines_;  // they work through changes_
    bool elevated_;
    bool raising_ = false;  // an elevated copy is making the change
    std::function<void()> showInfo_;
};

}  // namespace tessaro
