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
      routines_(registry),
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
    // What the machine holds now, in the free space left of OK.
    Label2 = &Add<win32::Label>(L"", TwipRect{360, 1920, 2460, 375});

    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
}

void Form1::Form_Load() {
    Option1->SetValue(true);
    // The shield, as on Windows' own buttons that raise one action.
    if (!elevated_) SendMessageW(Command1->hWnd(), BCM_SETSHIELD, 0, TRUE);
    ShowSetting();
}

void Form1::ShowSetting() {
    Label2->SetCaption(Widen(policy::WindowText(policy::ReadSetting(registry_))));
}

void Form1::Command1_Click() {
    const auto choice = Option1->Value() ? policy::Choice::kDisable : policy::Choice::kRestore;
    const policy::ClosingActions closing{
        [](const std::string& text) { win32::MsgBox(Widen(text), MB_ICONINFORMATION); },
        [] { win32::EndProcess(); }};
    if (elevated_) {
        policy::RunAutorunSwitch(routines_, choice, closing);
    } else if (RaiseTheChange(choice)) {
        closing.ShowMessage(policy::kUpdateSuccessful);
        closing.EndProcess();
    }
    ShowSetting();
}

bool Form1::RaiseTheChange(policy::Choice choice) {
    // An elevated copy of the program makes the change; this window only reads the result, and
    // claims nothing it cannot see (a declined prompt, a failed copy, a refused write).
    win32::Button* buttons[] = {Command1, Command2};
    for (auto* b : buttons) EnableWindow(b->hWnd(), FALSE);
    win32::RunSelfElevated(hWnd(), choice == policy::Choice::kDisable ? L"/disable" : L"/restore");
    for (auto* b : buttons) EnableWindow(b->hWnd(), TRUE);
    const auto now = policy::ReadSetting(registry_).kind;
    return now == (choice == policy::Choice::kDisable ? policy::SettingKind::kOff
                                                      : policy::SettingKind::kDefault);
}

void Form1::Command2_Click() { showInfo_(); }

}  // namespace tessaro
