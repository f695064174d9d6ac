// Group Policy's say, as an administrator meets it: a real baseline file as the machine's local
// policy and a domain policy object listed in the history, through the window and both programs.
#include <e2e/driver.h>

namespace e2e {
namespace {

const std::wstring kHistory =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\History\\"
    L"{35378EAC-683F-11D2-A89A-00C04FBBCFA2}";

// One REG_DWORD record in a policy file, as Windows writes one: "[key;name;type;size;data]".
std::vector<char> PolicyFile(const std::wstring& key, const std::wstring& name, DWORD number) {
    std::wstring text = L"[" + key + L'\0' + L";" + name + L'\0' + L";";
    const DWORD fields[] = {REG_DWORD, L';', 4, L';', number, L']'};  // numbers in 16-bit units
    std::vector<char> out = {'P', 'R', 'e', 'g', 1, 0, 0, 0};
    const auto put = [&out](const void* p, size_t n) {
        out.insert(out.end(), static_cast<const char*>(p), static_cast<const char*>(p) + n);
    };
    put(text.data(), text.size() * 2);
    for (int i = 0; i < 6; ++i) put(&fields[i], i % 2 ? 2 : 4);
    return out;
}

void Applied(int i, const wchar_t* name, const std::wstring& folder, const wchar_t* gpo) {
    const std::wstring key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\History\\"
        L"{35378EAC-683F-11D2-A89A-00C04FBBCFA2}\\" +
        std::to_wstring(i);
    for (const auto& [value, text] : {std::pair{L"DisplayName", std::wstring(name)},
                                      {L"FileSysPath", folder},
                                      {L"GPOName", std::wstring(gpo)}}) {
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
        std::error_code error;
        fs::remove(local / L"Registry.pol", error);
        EXPECT_FALSE(error) << error.message() << " " << local;
    }
    fs::path local;
};

// The machine's local policy is a real baseline that sets all three controls; a domain policy
// object applied after it sets NoDriveTypeAutoRun to 0x91; one on a share nobody answers for
// is applied first. Switching AutoRun off is then no success, in the window or on the line.
TEST_F(GroupPolicy, TheOwnerIsNamedAndAChangeItUndoesIsNoSuccess) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    local = fs::path(system) / L"GroupPolicy" / L"Machine";
    fs::create_directories(local);
    // Its bytes only: the fixture is read-only, and a copy would keep that.
    std::ofstream(local / L"Registry.pol", std::ios::binary)
        << std::ifstream(TESSARO_FIXTURES_W L"/registry-pol/windows-baseline-machine.pol",
                         std::ios::binary)
               .rdbuf();
    const fs::path domain = root / L"sysvol" / L"{B}" / L"Machine";
    fs::create_directories(domain);
    const auto file = PolicyFile(kPolicyKey, L"NoDriveTypeAutoRun", 0x91);
    std::ofstream(domain / L"Registry.pol", std::ios::binary).write(file.data(), file.size());
    Applied(0, L"Branch office", L"\\\\nohost\\SysVol\\corp\\Policies\\{A}\\Machine", L"{A}");
    Applied(1, L"Local Group Policy", local.wstring(), L"LocalGPO");
    Applied(2, L"Old baseline", domain.wstring(), L"{B}");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");

    EXPECT_EQ("1 default\r\nmanaged: Group Policy \"Old baseline\" sets REG_DWORD 0x91\r\n",
              Run(L"/status", L"tessaro.com"));
    const std::string audit = Run(L"/audit", L"tessaro.com");
    EXPECT_TRUE(
        audit.starts_with("1 NoDriveTypeAutoRun absent (Group Policy \"Old baseline\" "
                          "sets 0x91) finding\r\nNoAutorun "))
        << audit;
    EXPECT_NE(std::string::npos, audit.find(" (local Group Policy sets 0x1) ")) << audit;
    EXPECT_EQ(
        "4 off\r\noverruled: Group Policy \"Old baseline\" sets REG_DWORD 0x91 at its next "
        "refresh\r\n",
        Run(L"/disable"));

    // The window says who sets the value once it has read the files, and after OK (this test runs
    // as administrator, so the window writes itself) says the change will not last.
    SetPolicy(0x91);
    Start();
    EXPECT_TRUE(WaitUntil([&] {
        return Child(main, L"Now: another setting (0x91), set by Group Policy \"Old baseline\".");
    }));
    XAt(main, "key Return");
    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(
        L"Tessaro|The change was made, but it will not last: Group Policy \"Old baseline\" "
        L"puts 0x91 back into NoDriveTypeAutoRun at its next refresh (within 90 minutes, or "
        L"at the next start). Change the setting in that policy instead.|icon|OK",
        Read(box));
    XAt(box, "key Return");
    EXPECT_TRUE(WaitUntil([&] {
        return Child(main,
                     L"Now: AutoRun is off on all drives; Group Policy \"Old baseline\" "
                     L"sets 0x91.");
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
}

}  // namespace
}  // namespace e2e
