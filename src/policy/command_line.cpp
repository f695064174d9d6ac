#include "policy/command_line.h"

#include <vector>

#include "policy/autorun_switch.h"
#include "policy/refusal_watch.h"
#include "policy/registry_routines.h"
#include "policy/setting.h"

namespace policy {

namespace {

constexpr const char* kUsage =
    "Usage: tessaro.exe [/disable | /restore | /status | /?]\n"
    "  (no switch)  open the window\n"
    "  /disable     switch AutoRun off on all drives: NoDriveTypeAutoRun = REG_DWORD 255 under\n"
    "               HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\n"
    "  /restore     put the Windows default back: remove NoDriveTypeAutoRun\n"
    "  /status      print off, default or other (then the type and data)\n"
    "Exit codes:\n"
    "  /disable, /restore  0 done and confirmed (also when it already was), 5 refused (run as\n"
    "                      administrator), 1 not confirmed\n"
    "  /status             0 off, 1 default, 2 other\n"
    "  anything else       87, with this text";

std::vector<std::wstring_view> Words(std::wstring_view text) {
    std::vector<std::wstring_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != L' ' && text[end] != L'\t') ++end;
        if (end > i) words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

bool SameSwitch(std::wstring_view word, std::wstring_view name) {
    if (word.size() != name.size() + 1 || (word[0] != L'/' && word[0] != L'-')) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        wchar_t c = word[i + 1];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != name[i]) return false;
    }
    return true;
}

}  // namespace

Command ParseCommandLine(std::wstring_view arguments) {
    const auto words = Words(arguments);
    if (words.empty()) return Command::kWindow;
    if (words.size() > 1) return Command::kBadArguments;
    if (SameSwitch(words[0], L"disable")) return Command::kDisable;
    if (SameSwitch(words[0], L"restore")) return Command::kRestore;
    if (SameSwitch(words[0], L"status")) return Command::kStatus;
    if (SameSwitch(words[0], L"?")) return Command::kHelp;
    return Command::kBadArguments;
}

CommandResult RunCommand(Command command, portable::RegistryApi& registry) {
    switch (command) {
        case Command::kStatus: {
            const Setting now = ReadSetting(registry);
            const int code = now.kind == SettingKind::kOff       ? 0
                             : now.kind == SettingKind::kDefault ? 1
                                                                 : 2;
            return {code, StatusLine(now)};
        }
        case Command::kDisable:
        case Command::kRestore: {
            // The same routines and switch as the window; only the closing actions differ.
            RefusalWatch watch(registry);
            RegistryRoutines routines(watch);
            const Choice choice =
                command == Command::kDisable ? Choice::kDisable : Choice::kRestore;
            if (RunAutorunSwitch(routines, choice, {[](const std::string&) {}, [] {}})) {
                return {kExitDone, StatusLine(ReadSetting(registry))};
            }
            if (watch.Refused()) {
                const char* name = command == Command::kDisable ? "/disable" : "/restore";
                return {kExitRefused, std::string("refused: access denied; run tessaro.exe ") +
                                          name + " as administrator"};
            }
            return {kExitNotConfirmed, "not confirmed: now " + StatusLine(ReadSetting(registry))};
        }
        case Command::kHelp:
            return {kExitDone, kUsage};
        case Command::kWindow:
        case Command::kBadArguments:
            break;
    }
    return {kExitBadArguments, kUsage};
}

}  // namespace policy
