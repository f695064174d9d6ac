// The registry routines, the switch and the setting against Wine's real registry, in a prefix of
// their own (tests/support/wine-run.sh), so the machine-wide policy key can be used for real.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <support/policy_dacl.h>
#include <policy/autorun_switch.h>
#include <policy/change_watch.h>
#include <policy/setting.h>
#include <portable/runtime_error.h>
#include <win32/win32_registry.h>

namespace {

using enum policy::SettingKind;
using policy::Choice;
using portable::Variant;
using Bytes = std::vector<BYTE>;

struct Raw {
    DWORD type;
    Bytes data;
    bool operator==(const Raw&) const = default;
};
const Raw kDword255{REG_DWORD, {0xFF, 0, 0, 0}};
const std::string kPolicy = policy::kPolicyKeyPath;
const std::string kName = policy::kNoDriveTypeAutoRun.name;
const std::string kSandbox = "Software\\Tessaro Tests";
constexpr std::int32_t kHkcu = portable::kHKeyCurrentUser;
constexpr std::int32_t kHklm = portable::kHKeyLocalMachine;

std::optional<Raw> Read(HKEY root, const std::string& path, const std::string& name) {
    Raw v{0, Bytes(1 << 17)};
    DWORD size = static_cast<DWORD>(v.data.size());
    if (RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &v.type,
                     v.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    v.data.resize(size);
    return v;
}

void Write(HKEY root, const std::string& path, const std::string& name, const Raw& v) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(root, path.c_str(), name.c_str(), v.type,
                                             v.data.data(), static_cast<DWORD>(v.data.size())));
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// What the policy key holds before the program runs; a key always holds an unrelated value too.
struct Start {
    bool key;
    std::optional<Raw> value;
};
const Start kNoKey{false, {}}, kNoValue{true, {}};
Start Holding(DWORD type, Bytes data) { return {true, Raw{type, std::move(data)}}; }
const Start kOffStart = Holding(REG_DWORD, {0xFF, 0, 0, 0});
const Start kText255 = Holding(REG_SZ, {'2', '5', '5', 0});

void Prepare(const Start& start) {
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicy.c_str());
    if (start.key) Write(HKEY_LOCAL_MACHINE, kPolicy, "Unrelated", Raw{REG_DWORD, {7, 0, 0, 0}});
    if (start.value) Write(HKEY_LOCAL_MACHINE, kPolicy, kName, *start.value);
}

class WineRegistry : public testing::Test {
  protected:
    win32::Win32Registry real;
    policy::ChangeWatch watch{real};
    policy::RegistryRoutines routines{watch};

    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSandbox.c_str());
        Prepare(kNoKey);
    }
};

TEST_F(WineRegistry, RoutinesWriteNumbersAsDwordsAndOtherTextTrimmedWithOneNul) {
    const std::pair<Variant, Raw> cases[] = {
        {std::int16_t{255}, kDword255},
        {std::string(" -3 "), {REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}}},
        {std::string("3.5"), {REG_DWORD, {4, 0, 0, 0}}},
        {std::string("  abc "), {REG_SZ, {'a', 'b', 'c', 0}}},
        {std::string("\tab"), {REG_SZ, {'\t', 'a', 'b', 0}}},  // only spaces are trimmed
        {std::string("   "), {REG_SZ, {0}}},
    };
    const std::string path = kSandbox + "\\new\\levels";  // every missing level is created
    for (const auto& [data, stored] : cases) {
        routines.regCreate_Key_Value(kHkcu, path, "v", data);
        EXPECT_EQ(stored, Read(HKEY_CURRENT_USER, path, "v")) << portable::ToText(data);
        EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);
    }
    // Out of range: the overflow comes before any key is created.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSandbox.c_str());
    EXPECT_THROW(routines.regCreate_Key_Value(kHkcu, kSandbox, "v", std::string("2147483648")),
                 portable::RuntimeError);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSandbox));
}

