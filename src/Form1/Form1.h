// The main window: the two choices, OK, Info, and what the machine holds now. Its registry
// routines are its own.
#pragma once

#include <functional>
#include <optional>

#include <policy/autorun_switch.h>
#include <policy/change_log.h>
#include <policy/change_watch.h>
#include <policy/ownership.h>
#include <policy/registry_routines.h>
#include <policy/setting.h>
#include <portable/file_source.h>
#include <portable/registry_api.h>
#include <win32/buttons.h>
#include <win32/form.h>
#include <win32/label.h>

namespace tessaro {

class Form1 : public win32::Form {
  public:
    // registry: where the routines go; files: Group Policy's files; log: where a change made
    // here is recorded; showInfo: shows the information window modally; elevated: whether this
    // process may write the policy itself, or must raise the write.
    Form1(portable::RegistryApi& registry, portable::FileSource& files, policy::ChangeLog& log,
          std::function<void()> showInfo, bool elevated);

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
        bool overruled;  // confirmed, but Group Policy puts it back at its next refresh
    };
    // Nothing when the user declined the prompt.
    std::optional<Attempt> RaiseTheChange(policy::Choice choice);
    // announce: a screen reader reads it out.
    void ShowSetting(const policy::Setting& now, bool announce = false);
    // Group Policy's say over the value; read here if the background read has not ended yet.
    policy::Owner Owner();
    // Group Policy's files are read on a thread of their own after the window shows: one on an
    // unreachable domain controller must not hold the window up.
    void ReadPolicyInTheBackground();

    portable::RegistryApi& registry_;
    portable::FileSource& files_;
    policy::ChangeLog& log_;
    std::optional<policy::GroupPolicy> policy_;
    policy::Setting shown_;  // what the label shows now
    policy::ChangeWatch changes_;
    policy::RegistryRoutines routines_;  // they work through changes_
    bool elevated_;
    bool raising_ = false;  // an elevated copy is making the change
    std::function<void()> showInfo_;
};

}  // namespace tessaro
