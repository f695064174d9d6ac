#include <policy/command_line.h>

#include <cwchar>
#include <iterator>
#include <utility>

#include <policy/autorun_switch.h>
#include <policy/change_watch.h>
#include <policy/ownership.h>
#include <policy/registry_routines.h>
#include <policy/setting.h>

namespace policy {

namespace {

// The three values security baselines check together, in the order /audit reports them.
constexpr PolicyValue kAutoPlayControls[] = {
    kNoDriveTypeAutoRun,
    {kPolicyKeyPath, "NoAutorun", 1},
    {"Software\\Policies\\Microsoft\\Windows\\Explorer", "NoAutoplayfornonVolume", 1},
};

constexpr const char* kUsage =
    "Usage: tessaro [/disable | /restore | /status | /audit | /harden | /unharden | /?]\n"
    "  (no switch)  open the window\n"
    "  /disable     switch AutoRun off on all drives: NoDriveTypeAutoRun = REG_DWORD 255 under\n"
    "               HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\n"
    "  /restore     put the Windows default back: remove NoDriveTypeAutoRun\n"
    "  /status      print off, default, other (then the type and data) or unreadable (why)\n"
    "  /audit       check the three AutoPlay controls (NoDriveTypeAutoRun = 255, NoAutorun = 1,\n"
    "               NoAutoplayfornonVolume = 1 under\n"
    "               HKLM\\Software\\Policies\\Microsoft\\Windows\\Explorer): one line each, then\n"
    "               a summary\n"
    "  /harden      write all three; /unharden removes all three\n"
    "Exit codes:\n"
    "  /disable, /restore, /harden, /unharden\n"
    "               0 done and confirmed (also when it already was), 5 refused (run as\n"
    "               administrator), 1 not confirmed or failed otherwise\n"
    "  /status      0 off, 1 default, 2 other, 3 unreadable\n"
    "  /audit       0 all three in place, 1 a finding, 3 a control could not be read\n"
    "  anything else  87, with this text";

bool SameSwitch(const std::wstring& word, std::wstring_view name) {
    if (word.size() != name.size() + 1 || (word[0] != L'/' && word[0] != L'-')) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        wchar_t c = word[i + 1];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != name[i]) return false;
    }
    return true;
}

// The switches by name, without their "/" or "-".
constexpr std::pair<const wchar_t*, Command> kSwitches[] = {
    {L"disable", Command::kDisable}, {L"restore", Command::kRestore},
    {L"status", Command::kStatus},   {L"audit", Command::kAudit},
    {L"harden", Command::kHarden},   {L"unharden", Command::kUnharden},
    {L"?", Command::kHelp},
};

std::string RefusedHint(Command command, const RunContext& context) {
    std::string hint = std::string("run ") + context.program + " /";
    for (const auto& [name, switched] : kSwitches) {
        // The names are ASCII.
        if (switched == command) hint.append(name, name + std::wcslen(name));
    }
    return hint + " as administrator";
}

int StatusCode(SettingKind kind) {
    switch (kind) {
        case SettingKind::kOff:
            return kExitDone;
        case SettingKind::kDefault:
            return kExitNotConfirmed;
        case SettingKind::kOther:
            return kExitOther;
        case SettingKind::kUnreadable:
            break;
    }
    return kExitUnreadable;
}

GroupPolicy LoadPolicy(portable::RegistryApi& registry, const RunContext& context) {
    return context.files ? GroupPolicy::Load(registry, *context.files) : GroupPolicy();
}

// Adds a line after `lines` unless it is empty.
std::string WithLine(std::string lines, const std::string& line) {
    return line.empty() ? lines : lines + "\n" + line;
}

// Records one change; a log that cannot be written changes nothing.
void Record(const RunContext& context, const PolicyValue& value, const ChangeOutcome& outcome,
            Choice choice, const Owner& owner) {
    if (context.log) context.log->Record(RecordOf(value, outcome, choice, owner, context.via));
}

CommandResult Change(Command command, portable::RegistryApi& registry, const RunContext& context) {
    ChangeWatch watch(registry);
    RegistryRoutines routines(watch);
    const Choice choice = command == Command::kDisable ? Choice::kDisable : Choice::kRestore;
    const ChangeOutcome outcome = RunAutorunSwitch(routines, watch, choice);
    const Owner owner = LoadPolicy(registry, context).OwnerOf(kNoDriveTypeAutoRun);
    Record(context, kNoDriveTypeAutoRun, outcome, choice, owner);
    const std::string now = StatusLine(outcome.now);
    const std::string managed = ManagedLine(owner);
    switch (outcome.verdict) {
        case Verdict::kConfirmed:
            if (Overruled(outcome, choice, owner)) {
                return {kExitOverruled,
                        now + "\noverruled: " + OwnerDoes(owner) + " at its next refresh"};
            }
            return {kExitDone, WithLine(now, managed)};
        case Verdict::kRefused:
            return {kExitRefused,
                    WithLine("refused: access denied; " + RefusedHint(command, context), managed)};
        case Verdict::kNotConfirmed:
            return {kExitNotConfirmed,
                    WithLine("not confirmed: the change went through, but now " + now, managed)};
        case Verdict::kFailed:
            break;
    }
    return {kExitNotConfirmed,
            WithLine("failed: " + ErrorText(outcome.failure) + "; now " + now, managed)};
}

