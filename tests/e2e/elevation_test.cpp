// The command line, and the window raising only the change: what an administrator's script and a
// user without administrator rights see.
#include <e2e/driver.h>

#include <thread>

#include <support/policy_dacl.h>

extern "C" LONG NTAPI NtSuspendProcess(HANDLE process);
extern "C" LONG NTAPI NtResumeProcess(HANDLE process);

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

class CommandLine : public Session {};

// Every line and code is pinned where it is decided; here only what a real process adds: the
// command line as Windows hands it over, quotes included, the exit code and the redirected output
// of both programs, no window for a switch, and the registry they leave.
TEST_F(CommandLine, BothProgramsTakeQuotedSwitchesAndReturnTheirCodeAndLines) {
    win32::ScopedHkey key;  // whether earlier tests made the key or not: only the value counts
    RegCreateKeyW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), key.Receive());
    const Registry before = Snapshot();
    EXPECT_EQ("1 default\r\n", Run(L"\"/status\""));
    EXPECT_EQ("0 off\r\n", Run(L"\"/disable\""));
    EXPECT_EQ(std::vector<std::wstring>{kPolicy}, Changed(before, Snapshot()));  // read back: off
    EXPECT_EQ("0 default\r\n", Run(L"-RESTORE"));
    EXPECT_EQ(std::vector<std::wstring>{}, Changed(before, Snapshot()));

    // Every line ends as a console's do; what the lines say is pinned where it is decided.
    const std::string audit = Run(L"-AUDIT", L"tessaro.com");
    EXPECT_TRUE(audit.starts_with("1 NoDriveTypeAutoRun absent finding\r\nNoAutorun ") &&
                audit.ends_with(" controls in place; not: NoDriveTypeAutoRun, NoAutorun, "
                                "NoAutoplayfornonVolume\r\n"))
        << audit;
    EXPECT_EQ(nullptr, Find(0, IsMain, 0));

    // Without a switch the console program starts the window program and returns at once.
    EXPECT_EQ("0 ", Run(L"", L"tessaro.com"));
    const HWND window = Find(0, IsMain);
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Gone(window));
}

// What the program's live regions announce, as a screen reader hears it: the element's name then.
std::vector<std::wstring> g_announced;
void CALLBACK Announced(HWINEVENTHOOK, DWORD, HWND w, LONG object, LONG child, DWORD, DWORD) {
    Accessible said;
    if (SUCCEEDED(AccessibleObjectFromEvent(w, object, child, &said.p, &said.child))) {
        g_announced.push_back(said.Read());
    }
}

// The window whose elevated copy was refused (exit code 5) claims nothing: no message, and it shows
// what the machine holds after the attempt, here what another program wrote meanwhile; a screen
// reader is told.
TEST_F(CommandLine, AWindowWhoseElevatedCopyIsRefusedClaimsNothing) {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
    Start(LimitedToken().Get());
    SetPolicy(0x91);
    SetPolicyDacl(L"D:(A;;KR;;;WD)");
    CoInitialize(nullptr);
    constexpr DWORD kLiveRegionChanged = 0x8019;
    const HWINEVENTHOOK hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr,
                                               &Announced, pid, 0, WINEVENT_OUTOFCONTEXT);
    Click(Ok());
    EXPECT_EQ(nullptr, Find(pid, IsBox, 2000));
    EXPECT_TRUE(WaitUntil([&] { return Child(main, L"Now: another setting (0x91)."); }));
    EXPECT_TRUE(WaitUntil([&] { return !g_announced.empty(); }, 2000));
    UnhookWinEvent(hook);
    EXPECT_EQ(std::vector<std::wstring>{L"static text|Now: another setting (0x91).|||read only,"},
              g_announced);
    CoUninitialize();
    EXPECT_TRUE(IsWindowEnabled(main) && IsWindowEnabled(Ok()) && Answers(main));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(0));
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
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
    CoInitialize(nullptr);  // a screen reader's question
    EXPECT_EQ(L"push button|Play sound||Press|focusable,", Accessible(Ctl(kSpot)).Read());
    CoUninitialize();
    Click(Ctl(kSpot));
    Click(Ctl(kLicence));
    const HWND notepad = Find(0, IsNotepad);
    PostMessageW(notepad, WM_CLOSE, 0, 0);  // over the About box, it would take the next click
    Require(notepad && Gone(notepad), "the licence does not open, or Notepad stays");
    Click(Ctl(kQuorrel));
    Require(Effect(), "no effect window");
    XAt(Effect(), "key a");
    EXPECT_TRUE(Gone(about) && WaitUntil([&] { return IsWindowEnabled(main); }));

    // Every process the program starts joins its job, whose port names each one as it starts:
    // the elevated copy is held still there before it can write, as a slow consent prompt would
    // hold it, and counted. A copy that is quick runs and ends while the click is still going on.
    const win32::ScopedHandle job(CreateJobObjectW(nullptr, nullptr)),
        port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job.Get(), port.Get()};
    SetInformationJobObject(job.Get(), JobObjectAssociateCompletionPortInformation, &link,
                            sizeof link);
    ASSERT_TRUE(AssignProcessToJobObject(job.Get(), process.Get()));
    win32::ScopedHandle copy;
    std::thread hold([&] {
        DWORD message = 0;
        ULONG_PTR key;
        OVERLAPPED* id = nullptr;
        while (GetQueuedCompletionStatus(port.Get(), &message, &key, &id, kWait)) {
            const auto other = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(id));
            if (message != JOB_OBJECT_MSG_NEW_PROCESS || other == pid) continue;
            copy.Reset(OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, other));
            if (copy && NtSuspendProcess(copy.Get()) == 0) return;
        }
    });
    Click(Ok());
    hold.join();
    ASSERT_TRUE(copy) << "no elevated copy";
    // While the copy runs the whole window is out of reach: OK pressed again by any means, or
    // the window closed, starts nothing (the job counts that) and ends nothing.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }));
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Ok()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Ok()));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(main); }, 1000));
    NtResumeProcess(copy.Get());

    const HWND box = Find(pid, IsBox);
    EXPECT_TRUE(Read(box).starts_with(L"Tessaro|Update successful.")) << Read(box);
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
