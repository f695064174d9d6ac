// /audit, /harden and /unharden over the three AutoPlay controls: each control's line, the
// summary that comes last, and the exit code a remediation script acts on.
#include <gtest/gtest.h>

#include <string>

#include <native/fake_registry.h>
#include <policy/command_line.h>

namespace {

using enum policy::Command;
using R = testing_support::FakeRegistry;

void HardenAll(R& r) {
    r.Hold(R::kExplorer, "NoDriveTypeAutoRun", "dword 255", 0);
    r.Hold(R::kExplorer, "NoAutorun", "dword 1", 0);
    r.Hold(R::kPolicies, "NoAutoplayfornonVolume", "dword 1", 0);
}

// One control out of place at a time: its line ends in its word and the code follows; how a
// value is shown is pinned with the setting's texts. Lines sharing an unreadable key say so too.
TEST(AutoPlayAudit, EachControlOutOfPlaceGivesItsLineAndTheCode) {
    const struct {
        const char* key;
        const char* name;
        const char* holds;
        int how;
        int code;
        std::string output;
    } cases[] = {
        {R::kExplorer, "NoDriveTypeAutoRun", "short 255", 0, 1,
         "NoDriveTypeAutoRun REG_DWORD ff 00 finding\n"},
        {R::kExplorer, "NoAutorun", "text 1", 0, 1, "NoAutorun REG_SZ \"1\" finding\n"},
        {R::kExplorer, "NoAutorun", "dword 1", R::kRead, 3,
         "NoDriveTypeAutoRun access denied (5) unreadable\n"
         "NoAutorun access denied (5) unreadable\n"},
        {R::kPolicies, "NoAutoplayfornonVolume", "key", 0, 1,
         "NoAutoplayfornonVolume absent finding\n"},
        {R::kPolicies, "NoAutoplayfornonVolume", "dword 2", 0, 1,
         "NoAutoplayfornonVolume REG_DWORD 0x2 finding\n"},
    };
    for (const auto& c : cases) {
        R registry;
        HardenAll(registry);
        registry.keys[c.key].erase(c.name);
        registry.Hold(c.key, c.name, c.holds, c.how);
        const auto result = policy::RunCommand(kAudit, registry);
        EXPECT_NE(std::string::npos, result.output.find(c.output)) << result.output;
        EXPECT_NE(std::string::npos, result.output.find("\nAutoPlay: ")) << result.output;
        EXPECT_EQ(c.code, result.exitCode) << c.output;
    }
}

TEST(AutoPlayAudit, AllInPlaceIsZeroAndTheSummaryNamesTheOthers) {
    R registry;
    HardenAll(registry);
    auto result = policy::RunCommand(kAudit, registry);
    EXPECT_EQ(0, result.exitCode);
    EXPECT_TRUE(result.output.ends_with("ok\nAutoPlay: 3 of 3 controls in place"));
    registry.keys.erase(R::kExplorer);  // a missing key: two findings
    registry.refuseReading.insert(R::kPolicies);
    result = policy::RunCommand(kAudit, registry);
    EXPECT_EQ(3, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun absent finding\nNoAutorun absent finding\n"
        "NoAutoplayfornonVolume access denied (5) unreadable\n"
        "AutoPlay: 0 of 3 controls in place; not: NoDriveTypeAutoRun, NoAutorun, "
        "NoAutoplayfornonVolume",
        result.output);
}

// A key that refuses changes: its controls are named, the others are still done, and the code says
// refused whichever control it was. (Windows' refusal itself is shown under real DACLs in
// tests/wine.)
TEST(AutoPlayHarden, ARefusedKeyIsNamedAndTheOthersAreStillDone) {
    const struct {
        policy::Command command;
        const char* refusing;
        std::string ending;
    } cases[] = {
        {kHarden, R::kPolicies,
         "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
         "NoAutoplayfornonVolume absent refused\n"
         "AutoPlay: 2 of 3 controls in place; not: NoAutoplayfornonVolume; refused: run "
         "tessaro.exe /harden as administrator"},
        {kUnharden, R::kExplorer,
         "\nNoAutoplayfornonVolume absent ok\nAutoPlay: 1 of 3 controls removed; not: "
         "NoDriveTypeAutoRun, NoAutorun; refused: run tessaro.exe /unharden as administrator"},
    };
    for (const auto& c : cases) {
        R registry;
        if (c.command == kUnharden) HardenAll(registry);
        registry.refuseChanging.insert(c.refusing);
        const auto result = policy::RunCommand(c.command, registry);
        EXPECT_EQ(5, result.exitCode) << result.output;
        EXPECT_TRUE(result.output.ends_with(c.ending)) << result.output;
    }
}

// Values put back at once, which Wine cannot show.
TEST(AutoPlayHarden, TwiceChangesNothingAndAValuePutBackIsNotConfirmed) {
    R registry;
    registry.Hold(R::kExplorer, "NoAutorun", "text 1", 0);
    registry.Hold(R::kExplorer, "Sibling", "dword 7", 0);
    const auto sibling = registry.keys[R::kExplorer]["Sibling"];
    policy::CommandResult result;
    for (int run = 0; run < 2; ++run) {  // a second run changes nothing and still succeeds
        result = policy::RunCommand(kHarden, registry);
        EXPECT_EQ(0, result.exitCode) << result.output;
        EXPECT_TRUE(result.output.ends_with("\nAutoPlay: 3 of 3 controls in place"));
    }

    registry.changesUndone = true;  // a policy agent puts every value back at once
    result = policy::RunCommand(kUnharden, registry);
    EXPECT_EQ(1, result.exitCode);
    EXPECT_TRUE(result.output.starts_with("NoDriveTypeAutoRun REG_DWORD 0xff not confirmed\n"));
    registry.changesUndone = false;
    registry.Hold(R::kPolicies, "NoAutoplayfornonVolume", "text anything", 0);
    result = policy::RunCommand(kUnharden, registry);
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun absent ok\nNoAutorun absent ok\nNoAutoplayfornonVolume absent ok\n"
        "AutoPlay: 3 of 3 controls removed",
        result.output);
    EXPECT_EQ(1u, registry.keys[R::kExplorer].size());
    EXPECT_EQ(sibling, registry.keys[R::kExplorer]["Sibling"]);
    EXPECT_TRUE(registry.AllClosed());
}

}  // namespace
