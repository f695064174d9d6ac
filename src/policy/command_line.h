// The command line for administrators and scripts: one switch, one line of output, an exit code
// that says what the machine holds afterwards. No window and no message box.
#pragma once

#include <string>
#include <string_view>

#include "portable/registry_api.h"

namespace policy {

enum class Command { kWindow, kDisable, kRestore, kStatus, kHelp, kBadArguments };

// The arguments after the program's name. No argument opens the window; otherwise exactly one
// of /disable, /restore, /status, /? (or with "-", in any case).
Command ParseCommandLine(std::wstring_view arguments);

inline constexpr int kExitDone = 0;
inline constexpr int kExitNotConfirmed = 1;
inline constexpr int kExitRefused = 5;
inline constexpr int kExitBadArguments = 87;

struct CommandResult {
    int exitCode;
    std::string output;  // without the line end
};

// Runs a command other than kWindow against the registry.
CommandResult RunCommand(Command command, portable::RegistryApi& registry);

}  // namespace policy
