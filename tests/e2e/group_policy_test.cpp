// Group Policy's say, as an administrator meets it: a real baseline file as a domain policy
// object's, listed in the history after one on a share that never answers, through the window and
// both programs; then the same file as the machine's local policy.
#include <e2e/driver.h>

namespace e2e {
namespace {

const std::wstring kHistory =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\History\\"
    L"{35378EAC-683F-11D2-A89A-00C04FBBCFA2}";

void Applied(int i, const wchar_t* name, const std::wstring& folder) {
    const std::wstring key = kHistory + L"\\" + std::to_wstring(i);
    for (const auto& [value, text] : {std::pair{L"DisplayName", std::wstring(name)},
                                      {L"FileSysPath", folder},
                                      {L"GPOName", L"{" + folder + L"}"}}) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), value, REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() + 1) * 2);
    }
}

class GroupPolicy : public Session {
  protected:
    // The other tests of this run share the prefix: they must find no policy and no value.
    void TearDown() override {
        Session::TearDown();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHistory.c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
        DeleteFileW(LocalPolicy().c_str());
    }
    static std::wstring LocalPolicy() {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        return std::wstring(system) + L"\\GroupPolicy\\Machine\\Registry.pol";
    }
    // The baseline's bytes only: the fixture is read-only, and a copy would keep that.
    static void PlaceBaseline(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            << std::ifstream(TESSARO_FIXTURES_W L"/registry-pol/windows-baseline-machine.pol",
                             std::ios::binary)
                   .rdbuf();
    }
};

// The baseline switches AutoRun off: restoring the default is then no success, in the window or
// on the line, while switching it off is.
TEST_F(GroupPolicy, TheOwnerIsNamedAndAChangeItUndoesIsNoSuccess) {
    const fs::path domain = root / L"sysvol" / L"Machine";
    PlaceBaseline(domain / L"Registry.pol");
    Applied(0, L"Branch office", L"\\\\nohost\\SysVol\\corp\\Policies\\{A}\\Machine");
    Applied(1, L"Workstation baseline", domain.wstring());
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");

    const std::string managed =
        "managed: Group Policy \"Workstation baseline\" sets REG_DWORD 0xff";
    EXPECT_EQ("1 default\r\n" + managed + "\r\n", Run(L"/status", L"tessaro.com"));
    const std::string audit = Run(L"/audit", L"tessaro.com");
    EXPECT_TRUE(
        audit.starts_with("1 NoDriveTypeAutoRun absent (Group Policy \"Workstation "
                          "baseline\" sets 0xff) finding\r\nNoAutorun absent "))
        << audit;
    EXPECT_EQ("0 off\r\n" + managed + "\r\n", Run(L"/disable"));
    EXPECT_EQ(
        "4 default\r\noverruled: Group Policy \"Workstation baseline\" sets REG_DWORD 0xff at "
        "its next refresh\r\n",
        Run(L"/restore"));

    // The window says who sets the value once it has read the files; after "Restore default"
    // and OK (this test runs as administrator, so the window writes itself) it says the change
    // will not last, and stays.
    SetPolicy(255);
    Start();
    EXPECT_TRUE(WaitUntil([&] {
        return Child(main,
                     L"Now: AutoRun is off on all drives, set by Group Policy \"Workstation "
                     L"baseline\".");
    }));
    Click(Child(main, L"Restore default"));
    Click(Ok());
    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(
        L"Tessaro|The change was made, but it will not last: Group Policy \"Workstation "
        L"baseline\" puts 0xff back into NoDriveTypeAutoRun at its next refresh (within 90 "
        L"minutes, or at the next start). Change the setting in that policy instead.|icon|OK",
        Read(box));
    XAt(box, "key Return");
    EXPECT_TRUE(WaitUntil([&] {
        return Child(main,
                     L"Now: Windows default; Group Policy \"Workstation baseline\" sets 0xff.");
    }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(0));

    // Without tessaro.exe beside it, tessaro.com says why it cannot open the window.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_NE(STILL_ACTIVE, ExitCode());  // its program file is free once it has ended
    fs::remove(dir / L"tessaro.exe");
    const std::string alone = Run(L"", L"tessaro.com");
    EXPECT_TRUE(alone.starts_with("1 could not start the window: ") &&
                alone.ends_with(": tessaro.exe is not in this folder\r\n"))
        << alone;

    // Without a history, the machine's own policy file decides.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHistory.c_str());
    PlaceBaseline(LocalPolicy());
    EXPECT_EQ("1 default\r\nmanaged: local Group Policy sets REG_DWORD 0xff\r\n",
              Run(L"/status", L"tessaro.com"));
}

}  // namespace
}  // namespace e2e
