// The command line for administrators and scripts: one switch, lines of output, an exit code
// that says what the machine holds afterwards. No window and no message box. The exit codes and
// lines are a contract: deployment tools and fleet checks act on them.
#pragma once

#include <string>
#include <vector>

#include "portable/registry_api.h"

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
// "-", in any ASCII case). Anything else, an empty word included, is bad arguments.
Command ParseCommandLine(const std::vector<std::wstring>& arguments);

inline constexpr int kExitDone = 0;
inline constexpr int kExitNotConfirmed = 1;  // also /status "default" and /audit "finding"
inline constexpr int kExitOther = 2;
inline constexpr int kExitUnreadable = 3;
inline constexpr int kExitRefused = 5;
inline constexpr int kExitBadArguments = 87;

struct CommandResult {
    int exitCode;
    std::string output;  // lines separated by '\n', without a final line end
};

// Runs a command other than kWindow against the registry.
CommandResult RunCommand(Command command, portable::RegistryApi& registry);

}  // namespace policy
