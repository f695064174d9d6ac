// The command line, and the window raising only the change: what an administrator's script and a
// user without administrator rights see.
#include "driver.h"

#include <tlhelp32.h>

#include "support/policy_dacl.h"

namespace e2e {
namespace {

// The limited half of this process's token, as UAC gives an administrator: Wine starts every
// program with the full one.
win32::ScopedHandle LimitedToken() {
    win32::ScopedHandle own, primary;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.Receive());
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    GetTokenInformation(own.Get(), TokenLinkedToken, &linked, sizeof linked, &size);
    const win32::ScopedHandle limited(linked.LinkedToken);
    DuplicateTokenEx(limited.Get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                     primary.Receive());
    return primary;
}

class CommandLine : public Session {
  protected:
    // Runs a program of the folder with the arguments, quoted as the caller quotes them, and
    // gives its exit code and what it printed to the pipe it got as its output.
    std::pair<DWORD, std::string> Run(const std::wstring& arguments,
                                      const wchar_t* program = L"tessaro.exe") {
        if (dir.empty()) Copy();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        win32::ScopedHandle read, write;
        CreatePipe(read.Receive(), write.Receive(), &inherit, 0);
        SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{sizeof startup};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write.Get();
        std::wstring command = L"\"" + (dir / program).wstring() + L"\" " + arguments;
        PROCESS_INFORMATION info{};
        Require(CreateProcessW(nullptr, command.data(), 0, 0, TRUE, 0, 0, 0, &startup, &info),
                "cannot start it");
        write.Reset();
        std::string output;
        char buffer[4096];
        for (DWORD n; ReadFile(read.Get(), buffer, sizeof buffer, &n, nullptr) && n;) {
            output.append(buffer, n);
        }
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(info.hProcess, kWait);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess), CloseHandle(info.hThread);
        return {code, output};
    }
    std::pair<DWORD, std::string> Line(DWORD code, const std::string& text) {
        return {code, text + "\r\n"};
    }
};

// Every line and code is pinned where it is decided; here only what a real process adds: the
// command line as Windows hands it over, quotes included, the exit code and the redirected output
// of both programs, and the registry they leave.
TEST_F(CommandLine, BothProgramsTakeQuotedSwitchesAndReturnTheirCodeAndLines) {
    HKEY key = nullptr;  // the key, whether earlier tests made it or not: only the value counts
    RegCreateKeyW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), &key);
    RegCloseKey(key);
    const Registry before = Snapshot();
    EXPECT_EQ(Line(1, "default"), Run(L"\"/status\""));
    EXPECT_EQ(Line(0, "off"), Run(L"\"/disable\""));
    EXPECT_EQ(std::vector<std::wstring>{kPolicy}, Changed(before, Snapshot()));
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{255, 0, 0, 0}),
              Snapshot()[kPolicy]);
    EXPECT_EQ(Line(0, "default"), Run(L"-RESTORE"));
    EXPECT_EQ(std::vector<std::wstring>{}, Changed(before, Snapshot()));
    const auto [code, text] = Run(L"/status \"\"");
    EXPECT_EQ(87u, code);
    EXPECT_TRUE(text.starts_with("Usage: tessaro")) << text;

    EXPECT_EQ(1u, Run(L"/audit", L"tessaro.com").first);
    const auto [hardened, lines] = Run(L"\"/harden\"", L"tessaro.com");
    EXPECT_EQ(0u, hardened) << lines;
    EXPECT_TRUE(lines.ends_with("\r\nAutoPlay: 3 of 3 controls in place\r\n")) << lines;
    EXPECT_EQ(0u, Run(L"/audit", L"tessaro.com").first);
    EXPECT_EQ(Line(0, "off"), Run(L"/status", L"tessaro.com"));
    EXPECT_EQ(0u, Run(L"/unharden").first);
    // Only a key /harden had to create may remain; every value is as it was.
    for (const auto& name : Changed(before, Snapshot())) EXPECT_TRUE(name.ends_with(L"|")) << name;
    EXPECT_EQ(nullptr, Find(
                           0, [](HWND w) { return Text(w) == L"Tessaro"; }, 0));

    // Without a switch the console program starts the window program and returns at once.
    EXPECT_EQ(std::make_pair(DWORD{0}, std::string()), Run(L"", L"tessaro.com"));
    const HWND window = Find(0, [](HWND w) { return Text(w) == L"Tessaro"; });
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Gone(window));
}

