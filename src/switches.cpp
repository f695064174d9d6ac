#include "switches.h"

#include <windows.h>

#include "portable/command_words.h"
#include "win32/console_output.h"
#include "win32/win32_registry.h"

namespace tessaro {

std::vector<std::wstring> StartUp() {
    auto words = portable::SplitCommandLine(GetCommandLineW());
    words.erase(words.begin());
    return words;
}

int RunSwitch(policy::Command command) {
    win32::Win32Registry registry;
    const auto result = policy::RunCommand(command, registry);
    win32::WriteOutput(result.output);
    return result.exitCode;
}

}  // namespace tessaro
