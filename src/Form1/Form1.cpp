#include "Form1/Form1.h"

#include <commctrl.h>

#include "policy/setting.h"
#include "resource_ids.h"
#include "win32/app.h"
#include "win32/elevation.h"

namespace tessaro {

namespace {

win32::FormDesign MainWindowDesign() {
    win32::FormDesign d;
    d.caption = L"Tessaro";
    d.clientWidth = 5220;
    d.clientHeight = 2400;
    d.iconId = IDI_APPLICATION_ICON;
    return d;
}

std::wstring Widen(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

}  // namespace

Form1::Form1(portable::RegistryApi& registry, std::function<void()> showInfo, bool elevated)
    : win32::Form(MainWindowDesign()),
      registry_(registry),
      changes_(registry),
      routines_(changes_),
      elevated_(elevated),
      showInfo_(std::move(showInfo)) {
    Form_Initialize();
}

void Form1::Form_Initialize() { win32::InitCommonControlsFromSystem(8, ICC_USEREX_CLASSES); }

void Form1::CreateControls() {
    using win32::TwipRect;
    // In tab order: OK first, so it has the focus when the window opens.
    Command1 = &Add<win32::Button>(L"&Ok", TwipRect{2940, 1920, 1035, 375});
    Option1 = &Add<win32::OptionButton>(
        L"Disable Autorun on all drives type (CD-ROM, DVD, USB Pendrive, network drive, RAM "
        L"drive)",
        TwipRect{360, 360, 4455, 375});
    Option2 = &Add<win32::OptionButton>(L"Restore default", TwipRect{360, 1440, 3255, 315});
    Command2 = &Add<win32::Button>(L"&Info...", TwipRect{4080, 1920, 1035, 375});
    win32::LabelStyle bold;
    bold.font = win32::FontKind::kBold;
    Label1 = &Add<win32::Label>(L"(Recommended)", TwipRect{600, 840, 2175, 195}, bold);
    // A screen reader reads the label below the first option as part of it.
    Option1->accessible.description = L"(Recommended)";
    // What the machine holds now, in the free space left of OK, read out when it changes.
    win32::LabelStyle live;
    live.liveRegion = true;
    Label2 = &Add<win32::Label>(L"", TwipRect{360, 1920, 2460, 375}, live);

    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
}

void Form1::Form_Load() {
    Option1->SetValue(true);
    // The shield, as on Windows' own buttons that raise one action.
    if (!elevated_) SendMessageW(Command1->hWnd(), BCM_SETSHIELD, 0, TRUE);
    ShowSetting(policy::ReadSetting(registry_));
}

void Form1::ShowSetting(const policy::Setting& now, bool announce) {
    Label2->SetCaption(Widen(policy::WindowText(now)), announce);
}

void Form1::Command1_Click() {
    // However OK was pressed (a message from another program included), one change at a time.
    if (raising_) return;
    const auto choice = Option1->Value() ? policy::Choice::kDisable : policy::Choice::kRestore;
    std::optional<Attempt> attempt;
    if (elevated_) {
        const auto outcome = policy::RunAutorunSwitch(routines_, changes_, choice);
        attempt = Attempt{outcome.now, outcome.verdict == policy::Verdict::kConfirmed};
    } else {
        attempt = RaiseTheChange(choice);
    }
    if (!attempt) return;  // the user declined the prompt: nothing happened, nothing to say
    if (attempt->confirmed) {
        win32::MsgBox(Widen(policy::kUpdateSuccessful), MB_ICONINFORMATION);
        win32::EndProcess();
    }
    // After every attempt, so that a screen reader says what the machine holds now.
    ShowSetting(attempt->now, true);
}

std::optional<Form1::Attempt> Form1::RaiseTheChange(policy::Choice choice) {
    // An elevated copy of the program makes the change, modally (the window is disabled while it
    // runs).
    raising_ = true;
    const auto run = win32::RunSelfElevated(
        hWnd(), choice == policy::Choice::kDisable ? L"/disable" : L"/restore");
    raising_ = false;
    if (!run.started && run.error == ERROR_CANCELLED) return std::nullopt;
    // Success needs both: the copy says it confirmed the change, and this window reads it too.
    const auto now = policy::ReadSetting(registry_);
    return Attempt{now, run.started && run.exitCode == 0 && policy::Confirms(choice, now)};
}

std::optional<LRESULT> Form1::OnMessage(UINT msg, WPARAM, LPARAM) {
    // Closing while the elevated copy runs would leave the process waiting with no window.
    if (msg == WM_CLOSE && raising_) return 0;
    return std::nullopt;
}

void Form1::Command2_Click() { showInfo_(); }

}  // namespace tessaro
