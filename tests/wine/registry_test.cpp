// The registry routines and the switch against Wine's real registry, each test in its own
// prefix (see tests/support/wine-run.sh), so the machine-wide policy key can be used for real.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "win32/scoped_handles.h"
#include "win32/win32_registry.h"
#include "policy/autorun_switch.h"
#include "policy/registry_routines.h"

namespace {

using portable::kHKeyCurrentUser;
using portable::kHKeyLocalMachine;
using portable::Variant;
using win32::ScopedHkey;

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

RawValue ReadRaw(HKEY root, const std::string& path, const std::string& name) {
    ScopedHkey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
    RawValue v;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &v.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    v.data.resize(size);
    RegQueryValueExA(key.Get(), name.c_str(), nullptr, &v.type, v.data.data(), &size);
    v.data.resize(size);
    return v;
}

void WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::vector<BYTE>& data) {
    ScopedHkey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             key.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), name.c_str(), 0, type, data.data(),
                                            static_cast<DWORD>(data.size())));
}

bool KeyExists(HKEY root, const std::string& path) {
    ScopedHkey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

// Every key and value below a root, flattened: "path|name" -> type and bytes.
void Snapshot(HKEY key, const std::string& path, std::map<std::string, RawValue>& out,
              std::vector<BYTE>& data) {
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        out[path + "|" + name] = {type, {data.begin(), data.begin() + size}};
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string child = path + "\\" + name;
        out[child + "|<key>"] = {};
        ScopedHkey sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, sub.Receive()) == ERROR_SUCCESS) {
            Snapshot(sub.Get(), child, out, data);
        }
    }
}

std::map<std::string, RawValue> SnapshotRegistry() {
    std::map<std::string, RawValue> all;
    std::vector<BYTE> buffer(1 << 20);
    Snapshot(HKEY_LOCAL_MACHINE, "HKLM", all, buffer);
    Snapshot(HKEY_CURRENT_USER, "HKCU", all, buffer);
    return all;
}

// What changed, sorted. The policy key is shared between the 64-bit and 32-bit views, so a
// change seen through Wow6432Node is the same change and is counted once.
std::vector<std::string> Differences(const std::map<std::string, RawValue>& before,
                                     const std::map<std::string, RawValue>& after) {
    std::set<std::string> diff;
    const auto add = [&diff](std::string k) {
        const std::string alias = "\\Wow6432Node";
        if (const auto at = k.find(alias); at != std::string::npos) k.erase(at, alias.size());
        diff.insert(k);
    };
    for (const auto& [k, v] : before) {
        const auto it = after.find(k);
        if (it == after.end() || !(it->second == v)) add(k);
    }
    for (const auto& [k, v] : after) {
        if (!before.count(k)) add(k);
    }
    return {diff.begin(), diff.end()};
}

class RealRegistryTest : public testing::Test {
  protected:
    const std::string sandbox = "Software\\Tessaro Tests";
    win32::Win32Registry api;
    policy::RegistryRoutines routines{api};

    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, sandbox.c_str()); }
    std::string Path(const std::string& rest) const { return sandbox + "\\" + rest; }
    Variant Query(const std::string& name) {
        return routines.regQuery_A_Key(kHKeyCurrentUser, sandbox, name);
    }
};

TEST_F(RealRegistryTest, KeyTestsCloseHandleZeroAfterAFailedOpen) {
    EXPECT_FALSE(routines.regDoes_Key_Exist(kHKeyCurrentUser, Path("missing")));
    EXPECT_EQ(ERROR_INVALID_HANDLE, routines.lngRegResult);

    routines.regCreate_A_Key(kHKeyCurrentUser, Path("a\\b\\c"));
    EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("a\\b\\c")));
    EXPECT_TRUE(routines.regDoes_Key_Exist(kHKeyCurrentUser, Path("a\\b")));
    EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);
}