// The last line, which Intune's Remediations show as the device's output: how many of the
// three controls are as `what` says, and which are not.
std::string Summary(const std::vector<const char*>& others, const char* what) {
    std::string line = "AutoPlay: " + std::to_string(std::size(kAutoPlayControls) - others.size()) +
                       " of " + std::to_string(std::size(kAutoPlayControls)) + " controls " + what;
    for (std::size_t i = 0; i < others.size(); ++i) {
        line += (i == 0 ? "; not: " : ", ") + std::string(others[i]);
    }
    return line;
}

// The control's name, what it holds, Group Policy's say over it if any.
std::string ControlLine(const PolicyValue& control, const Setting& now, const Owner& owner) {
    std::string line = std::string(control.name) + " " + Holds(now);
    const std::string says = AuditOwner(owner);
    return says.empty() ? line : line + " " + says;
}

CommandResult Audit(portable::RegistryApi& registry, const RunContext& context) {
    const GroupPolicy policy = LoadPolicy(registry, context);
    std::string lines;
    std::vector<const char*> others;
    bool unreadable = false;
    for (const PolicyValue& control : kAutoPlayControls) {
        const Setting now = ReadSetting(registry, control);
        const char* word = now.kind == SettingKind::kOff          ? "ok"
                           : now.kind == SettingKind::kUnreadable ? "unreadable"
                                                                  : "finding";
        if (now.kind != SettingKind::kOff) others.push_back(control.name);
        unreadable = unreadable || now.kind == SettingKind::kUnreadable;
        lines += ControlLine(control, now, policy.OwnerOf(control)) + " " + word + "\n";
    }
    const int code = unreadable ? kExitUnreadable : others.empty() ? kExitDone : kExitNotConfirmed;
    return {code, lines + Summary(others, "in place")};
}

// Each control stands on its own: one refused still leaves the others changed.
CommandResult ChangeAll(Command command, portable::RegistryApi& registry,
                        const RunContext& context) {
    const GroupPolicy policy = LoadPolicy(registry, context);
    ChangeWatch watch(registry);
    RegistryRoutines routines(watch);
    const Choice choice = command == Command::kHarden ? Choice::kDisable : Choice::kRestore;
    std::string lines;
    std::vector<const char*> others, overruled;
    bool refused = false, failed = false;
    for (const PolicyValue& control : kAutoPlayControls) {
        const ChangeOutcome outcome = ApplyChoice(routines, watch, control, choice);
        const Owner owner = policy.OwnerOf(control);
        Record(context, control, outcome, choice, owner);
        std::string word;
        switch (outcome.verdict) {
            case Verdict::kConfirmed:
                word = Overruled(outcome, choice, owner) ? "overruled" : "ok";
                break;
            case Verdict::kRefused:
                word = "refused";
                break;
            case Verdict::kNotConfirmed:
                word = "not confirmed";
                break;
            case Verdict::kFailed:
                word = "failed: " + ErrorText(outcome.failure);
                break;
        }
        if (word != "ok") others.push_back(control.name);
        if (word == "overruled") overruled.push_back(control.name);
        refused = refused || outcome.verdict == Verdict::kRefused;
        failed = failed || outcome.verdict != Verdict::kConfirmed;
        lines += ControlLine(control, outcome.now, owner) + " " + word + "\n";
    }
    std::string summary = Summary(others, choice == Choice::kDisable ? "in place" : "removed");
    for (std::size_t i = 0; i < overruled.size(); ++i) {
        summary += (i == 0 ? "; Group Policy puts back: " : ", ") + std::string(overruled[i]);
    }
    if (refused) summary += "; refused: " + RefusedHint(command, context);
    const int code = refused              ? kExitRefused
                     : failed             ? kExitNotConfirmed
                     : !overruled.empty() ? kExitOverruled
                                          : kExitDone;
    return {code, lines + summary};
}

}  // namespace

Command ParseCommandLine(const std::vector<std::wstring>& arguments, bool* raised) {
    if (raised) *raised = false;
    if (arguments.empty()) return Command::kWindow;
    const bool fromWindow = arguments.size() == 2 && SameSwitch(arguments[1], L"raised");
    if (arguments.size() > 1 && !fromWindow) return Command::kBadArguments;
    for (const auto& [name, command] : kSwitches) {
        if (!SameSwitch(arguments[0], name)) continue;
        if (!fromWindow) return command;
        if (command != Command::kDisable && command != Command::kRestore) break;
        if (raised) *raised = true;
        return command;
    }
    return Command::kBadArguments;
}

CommandResult RunCommand(Command command, portable::RegistryApi& registry,
                         const RunContext& context) {
    switch (command) {
        case Command::kStatus: {
            const Setting now = ReadSetting(registry);
            const Owner owner = LoadPolicy(registry, context).OwnerOf(kNoDriveTypeAutoRun);
            return {StatusCode(now.kind), WithLine(StatusLine(now), ManagedLine(owner))};
        }
        case Command::kDisable:
        case Command::kRestore:
            return Change(command, registry, context);
        case Command::kAudit:
            return Audit(registry, context);
        case Command::kHarden:
        case Command::kUnharden:
            return ChangeAll(command, registry, context);
        case Command::kHelp:
            return {kExitDone, kUsage};
        case Command::kWindow:
        case Command::kBadArguments:
            break;
    }
    return {kExitBadArguments, kUsage};
}

}  // namespace policy
