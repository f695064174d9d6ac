// tessaro.com, the console companion of tessaro.exe. A prompt finds it first (PATHEXT lists .COM
// before .EXE), and as a console program it is waited for: `tessaro /audit` typed in cmd or
// PowerShell prints its lines and sets the exit code, which the window program cannot do there.
#include <windows.h>

#include <string>

#include <program_start.h>
#include <switches.h>
#include <win32/console_output.h>
#include <win32/scoped_handles.h>
#include <win32/text.h>

namespace {

// Without a switch the user wants the window: start tessaro.exe from this program's folder and
// return at once, as typing its name would.
int StartWindowProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return 1;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"tessaro.exe";
    std::wstring commandLine = L"\"" + path + L"\"";
    // No standard handles: a script reading this program's output must not wait for the window
    // to close because it holds the script's pipe.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        // Said, and never an exit code that /status gives a meaning to.
        const DWORD error = GetLastError();
        win32::WriteOutput("could not start the window: " + win32::Utf8(path) + ": " +
                           (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                                ? std::string("tessaro.exe is not in this folder")
                                : "error " + std::to_string(error)));
        return 1;
    }
    const win32::ScopedHandle process(info.hProcess), thread(info.hThread);
    return 0;
}

}  // namespace

int wmain() {
    const auto command = policy::ParseCommandLine(tessaro::StartUp());
    if (command == policy::Command::kWindow) return StartWindowProgram();
    return tessaro::RunSwitch(command, policy::Via::kConsole, "tessaro.com");
}

// As in main.cpp: the process is made ready before the C runtime and anything protected runs.
extern "C" int mainCRTStartup();
TESSARO_ENTRY int TessaroStart() {
    tessaro::PrepareProcess();
    return mainCRTStartup();
}
