#include <Form1/Form1.h>

#include <commctrl.h>

#include <memory>

#include <policy/command_line.h>
#include <policy/setting.h>
#include <resource_ids.h>
#include <win32/app.h>
#include <win32/elevation.h>
#include <win32/scoped_handles.h>
#include <win32/text.h>

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

// Posted with a policy::GroupPolicy* that the window takes over. Clear of the messages the
// runtime posts to its own windows (WM_APP + 1 and up, a few of them).
constexpr UINT kPolicyRead = WM_APP + 0x5EC;

struct PolicyRead {
    HWND window;
    portable::RegistryApi* registry;
    portable::FileSource* files;
};

DWORD WINAPI ReadPolicy(void* parameter) {
    const std::unique_ptr<PolicyRead> job(static_cast<PolicyRead*>(parameter));
    auto policy = std::make_unique<policy::GroupPolicy>(
        policy::GroupPolicy::Load(*job->registry, *job->files));
    if (PostMessageW(job->window, kPolicyRead, 0, reinterpret_cast<LPARAM>(policy.get()))) {
        policy.release();  // the window's now
    }
    return 0;
}

}  // namespace

Form1::Form1(portable::RegistryApi& registry, portable::FileSource& files, policy::ChangeLog& log,
             std::function<void()> showInfo, bool elevated)
    : win32::Form(MainWindowDesign()),
      registry_(registry),
      files_(files),
      log_(log),
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
    ReadPolicyInTheBackground();
}

void Form1::ReadPolicyInTheBackground() {
    auto job = std::make_unique<PolicyRead>(PolicyRead{hWnd(), &registry_, &files_});
    const win32::ScopedHandle thread(CreateThread(nullptr, 0, ReadPolicy, job.get(), 0, nullptr));
    if (thread) job.release();  // the thread's now
}

policy::Owner Form1::Owner() {
    if (!policy_) policy_ = policy::GroupPolicy::Load(registry_, files_);
    return policy_->OwnerOf(policy::kNoDriveTypeAutoRun);
}

void Form1::ShowSetting(const policy::Setting& now, bool announce) {
    shown_ = now;
    const policy::Owner owner =
        policy_ ? policy_->OwnerOf(policy::kNoDriveTypeAutoRun) : policy::Owner();
    const std::wstring text = win32::Wide(policy::WindowText(now, owner));
    // The policy read usually finds nothing to add: then there is nothing to redraw.
    if (announce || text != Label2->Caption()) Label2->SetCaption(text, announce);
}

void Form1::Command1_Click() {
    // However OK was pressed (a message from another program included), one change at a time.
    if (raising_) return;
    const auto choice = Option1->Value() ? policy::Choice::kDisable : policy::Choice::kRestore;
    std::optional<Attempt> attempt;
    if (elevated_) {
        const auto outcome = policy::RunAutorunSwitch(routines_, changes_, choice);
        const policy::Owner owner = Owner();
        log_.Record(policy::RecordOf(policy::kNoDriveTypeAutoRun, outcome, choice, owner,
                                     policy::Via::kWindow));
        attempt = Attempt{outcome.now, outcome.verdict == policy::Verdict::kConfirmed,
                          policy::Overruled(outcome, choice, owner)};
    } else {
        attempt = RaiseTheChange(choice);
    }
    if (!attempt) return;  // the user declined the prompt: nothing happened, nothing to say
    if (attempt->overruled) {
        // Not a success: say who undoes it, and stay open showing what the machine holds.
        win32::MsgBox(win32::Wide(policy::OverruledMessage(Owner(), policy::kNoDriveTypeAutoRun)),
                      MB_ICONWARNING);
    } else if (attempt->confirmed) {
        win32::MsgBox(win32::Wide(policy::kUpdateSuccessful), MB_ICONINFORMATION);
        win32::EndProcess();
    }
    // After every attempt, so that a screen reader says what the machine holds now.
    ShowSetting(attempt->now, true);
}

std::optional<Form1::Attempt> Form1::RaiseTheChange(policy::Choice choice) {
    // An elevated copy of the program makes the change, modally (the window is disabled while it
    // runs).
    raising_ = true;
    // "/raised" tells the copy to record the change as the window's.
    const auto run = win32::RunSelfElevated(
        hWnd(), choice == policy::Choice::kDisable ? L"/disable /raised" : L"/restore /raised");
    raising_ = false;
    if (!run.started && run.error == ERROR_CANCELLED) return std::nullopt;
    // Success needs both: the copy says it confirmed the change, and this window reads it too.
    // The copy's kExitOverruled says Group Policy undoes it; read the policy again to say who.
    const auto now = policy::ReadSetting(registry_);
    const bool overruled =
        run.started && run.exitCode == policy::kExitOverruled && policy::Confirms(choice, now);
    if (overruled) policy_ = policy::GroupPolicy::Load(registry_, files_);
    return Attempt{now, run.started && run.exitCode == 0 && policy::Confirms(choice, now),
                   overruled};
}

std::optional<LRESULT> Form1::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (msg == kPolicyRead && lParam != 0) {
        std::unique_ptr<policy::GroupPolicy> read(reinterpret_cast<policy::GroupPolicy*>(lParam));
        if (!policy_) policy_ = std::move(*read);
        ShowSetting(shown_);
        return 0;
    }
    // Closing while the elevated copy runs would leave the process waiting with no window.
    if (msg == WM_CLOSE && raising_) return 0;
    return std::nullopt;
}

void Form1::Command2_Click() { showInfo_(); }

}  // namespace tessaro
