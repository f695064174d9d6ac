// The command line against Windows itself: words cut as CommandLineToArgvW cuts them, and the
// three AutoPlay controls changed and refused on the real registry under real DACLs.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "policy/command_line.h"
#include "portable/command_words.h"
#include "support/policy_dacl.h"
#include "win32/win32_registry.h"

namespace {

TEST(CommandWords, CutExactlyAsCommandLineToArgvW) {
    const wchar_t* lines[] = {
        L"t",
        L"t /status",
        L"\"C:\\a b\\t.exe\" \"/status\"",
        L"\"C:\\a b\\t.exe\"/x y",
        L"C:\\a\"b c",
        L"t  a\t\tb  ",
        L"t \"\"",
        L"t \"\" \"\"",
        L"t a\\\\b",
        L"t a\\\\\"b c\"",
        L"t a\\\\\\\"b",
        L"t a\\\\\\\\\"b c\" d",
        L"t \"a\"\"b\"",
        L"t \"a\"\"\"b\"",
        L"t \"\"\"\" x",
        L"t \"\"\"\"\"\" x",
        L"t a\"\"b c",
        L"t \"unclosed  words",
        L"t \"end\\\\\"",
        L"t \\\"/status\\\"",
        L"t /st\"a\"tus",
        L"t \u00e9\u4e2d \"\u00e9 x\"",
    };
    for (const wchar_t* line : lines) {
        int count = 0;
        wchar_t** argv = CommandLineToArgvW(line, &count);
        ASSERT_NE(nullptr, argv);
        const std::vector<std::wstring> windows(argv, argv + count);
        LocalFree(argv);
        EXPECT_EQ(windows, portable::SplitCommandLine(line)) << line;
    }
}

const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kPolicies = L"Software\\Policies\\Microsoft\\Windows\\Explorer";

std::vector<BYTE> Raw(const std::wstring& key, const wchar_t* name) {
    std::vector<BYTE> data(64);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY, nullptr, data.data(),
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(size);
    return data;
}

class AutoPlayControls : public testing::Test {
  protected:
    win32::Win32Registry registry;

    void SetUp() override {
        // Siblings under both keys, as a domain's other policies would be there.
        for (const auto* key : {&kExplorer, &kPolicies}) {
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, key->c_str(), L"Sibling", REG_SZ, L"keep", 10);
        }
    }
    void TearDown() override {
        for (const auto* key : {&kExplorer, &kPolicies}) {
            SetPolicyDacl(L"D:(A;;KA;;;WD)", key->c_str());
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, key->c_str());
        }
    }
    policy::CommandResult Run(policy::Command command) {
        return policy::RunCommand(command, registry);
    }
};

TEST_F(AutoPlayControls, ARefusedKeyIsNamedAndTheOthersAreStillDoneWithSiblingsUntouched) {
    SetPolicyDacl(L"D:(A;;KR;;;WD)", kPolicies.c_str());
    auto result = Run(policy::Command::kHarden);
    EXPECT_EQ(5, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
        "NoAutoplayfornonVolume absent refused\n"
        "AutoPlay: 2 of 3 controls in place; not: NoAutoplayfornonVolume; refused: run "
        "tessaro.exe /harden as administrator",
        result.output);
    EXPECT_EQ(1, Run(policy::Command::kAudit).exitCode);

    SetPolicyDacl(L"D:(A;;KA;;;WD)", kPolicies.c_str());
    EXPECT_EQ(0, Run(policy::Command::kHarden).exitCode);
    EXPECT_EQ(0, Run(policy::Command::kAudit).exitCode);

    // A key that refuses reading: that control is unreadable, the others are still reported.
    SetPolicyDacl(L"D:", kPolicies.c_str());
    result = Run(policy::Command::kAudit);
    EXPECT_EQ(3, result.exitCode);
    EXPECT_TRUE(result.output.starts_with(
        "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
        "NoAutoplayfornonVolume access denied (5) unreadable\n"))
        << result.output;

    SetPolicyDacl(L"D:(A;;KR;;;WD)", kExplorer.c_str());
    SetPolicyDacl(L"D:(A;;KA;;;WD)", kPolicies.c_str());
    result = Run(policy::Command::kUnharden);
    EXPECT_EQ(5, result.exitCode);
    EXPECT_TRUE(result.output.ends_with(
        "AutoPlay: 1 of 3 controls removed; not: NoDriveTypeAutoRun, NoAutorun; refused: run "
        "tessaro.exe /unharden as administrator"))
        << result.output;
    EXPECT_EQ(std::vector<BYTE>{}, Raw(kPolicies, L"NoAutoplayfornonVolume"));

    for (const auto* key : {&kExplorer, &kPolicies}) {
        EXPECT_EQ((std::vector<BYTE>{'k', 0, 'e', 0, 'e', 0, 'p', 0, 0, 0}), Raw(*key, L"Sibling"));
    }
}

}  // namespace
