// What the registry layer cannot show on Wine, and the texts made from a setting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "mock_registry.h"
#include "policy/registry_routines.h"
#include "policy/setting.h"

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

TEST(SettingTexts, WindowLabelAndStatusLine) {
    using enum SettingKind;
    const std::string unreadable = "Now: an unreadable setting.";
    const std::vector<std::tuple<Setting, std::string, std::string>> cases = {
        {{kOff, 4, "0xff"}, "Now: AutoRun is off on all drives.", "off"},
        {{kDefault, 0, ""}, "Now: Windows default.", "default"},
        {{kOther, 4, "0x91"}, "Now: another setting (0x91).", "other REG_DWORD 0x91"},
        {{kOther, 4, "ff 00"}, unreadable, "other REG_DWORD ff 00"},
        {{kOther, 1, "255"}, unreadable, "other REG_SZ 255"},
        {{kOther, 3, "01 02"}, unreadable, "other REG_BINARY 01 02"},
        {{kOther, 11, "ff 00"}, unreadable, "other REG_QWORD ff 00"},
        {{kOther, 0, ""}, unreadable, "other REG_NONE"},
        {{kOther, 0, "(error 5)"}, unreadable, "other REG_NONE (error 5)"},
        {{kOther, 42, "01"}, unreadable, "other type 42 01"},
    };
    for (const auto& [setting, window, status] : cases) {
        EXPECT_EQ(window, policy::WindowText(setting)) << status;
        EXPECT_EQ(status, policy::StatusLine(setting));
    }
}

}  // namespace