TEST_F(RealRegistryTest, WritesNumbersAsDwordsAndTextTrimmedWithOneNul) {
    // The value's key path is created with every missing level.
    routines.regCreate_Key_Value(kHKeyCurrentUser, Path("x\\y"), "n", std::int16_t{255});
    EXPECT_EQ((RawValue{REG_DWORD, {0xFF, 0, 0, 0}}),
              ReadRaw(HKEY_CURRENT_USER, Path("x\\y"), "n"));
    EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);

    const std::pair<Variant, RawValue> cases[] = {
        {std::string("12"), {REG_DWORD, {12, 0, 0, 0}}},
        {std::string("2.5"), {REG_DWORD, {2, 0, 0, 0}}},
        {std::string("3.5"), {REG_DWORD, {4, 0, 0, 0}}},
        {std::int32_t{-2}, {REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}}},
        {std::string("  abc "), {REG_SZ, {'a', 'b', 'c', 0}}},
    };
    for (const auto& [data, expected] : cases) {
        routines.regCreate_Key_Value(kHKeyCurrentUser, sandbox, "v", data);
        EXPECT_EQ(expected, ReadRaw(HKEY_CURRENT_USER, sandbox, "v")) << portable::ToText(data);
    }
}

TEST_F(RealRegistryTest, ReadsDwordsAndTextAndNothingElse) {
    WriteRaw(HKEY_CURRENT_USER, sandbox, "dword", REG_DWORD, {0xFF, 0, 0, 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "negative", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "text", REG_SZ, {'a', 'b', 'c', 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "no nul", REG_SZ, {'a', 'b', 'c'});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "inner nul", REG_SZ, {'a', 'b', 0, 'c', 'd', 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "expand", REG_EXPAND_SZ, {'%', 'x', '%', 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "binary", REG_BINARY, {0xFF, 0, 0, 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});

    EXPECT_EQ(Variant(std::int32_t{255}), Query("dword"));
    EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);
    EXPECT_EQ(Variant(std::int32_t{-1}), Query("negative"));
    EXPECT_EQ(Variant(std::string("abc")), Query("text"));
    EXPECT_EQ(Variant(std::string("abc")), Query("no nul"));
    EXPECT_EQ(Variant(std::string("ab")), Query("inner nul"));
    for (const char* name : {"expand", "binary", "multi", "missing"}) {
        EXPECT_EQ(Variant(std::string()), Query(name)) << name;
    }
    EXPECT_EQ(Variant(std::string()),
              routines.regQuery_A_Key(kHKeyCurrentUser, Path("missing"), "dword"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, routines.lngRegResult);
}

TEST_F(RealRegistryTest, ReadsAVeryLongTextValue) {
    std::vector<BYTE> text(100000, 'q');
    text.push_back(0);
    WriteRaw(HKEY_CURRENT_USER, sandbox, "long", REG_SZ, text);
    EXPECT_EQ(Variant(std::string(100000, 'q')), Query("long"));
}

TEST_F(RealRegistryTest, DeletesValuesAndSubkeys) {
    WriteRaw(HKEY_CURRENT_USER, sandbox, "gone", REG_DWORD, {1, 0, 0, 0});
    WriteRaw(HKEY_CURRENT_USER, sandbox, "kept", REG_DWORD, {1, 0, 0, 0});
    routines.regDelete_Sub_Key(kHKeyCurrentUser, sandbox, "gone");
    EXPECT_EQ(RawValue{}, ReadRaw(HKEY_CURRENT_USER, sandbox, "gone"));
    EXPECT_EQ(REG_DWORD, ReadRaw(HKEY_CURRENT_USER, sandbox, "kept").type);
    EXPECT_EQ(ERROR_SUCCESS, routines.lngRegResult);

    routines.regCreate_A_Key(kHKeyCurrentUser, Path("child"));
    EXPECT_TRUE(routines.regDelete_A_Key(kHKeyCurrentUser, sandbox, "child"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("child")));
    EXPECT_FALSE(routines.regDelete_A_Key(kHKeyCurrentUser, sandbox, "child"));
    EXPECT_FALSE(routines.regDelete_A_Key(kHKeyCurrentUser, Path("missing"), "child"));
    // A key with subkeys of its own is not deleted.
    routines.regCreate_A_Key(kHKeyCurrentUser, Path("parent\\child"));
    EXPECT_FALSE(routines.regDelete_A_Key(kHKeyCurrentUser, sandbox, "parent"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("parent\\child")));
}

class PolicySwitchOnRealRegistry : public testing::Test {
  protected:
    const std::string keyPath = policy::kPolicyKeyPath;
    const std::string valueName = policy::kPolicyValueName;
    win32::Win32Registry api;
    policy::RegistryRoutines routines{api};
    int shown = 0;
    int ended = 0;

    void Run(policy::Choice choice) {
        policy::RunAutorunSwitch(routines, choice,
                                 {[this](const std::string&) { ++shown; }, [this] { ++ended; }});
    }
    void TearDown() override {
        ScopedHkey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, key.Receive()) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key.Get(), valueName.c_str());
        }
    }
};

