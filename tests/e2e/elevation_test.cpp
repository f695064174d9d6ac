// The command line, and the window raising only the change: what an administrator's script and a
// user without administrator rights see.
#include "driver.h"
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
    // Runs tessaro.exe with the arguments and gives its exit code and what it printed.
    std::pair<DWORD, std::string> Run(const std::wstring& arguments) {
        if (dir.empty()) Copy();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        win32::ScopedHandle read, write;
        CreatePipe(read.Receive(), write.Receive(), &inherit, 0);
        SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{sizeof startup};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write.Get();
        std::wstring command = L"\"" + (dir / L"tessaro.exe").wstring() + L"\" " + arguments;
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

TEST_F(CommandLine, EachSwitchDoesItsOneThingAndSaysSoInALineAndAnExitCode) {
    HKEY key = nullptr;  // the key, whether earlier tests made it or not: only the value counts
    RegCreateKeyW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), &key);
    RegCloseKey(key);
    const Registry before = Snapshot();
    EXPECT_EQ(Line(1, "default"), Run(L"/status"));
    EXPECT_EQ(Line(0, "off"), Run(L"/disable"));
    EXPECT_EQ(Line(0, "off"), Run(L"-DISABLE"));  // already off: still done
    EXPECT_EQ(std::vector<std::wstring>{kPolicy}, Changed(before, Snapshot()));
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{255, 0, 0, 0}),
              Snapshot()[kPolicy]);
    EXPECT_EQ(Line(0, "off"), Run(L"/Status"));
    EXPECT_EQ(Line(0, "default"), Run(L"/restore"));
    EXPECT_EQ(Line(0, "default"), Run(L"/restore"));
    EXPECT_EQ(std::vector<std::wstring>{}, Changed(before, Snapshot()));
    SetPolicy(0x91);
    EXPECT_EQ(Line(2, "other REG_DWORD 0x91"), Run(L"/status"));
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
    for (const wchar_t* wrong : {L"/disable /restore", L"/enable", L"status", L"/status x"}) {
        const auto [code, text] = Run(wrong);
        EXPECT_EQ(87u, code) << wrong;
        EXPECT_TRUE(text.starts_with("Usage: tessaro.exe")) << text;
    }
    EXPECT_EQ(0u, Run(L"/?").first);
    EXPECT_EQ(nullptr, Find(
                           0, [](HWND w) { return Text(w) == L"Tessaro"; }, 0));
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
    EXPECT_EQ(Line(2, "other REG_SZ 255"), Run(L"/status"));
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
    EXPECT_TRUE(IsWindowEnabled(Ok()) && Answers(main));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(0));
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
}

// Run only from the copy of the folder with DLLs planted beside the program (tests/CMakeLists.txt),
// which Session checks: every action that makes the program load a DLL at run time, in one
// session. The clip, the sound spot, the licence, the desktop effect, and OK, whose write an
// elevated copy of the program makes, started from the same folder.
TEST_F(CommandLine, PlantedDllsAreNeverLoadedAndOkRaisesOnlyTheWrite) {
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
    Click(Ok());
    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(
        L"Tessaro|Update successful. Changes will take effect after the next computer "
        L"boot.|information|OK",
        Read(box));
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION jobInfo{};
    QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &jobInfo,
                              sizeof jobInfo, nullptr);
    EXPECT_EQ(2u, jobInfo.TotalProcesses) << "the write was not made by an elevated copy";
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{255, 0, 0, 0}),
              Snapshot()[kPolicy]);
    XAt(box, "key Return");
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
}  // namespace e2e