TEST_F(WineRegistry, RoutinesTestCreateAndDeleteKeysAndValues) {
    EXPECT_FALSE(routines.regDoes_Key_Exist(kHkcu, kSandbox));
    routines.regCreate_A_Key(kHkcu, kSandbox + "\\a\\b");
    EXPECT_TRUE(routines.regDoes_Key_Exist(kHkcu, kSandbox + "\\a"));

    Write(HKEY_CURRENT_USER, kSandbox, "gone", kDword255);
    Write(HKEY_CURRENT_USER, kSandbox, "kept", kDword255);
    routines.regDelete_Sub_Key(kHkcu, kSandbox, "gone");
    routines.regDelete_Sub_Key(kHkcu, kSandbox, "gone");  // already gone: no failure
    routines.regDelete_Sub_Key(kHkcu, kSandbox + "\\no", "kept");
    EXPECT_EQ(std::nullopt, Read(HKEY_CURRENT_USER, kSandbox, "gone"));
    EXPECT_EQ(kDword255, Read(HKEY_CURRENT_USER, kSandbox, "kept"));

    EXPECT_TRUE(routines.regDelete_A_Key(kHkcu, kSandbox + "\\a", "b"));
    EXPECT_FALSE(routines.regDelete_A_Key(kHkcu, kSandbox + "\\a", "b"));
    EXPECT_EQ(ERROR_SUCCESS, watch.Failure());
    // A key with subkeys of its own is not deleted: Windows refuses it.
    routines.regCreate_A_Key(kHkcu, kSandbox + "\\a\\b");
    EXPECT_FALSE(routines.regDelete_A_Key(kHkcu, kSandbox, "a"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSandbox + "\\a\\b"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, watch.Failure());
}

// Refusals come from real DACLs: read-only, nothing at all, and write-only (a change that goes
// through and cannot be read back is not refused, nor confirmed).
TEST_F(WineRegistry, RefusedWritesAndDeletionsAreNotReportedUnlessThePolicyHolds) {
    using enum policy::Verdict;
    const struct {
        Start start;
        const wchar_t* dacl;
        Choice choice;
        policy::Verdict verdict;
        std::optional<Raw> after;
    } cases[] = {
        {kNoValue, L"D:(A;;KR;;;WD)", Choice::kDisable, kRefused, {}},
        {Holding(REG_DWORD, {0x91, 0, 0, 0}), L"D:(A;;KR;;;WD)", Choice::kDisable, kRefused,
         Raw{REG_DWORD, {0x91, 0, 0, 0}}},
        {kText255, L"D:(A;;KR;;;WD)", Choice::kDisable, kRefused, kText255.value},
        {kOffStart, L"D:(A;;KR;;;WD)", Choice::kDisable, kConfirmed, kDword255},
        {kOffStart, L"D:(A;;KR;;;WD)", Choice::kRestore, kRefused, kDword255},
        {kNoValue, L"D:(A;;KR;;;WD)", Choice::kRestore, kConfirmed, {}},
        {kOffStart, L"D:", Choice::kRestore, kRefused, kDword255},
        {kNoValue, L"D:(A;;KW;;;WD)", Choice::kDisable, kNotConfirmed, kDword255},
    };
    for (const auto& c : cases) {
        Prepare(c.start);
        SetPolicyDacl(c.dacl);
        const auto outcome = policy::RunAutorunSwitch(routines, watch, c.choice);
        SetPolicyDacl(L"D:(A;;KA;;;WD)");
        EXPECT_EQ(c.verdict, outcome.verdict) << policy::StatusLine(outcome.now);
        EXPECT_EQ(c.after, Read(HKEY_LOCAL_MACHINE, kPolicy, kName));
    }
}

// What the routines read (numbers from REG_DWORD, text up to the first NUL from REG_SZ, nothing
// else) and what the setting makes of the same value.
TEST_F(WineRegistry, ReadingThePolicyValueWithTheRoutinesAndAsTheSetting) {
    const std::string cut(policy::kShownLength, 'x');
    const std::string none;
    const struct {
        DWORD type;
        Bytes data;
        Variant read;
        policy::SettingKind kind;
        std::string shown;
    } cases[] = {
        {REG_DWORD, {0xFF, 0, 0, 0}, std::int32_t{255}, kOff, "0xff"},
        {REG_DWORD, {0x91, 0, 0, 0}, std::int32_t{0x91}, kOther, "0x91"},
        {REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, std::int32_t{-1}, kOther, "0xffffffff"},
        {REG_DWORD, {0xFF, 0}, none, kOther, "ff 00"},
        {REG_DWORD, {0xFF, 0, 0, 0, 0, 0, 0, 1}, none, kOther, "ff 00 00 00 00 00 00 01"},
        {REG_QWORD, {0xFF, 0, 0, 0, 0, 0, 0, 0}, none, kOther, "ff 00 00 00 00 00 00 00"},
        {REG_BINARY, {1, 2}, none, kOther, "01 02"},
        {REG_NONE, {}, none, kOther, ""},
        {REG_EXPAND_SZ, {'%', 'x', '%', 0}, none, kOther, "\"%x%\""},
        {REG_SZ, {'2', '5', '5', 0}, std::string("255"), kOther, "\"255\""},
        {REG_SZ, {'a', '\t', 0xE9, 0, 'b', 0}, std::string("a\t\u00e9"), kOther, "\"a?\u00e9\""},
        {REG_SZ, {'a', 'b', 'c'}, std::string("abc"), kOther, "\"abc\""},
        {REG_SZ, {}, none, kOther, "\"\""},
        {REG_SZ, Bytes(cut.begin(), cut.end()), cut, kOther, '"' + cut + '"'},
        {REG_SZ, Bytes(100000, 'x'), std::string(100000, 'x'), kOther, '"' + cut + "...\""},
    };
    for (const auto& c : cases) {
        Prepare(Holding(c.type, c.data));
        EXPECT_EQ(c.read, routines.regQuery_A_Key(kHklm, kPolicy, kName)) << c.shown;
        const policy::Setting s = policy::ReadSetting(real);
        EXPECT_EQ(c.kind, s.kind) << c.shown;
        EXPECT_EQ(c.type, s.type) << c.shown;
        EXPECT_EQ(c.shown, s.data);
    }
    // Text as stored, through no code page: fullwidth digits are not "255", and a list shows
    // the bytes it holds.
    Prepare(kNoValue);
    const std::wstring name(kName.begin(), kName.end());
    const std::wstring key(kPolicy.begin(), kPolicy.end());
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), REG_SZ, L"\uff12\uff15\uff15",
                    8);
    EXPECT_EQ("\"\uff12\uff15\uff15\"", policy::ReadSetting(real).data);
    EXPECT_EQ(Variant(std::string("\uff12\uff15\uff15")),
              routines.regQuery_A_Key(kHklm, kPolicy, kName));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), REG_MULTI_SZ, L"\u00e9\0", 6);
    EXPECT_EQ("e9 00 00 00 00 00", policy::ReadSetting(real).data);
    for (const Start& absent : {kNoValue, kNoKey}) {
        Prepare(absent);
        EXPECT_EQ(Variant(none), routines.regQuery_A_Key(kHklm, kPolicy, kName));
        EXPECT_EQ(kDefault, policy::ReadSetting(real).kind);
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, routines.lngRegResult);  // handle 0 was closed
    // A key that opens but cannot be read is neither the default nor another setting.
    Prepare(kOffStart);
    SetPolicyDacl(L"D:");
    EXPECT_EQ("unreadable: access denied (5)", policy::StatusLine(policy::ReadSetting(real)));
}

}  // namespace
