// What the registry layer cannot show on Wine, and the texts made from a setting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <native/mock_registry.h>
#include <policy/registry_routines.h>
#include <policy/setting.h>

namespace {

using policy::Setting;
using policy::SettingKind;
using testing::_;
using testing::DoAll;
using testing::Return;
using testing::SetArgPointee;

// An open may answer a code and still give a handle; the key is then there and must be closed.
TEST(RegistryRoutines, TheHandleDecidesNotTheCode) {
    testing::StrictMock<testing_support::MockRegistry> api;
    EXPECT_CALL(api, OpenKey(_, _, _))
        .WillOnce(DoAll(SetArgPointee<2>(0x40), Return(portable::kErrorAccessDenied)));
    EXPECT_CALL(api, CloseKey(0x40)).WillOnce(Return(0));
    policy::RegistryRoutines routines{api};
    EXPECT_TRUE(routines.regDoes_Key_Exist(portable::kHKeyLocalMachine, "Software"));
}

// "255" as text reads perfectly well: it is another setting, not an unreadable one; only a failed
// read is unreadable.
TEST(SettingTexts, WindowLabelAndStatusLine) {
    using enum SettingKind;
    const std::vector<std::tuple<Setting, std::string, std::string>> cases = {
        {{kOff, 4, "0xff"}, "Now: AutoRun is off on all drives.", "off"},
        {{kDefault}, "Now: Windows default.", "default"},
        {{kOther, 4, "0x91"}, "Now: another setting (0x91).", "other REG_DWORD 0x91"},
        {{kOther, 4, "ff 00"}, "Now: another setting (REG_DWORD ff 00).", "other REG_DWORD ff 00"},
        {{kOther, 1, "\"255\""}, "Now: another setting (REG_SZ \"255\").", "other REG_SZ \"255\""},
        {{kOther, 3, "01 02"},
         "Now: another setting (REG_BINARY 01 02).",
         "other REG_BINARY 01 02"},
        {{kOther, 11, "ff 00"}, "Now: another setting (REG_QWORD ff 00).", "other REG_QWORD ff 00"},
        {{kOther, 0, ""}, "Now: another setting (REG_NONE).", "other REG_NONE"},
        {{kOther, 42, "01"}, "Now: another setting (type 42 01).", "other type 42 01"},
        {{kUnreadable, 0, "", 5}, "Now: an unreadable setting.", "unreadable: access denied (5)"},
        {{kUnreadable, 0, "", 4242}, "Now: an unreadable setting.", "unreadable: error (4242)"},
    };
    for (const auto& [setting, window, status] : cases) {
        EXPECT_EQ(window, policy::WindowText(setting)) << status;
        EXPECT_EQ(status, policy::StatusLine(setting));
    }
}

}  // namespace
