// What both programs, tessaro.exe and tessaro.com, do with their command line: one policy layer
// and one command line for the two, so their switches, lines and exit codes cannot drift apart.
#pragma once

#include <string>
#include <vector>

#include <policy/command_line.h>

namespace tessaro {

// The words after the program's name, cut by Windows' rules.
std::vector<std::wstring> StartUp();

// Runs a switch (not kWindow): its lines go to standard output, its exit code comes back. `via`
// and `program` say which program ran it, for the record of a change and for a refusal's hint.
int RunSwitch(policy::Command command, policy::Via via, const char* program);

}  // namespace tessaro
