#include <switches.h>

#include <windows.h>

#include <policy/change_event.h>
#include <portable/command_words.h>
#include <win32/console_output.h>
#include <win32/event_log.h>
#include <win32/policy_files.h>
#include <win32/win32_registry.h>

namespace tessaro {

std::vector<std::wstring> StartUp() {
    auto words = portable::SplitCommandLine(GetCommandLineW());
    words.erase(words.begin());
    return words;
}

int RunSwitch(policy::Command command, policy::Via via, const char* program) {
    win32::Win32Registry registry;
    win32::PolicyFiles files;
    win32::EventLog events;
    policy::EventChangeLog log(events);
    const auto result = policy::RunCommand(command, registry, {&log, via, program, &files});
    win32::WriteOutput(result.output);
    return result.exitCode;
}

}  // namespace tessaro
