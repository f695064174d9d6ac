#include <win32/elevation.h>

#include <shellapi.h>

#include <win32/app.h>
#include <win32/message_loop.h>
#include <win32/scoped_handles.h>
#include <win32/system_library.h>

namespace win32 {

bool IsElevated() {
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

ElevatedRun RunSelfElevated(HWND owner, const std::wstring& arguments) {
    ElevatedRun run;
    // Kept loaded, as for the About box's documents: the shell may go on working after the call.
    static const SystemLibrary shell32(L"shell32.dll");
    const auto execute = shell32.Function<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>("ShellExecuteExW");
    if (!execute) {
        run.error = ERROR_PROC_NOT_FOUND;
        return run;
    }
    // Modal from here on: every window of the program is disabled until the copy has ended, so
    // that nothing in them can start a second copy or close them meanwhile, and enabled again
    // before anything is said about it.
    ModalScope modal(nullptr);
    const std::wstring self = ExePath();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: the shell finishes its work before returning, as it must without a message loop
    // of its own; NOCLOSEPROCESS: the process comes back to wait for.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = self.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_HIDE;
    if (!execute(&info)) {
        run.error = GetLastError();
        return run;
    }
    run.started = true;
    const ScopedHandle process(info.hProcess);
    if (!process) return run;
    // Wait, but keep the windows painting: the elevated copy may take a while (UAC's prompt).
    // Once the program is ending (its window was closed meanwhile), only the copy is waited for.
    if (!modal.Run([] { return false; }, process.Get())) {
        WaitForSingleObject(process.Get(), INFINITE);
    }
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

}  // namespace win32
