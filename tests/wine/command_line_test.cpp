// The command line against Windows itself: words cut as CommandLineToArgvW cuts them, and the
// three AutoPlay controls changed and refused on the real registry under real DACLs.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <policy/command_line.h>
#include <portable/command_words.h>
#include <support/policy_dacl.h>
#include <win32/win32_registry.h>

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

const wchar_t* const kKeys[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                                L"Software\\Policies\\Microsoft\\Windows\\Explorer"};

// One key refusing changes, then one refusing everything: the other controls are still done and
// reported, and the values beside them (a domain's other policies) stay as they were.
TEST(AutoPlayControls, ARefusedKeyIsNamedAndTheOthersAreStillDone) {
    for (const wchar_t* key : kKeys) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"Sibling", REG_SZ, L"keep", 10);
    }
    win32::Win32Registry registry;
    const auto run = [&](policy::Command command) { return policy::RunCommand(command, registry); };
    SetPolicyDacl(L"D:(A;;KR;;;WD)", kKeys[1]);
    auto result = run(policy::Command::kHarden);
    EXPECT_EQ(5, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
        "NoAutoplayfornonVolume absent refused\n"
        "AutoPlay: 2 of 3 controls in place; not: NoAutoplayfornonVolume; refused: run "
        "tessaro.exe /harden as administrator",
        result.output);
    SetPolicyDacl(L"D:(A;;KA;;;WD)", kKeys[1]);
    EXPECT_EQ(0, run(policy::Command::kHarden).exitCode);

    SetPolicyDacl(L"D:", kKeys[1]);
    result = run(policy::Command::kAudit);
    EXPECT_EQ(3, result.exitCode);
    EXPECT_TRUE(result.output.starts_with(
        "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
        "NoAutoplayfornonVolume access denied (5) unreadable\n"))
        << result.output;

    SetPolicyDacl(L"D:(A;;KR;;;WD)", kKeys[0]);
    SetPolicyDacl(L"D:(A;;KA;;;WD)", kKeys[1]);
    result = run(policy::Command::kUnharden);
    EXPECT_EQ(5, result.exitCode);
    EXPECT_TRUE(result.output.ends_with(
        "AutoPlay: 1 of 3 controls removed; not: NoDriveTypeAutoRun, NoAutorun; refused: run "
        "tessaro.exe /unharden as administrator"))
        << result.output;

    for (const wchar_t* key : kKeys) {
        wchar_t text[8] = {};
        DWORD size = sizeof text;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, key, L"Sibling", RRF_RT_REG_SZ,
                                              nullptr, text, &size));
        EXPECT_STREQ(L"keep", text);
        SetPolicyDacl(L"D:(A;;KA;;;WD)", key);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    }
}

}  // namespace
