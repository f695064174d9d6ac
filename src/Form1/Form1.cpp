#include "Form1/Form1.h"

#include <commctrl.h>

#include "policy/autorun_switch.h"
#include "resource_ids.h"
#include "win32/app.h"

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

Form1::Form1(portable::RegistryApi& registry, std::function<void()> showInfo)
    : win32::Form(MainWindowDesign()), routines_(registry), showInfo_(std::move(showInfo)) {
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

    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
}

void Form1::Form_Load() { Option1->SetValue(true); }

void Form1::Command1_Click() {
    const auto choice = Option1->Value() ? policy::Choice::kDisable : policy::Choice::kRestore;
    policy::RunAutorunSwitch(
        routines_, choice,
        {[](const std::string& text) { win32::MsgBox(Widen(text), MB_ICONINFORMATION); },
         [] { win32::EndProcess(); }});
}

void Form1::Command2_Click() { showInfo_(); }

}  // namespace tessaro