TEST_F(PolicySwitchOnRealRegistry, DisableStoresDword255AndChangesNothingElse) {
    const auto before = SnapshotRegistry();
    Run(policy::Choice::kDisable);
    EXPECT_EQ(1, shown);
    EXPECT_EQ(1, ended);
    EXPECT_EQ((RawValue{REG_DWORD, {0xFF, 0, 0, 0}}),
              ReadRaw(HKEY_LOCAL_MACHINE, keyPath, valueName));
    std::vector<std::string> expected{"HKLM\\" + keyPath + "|" + valueName};
    if (!before.count("HKLM\\" + keyPath + "|<key>")) {
        expected.push_back("HKLM\\" + keyPath + "|<key>");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, Differences(before, SnapshotRegistry()));
}

TEST_F(PolicySwitchOnRealRegistry, RestoreRemovesTheValueAndChangesNothingElse) {
    WriteRaw(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_DWORD, {0x91, 0, 0, 0});
    const auto before = SnapshotRegistry();
    Run(policy::Choice::kRestore);
    EXPECT_EQ(1, shown);
    EXPECT_EQ(1, ended);
    EXPECT_EQ(RawValue{}, ReadRaw(HKEY_LOCAL_MACHINE, keyPath, valueName));
    EXPECT_EQ(std::vector<std::string>{"HKLM\\" + keyPath + "|" + valueName},
              Differences(before, SnapshotRegistry()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, keyPath));
}

TEST_F(PolicySwitchOnRealRegistry, RestoreWithoutTheValueStillReports) {
    Run(policy::Choice::kRestore);
    EXPECT_EQ(1, shown);
    EXPECT_EQ(1, ended);
}

// Whatever another program left under the policy name, of any type and size, both choices must
// end with the policy really set or really gone.
TEST_F(PolicySwitchOnRealRegistry, OddValuesUnderThePolicyNameAreReplacedOrRemoved) {
    std::vector<BYTE> longText(100000, 'x');
    longText.push_back(0);
    const std::pair<const char*, RawValue> odd[] = {
        {"dword of 2 bytes", {REG_DWORD, {0xFF, 0}}},
        {"dword of 8 bytes", {REG_DWORD, {0xFF, 0, 0, 0, 0, 0, 0, 0}}},
        {"qword", {REG_QWORD, {0xFF, 0, 0, 0, 0, 0, 0, 0}}},
        {"text of 100000 characters", {REG_SZ, longText}},
        {"text 255", {REG_SZ, {'2', '5', '5', 0}}},
        {"expandable text", {REG_EXPAND_SZ, {'2', '5', '5', 0}}},
        {"binary", {REG_BINARY, {0xFF, 0, 0, 0}}},
        {"multi text", {REG_MULTI_SZ, {'a', 0, 0}}},
        {"none", {REG_NONE, {}}},
        {"big-endian dword", {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 0xFF}}},
    };
    for (const auto& [what, value] : odd) {
        SCOPED_TRACE(what);
        WriteRaw(HKEY_LOCAL_MACHINE, keyPath, valueName, value.type, value.data);
        shown = ended = 0;
        Run(policy::Choice::kDisable);
        EXPECT_EQ((RawValue{REG_DWORD, {0xFF, 0, 0, 0}}),
                  ReadRaw(HKEY_LOCAL_MACHINE, keyPath, valueName));
        EXPECT_EQ(1, shown);

        WriteRaw(HKEY_LOCAL_MACHINE, keyPath, valueName, value.type, value.data);
        shown = ended = 0;
        Run(policy::Choice::kRestore);
        EXPECT_EQ(RawValue{}, ReadRaw(HKEY_LOCAL_MACHINE, keyPath, valueName));
        EXPECT_EQ(1, shown);
    }
}

}  // namespace
