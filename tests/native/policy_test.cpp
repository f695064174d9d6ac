// What the registry layer cannot show on Wine, and the texts made from a setting.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include <native/fake_registry.h>
#include <policy/autorun_switch.h>
#include <policy/registry_routines.h>
#include <policy/setting.h>

namespace {

using policy::Choice;
using policy::Setting;
using policy::SettingKind;

// An open may answer a code and still give a handle; the key is then there and must be closed.
TEST(RegistryRoutines, TheHandleDecidesNotTheCode) {
    testing_support::FakeRegistry api;
    api.Hold(api.kExplorer, "", "key", 0);
    api.openAnswers = portable::kErrorAccessDenied;
    policy::RegistryRoutines routines{api};
    EXPECT_TRUE(routines.regDoes_Key_Exist(portable::kHKeyLocalMachine, api.kExplorer));
    EXPECT_TRUE(api.AllClosed());
}

// Each call in turn failing, with each code a real registry gives: the switch reports a change
// only when the registry holds it, and a refusal only when a change was refused; it touches no
// other value and leaves no key open. The setting is the default only when the failure was "not
// found", and as if nothing failed when only the close did.
TEST(RegistryFaults, TheSwitchAndTheSettingReportWhatIsThereWhicheverCallFails) {
    using R = testing_support::FakeRegistry;
    const auto held = [](const R& r) -> std::optional<std::pair<std::uint32_t, R::Bytes>> {
        const auto key = r.keys.find(R::kExplorer);
        if (key == r.keys.end() || !key->second.contains("NoDriveTypeAutoRun")) return {};
        return key->second.at("NoDriveTypeAutoRun");
    };
    const auto holding = [](const char* start) {
        R r;
        r.Hold(R::kExplorer, "NoDriveTypeAutoRun", start, 0);
        if (*start) r.Hold(R::kExplorer, "Unrelated", "dword 7", 0);
        return r;
    };
    for (const char* start : {"", "key", "dword 255", "dword 145", "text 255", "short 255"}) {
        R clean = holding(start);
        const SettingKind intact = policy::ReadSetting(clean).kind;
        for (const std::int32_t code : {portable::kErrorAccessDenied, portable::kErrorFileNotFound,
                                        portable::kErrorInvalidHandle}) {
            for (int at = 0, failures = 1; failures > 0; ++at) {
                SCOPED_TRACE(std::string(start) + ": call " + std::to_string(at) + " fails with " +
                             std::to_string(code));
                failures = 0;
                for (const Choice choice : {Choice::kDisable, Choice::kRestore}) {
                    R r = holding(start);
                    r.failCall = at;
                    r.failWith = code;
                    policy::ChangeWatch watch{r};
                    policy::RegistryRoutines routines{watch};
                    const auto verdict = policy::RunAutorunSwitch(routines, watch, choice).verdict;
                    failures += !r.failed.empty();
                    if (verdict == policy::Verdict::kConfirmed) {
                        EXPECT_EQ(
                            choice == Choice::kDisable ? held(holding("dword 255")) : std::nullopt,
                            held(r));
                    } else {
                        EXPECT_FALSE(r.failed.empty()) << "nothing failed, yet not confirmed";
                    }
                    if (verdict == policy::Verdict::kRefused) {
                        EXPECT_EQ(portable::kErrorAccessDenied, code);
                        EXPECT_TRUE(r.failed == "Create" || r.failed == "Change" ||
                                    r.failed == "Open")
                            << r.failed;
                    }
                    if (choice == Choice::kRestore) {
                        EXPECT_EQ(*start != 0, r.keys.contains(R::kExplorer));
                    }
                    EXPECT_EQ(*start != 0, r.keys[R::kExplorer].contains("Unrelated"));
                    EXPECT_TRUE(r.AllClosed());
                }
                R r = holding(start);
                r.failCall = at;
                r.failWith = code;
                const SettingKind kind = policy::ReadSetting(r).kind;
                failures += !r.failed.empty();
                EXPECT_EQ(r.failed.empty() || r.failed == "Close" ? intact
                          : code == portable::kErrorFileNotFound  ? SettingKind::kDefault
                                                                  : SettingKind::kUnreadable,
                          kind)
                    << r.failed;
                EXPECT_TRUE(r.AllClosed());
            }
        }
    }
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
