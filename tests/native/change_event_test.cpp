// What an event says about a change: the twelve insertion strings in their order, and the value
// before exactly enough for `reg add` to put it back.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <policy/change_event.h>

namespace {

using policy::Setting;
using enum policy::SettingKind;

TEST(ChangeEvent, InsertionStringsInTheMessagesOrder) {
    const policy::ChangeRecord record{&policy::kNoDriveTypeAutoRun,
                                      {kOther, 4, "0xb5", 0, {0xb5, 0, 0, 0}},
                                      {kOther, 4, "0x91"},
                                      policy::Logged::kOverruled,
                                      policy::Via::kRaisedFromWindow,
                                      "Group Policy \"Baseline\" sets REG_DWORD 0x91"};
    const std::vector<std::string> expected = {
        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
        "NoDriveTypeAutoRun",
        "REG_DWORD 0xb5",
        "REG_DWORD 0x91",
        "overruled by Group Policy",
        "raised from the window",
        "PC\\ann",
        "S-1-5-21-1-2-3-1001",
        "C:\\Tools\\tessaro.exe",
        "4242",
        "Group Policy \"Baseline\" sets REG_DWORD 0x91",
        "REG_DWORD 0xb5"};
    EXPECT_EQ(expected, policy::EventStrings(record, {"PC\\ann", "S-1-5-21-1-2-3-1001",
                                                      "C:\\Tools\\tessaro.exe", 4242}));
}

// What is shown of a value is short and escaped; what is kept to put it back is all of it.
TEST(ChangeEvent, TheValueBeforeExactly) {
    const std::vector<std::uint8_t> long17(17, 0x61);
    const std::vector<std::pair<Setting, std::string>> cases = {
        {{kOff, 4, "0xff", 0, {0xff, 0, 0, 0}}, "REG_DWORD 0xff"},
        {{kDefault}, "absent"},
        {{kUnreadable, 0, "", 5}, "access denied (5)"},
        {{kOther, 1, "\"\xef\xbc\x92\"", 0, {0x12, 0xff, 0, 0}}, "REG_SZ 12 ff 00 00"},
        {{kOther, 4, "ff 00", 0, {0xff, 0}}, "REG_DWORD ff 00"},
        {{kOther, 3, "61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61...", 0, long17},
         "REG_BINARY 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61"},
    };
    for (const auto& [setting, exactly] : cases) {
        EXPECT_EQ(exactly, policy::Exactly(setting)) << policy::Holds(setting);
    }
}

}  // namespace