TEST_F(CommandLine, ARefusedChangeExitsWithFiveAndIsNeverTakenForSuccess) {
    // Text a refused write could leave behind, but not the number Explorer reads.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                    "NoDriveTypeAutoRun", REG_SZ, "255", 4);
    SetPolicyDacl(L"D:(A;;KR;;;WD)");
    const auto [code, text] = Run(L"/disable");
    EXPECT_EQ(5u, code);
    EXPECT_EQ("refused: access denied; run tessaro.exe /disable as administrator\r\n", text);
    EXPECT_EQ(Line(2, "other REG_SZ \"255\""), Run(L"/status"));
    EXPECT_EQ(5u, Run(L"/restore").first);
    EXPECT_EQ(REG_SZ, Snapshot()[kPolicy].first);

    // The window whose elevated copy was refused claims nothing either: no message, and it shows
    // what the machine holds after the attempt, here what another program wrote meanwhile.
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
    Start(LimitedToken().Get());
    EXPECT_NE(nullptr, Child(main, L"Now: Windows default."));
    SetPolicy(0x91);
    SetPolicyDacl(L"D:(A;;KR;;;WD)");
    Click(Ok());
    EXPECT_EQ(nullptr, Find(pid, IsBox, 2000));
    EXPECT_TRUE(WaitUntil([&] { return Child(main, L"Now: another setting (0x91)."); }));
    EXPECT_TRUE(IsWindowEnabled(main) && IsWindowEnabled(Ok()) && Answers(main));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(0));
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
}

// The copies of tessaro.exe that `parent` started (it starts Notepad too, for the licence).
std::vector<DWORD> ChildProcesses(DWORD parent) {
    std::vector<DWORD> children;
    const win32::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == parent && !_wcsicmp(entry.szExeFile, L"tessaro.exe")) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

// Holds a process still, as a slow consent prompt holds the elevated copy; resume lets it go.
int Hold(DWORD pid, bool resume = false) {
    int held = 0;
    const win32::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{sizeof entry};
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        const win32::ScopedHandle thread(
            OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        held += (resume ? ResumeThread(thread.Get()) : SuspendThread(thread.Get())) != DWORD(-1);
    }
    return held;
}

// Run only from the copy of the folder with DLLs planted beside the program (tests/CMakeLists.txt),
// which Session checks: every action that makes the program load a DLL at run time, in one
// session. The clip, the sound spot, the licence, the desktop effect, and OK, whose write an
// elevated copy of the program makes, started from the same folder; the window waits for it
// modally.
TEST_F(CommandLine, PlantedDllsAreNeverLoadedAndOkRaisesOnlyTheWriteModally) {
    Copy();
    ASSERT_TRUE(fs::exists(dir / L"msacm32.dll")) << "not run from the planted folder";
    Start(LimitedToken().Get());
    OpenAbout();
    EXPECT_TRUE(ClipPlays());
    Click(Ctl(kSpot));
    Click(Ctl(kLicence));
    const HWND notepad = Find(0, IsNotepad);
    EXPECT_TRUE(notepad && !Find(pid, IsBox, 0)) << "the licence does not open";
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    Require(Gone(notepad), "Notepad stays");  // over the About box, it would take the click
    Click(Ctl(kQuorrel));
    Require(Effect(), "no effect window");
    XAt(Effect(), "key a");
    EXPECT_TRUE(Gone(about) && WaitUntil([&] { return IsWindowEnabled(main); }));

    // Every process the program starts joins its job, so the job counts the elevated copy.
    const win32::ScopedHandle job(CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(AssignProcessToJobObject(job.Get(), process.Get()));
    // A thread of its own watches from before the click, so the copy is held the moment it shows.
    struct Watch {
        DWORD parent, copy = 0;
    } watch{pid};
    const win32::ScopedHandle watcher(CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* w = static_cast<Watch*>(p);
            for (const ULONGLONG end = GetTickCount64() + kWait; GetTickCount64() < end;) {
                for (DWORD child : ChildProcesses(w->parent)) {
                    if (Hold(child) > 0) return w->copy = child, 0;
                }
            }
            return 1;
        },
        &watch, 0, nullptr));
    Click(Ok());
    WaitForSingleObject(watcher.Get(), kWait + 1000);
    const DWORD copy = watch.copy;
    ASSERT_NE(0u, copy) << "no elevated copy to hold; window enabled: " << IsWindowEnabled(main);
    // While the copy runs the whole window is out of reach: OK pressed again by any means, or
    // the window closed, starts nothing and ends nothing.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }));
    for (int i = 0; i < 5; ++i) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Ok()), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Ok()));
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(
        WaitUntil([&] { return ChildProcesses(pid).size() > 1 || !IsWindow(main); }, 1000));
    Hold(copy, true);

    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(
        L"Tessaro|Update successful. Changes will take effect after the next computer "
        L"boot.|information|OK",
        Read(box));
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION jobInfo{};
    QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &jobInfo,
                              sizeof jobInfo, nullptr);
    EXPECT_EQ(2u, jobInfo.TotalProcesses) << "not one elevated copy";
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{255, 0, 0, 0}),
              Snapshot()[kPolicy]);
    XAt(box, "key Return");
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
}  // namespace e2e
