// The command line for administrators and scripts: one switch, lines of output, an exit code
// that says what the machine holds afterwards. No window and no message box. The exit codes and
// lines are a contract: deployment tools and fleet checks act on them.
#pragma once

#include <string>
#include <vector>

#include <policy/change_log.h>
#include <portable/file_source.h>
#include <portable/registry_api.h>

namespace policy {

enum class Command {
    kWindow,
    kDisable,
    kRestore,
    kStatus,
    kAudit,
    kHarden,
    kUnharden,
    kHelp,
    kBadArguments
};

// The words after the program's name, already split by Windows' rules. None opens the window;
// otherwise exactly one of /disable, /restore, /status, /audit, /harden, /unharden, /? (or with
// "-", in any ASCII case). Anything else, an empty word included, is bad arguments. The window
// starts its elevated copy with "/raised" after /disable or /restore; `raised` says so.
Command ParseCommandLine(const std::vector<std::wstring>& arguments, bool* raised = nullptr);

inline constexpr int kExitDone = 0;
inline constexpr int kExitNotConfirmed = 1;  // also /status "default" and /audit "finding"
inline constexpr int kExitOther = 2;
inline constexpr int kExitUnreadable = 3;
inline constexpr int kExitOverruled = 4;  // made, but Group Policy puts it back at its refresh
inline constexpr int kExitRefused = 5;
inline constexpr int kExitBadArguments = 87;

struct CommandResult {
    int exitCode;
    std::string output;  // lines separated by '\n', without a final line end
};

struct RunContext {
    ChangeLog* log = nullptr;  // where each change is recorded; nowhere when null
    Via via = Via::kCommandLine;
    const char* program = "tessaro.exe";    // the program a refused change is to be run with again
    portable::FileSource* files = nullptr;  // Group Policy's files; none looked at when null
};

// Runs a command other than kWindow against the registry.
CommandResult RunCommand(Command command, portable::RegistryApi& registry,
                         const RunContext& context = {});

}  // namespace policy
