// What both programs, tessaro.exe and tessaro.com, do with their command line: one policy layer
// and one command line for the two, so their switches, lines and exit codes cannot drift apart.
#pragma once

#include <string>
#include <vector>

#include "policy/change_log.h"
#include "policy/command_line.h"

namespace tessaro {

// Keeps later DLL loads to the system folder, then gives the words after the program's name,
// cut by Windows' rules.
std::vector<std::wstring> StartUp();

// Runs a switch (not kWindow): its lines go to standard output, its exit code comes back, and
// each value it writes or deletes is an event of the Application log saying how it was asked for
// (`via`: kCommandLine for tessaro.exe, kConsole for tessaro.com).
int RunSwitch(policy::Command command, policy::Via via);

}  // namespace tessaro
