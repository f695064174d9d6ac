// /audit, /harden and /unharden over the three AutoPlay controls: each control's line, the
// summary that comes last, and the exit code a remediation script acts on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_registry.h"
#include "policy/command_line.h"

namespace {

using policy::Command;
using testing_support::FakeRegistry;
using Value = FakeRegistry::Value;

constexpr const char* kExplorer =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kPolicies = "Software\\Policies\\Microsoft\\Windows\\Explorer";

struct Control {
    const char* key;
    const char* name;
    std::uint32_t inPlace;
};
constexpr Control kControls[] = {{kExplorer, "NoDriveTypeAutoRun", 255},
                                 {kExplorer, "NoAutorun", 1},
                                 {kPolicies, "NoAutoplayfornonVolume", 1}};

void HardenAll(FakeRegistry& r) {
    for (const Control& c : kControls) r.keys[c.key][c.name] = FakeRegistry::Dword(c.inPlace);
}

TEST(AutoPlayAudit, EachControlOutOfPlaceGivesItsLineAndTheCode) {
    const struct {
        const char* what;
        void (*spoil)(FakeRegistry&, const Control&);
        std::string (*holds)(const Control&);
        const char* word;
        int code;
    } cases[] = {
        {"absent", [](FakeRegistry& r, const Control& c) { r.keys[c.key].erase(c.name); },
         [](const Control&) { return std::string("absent"); }, "finding", 1},
        {"another number",
         [](FakeRegistry& r, const Control& c) { r.keys[c.key][c.name] = FakeRegistry::Dword(0); },
         [](const Control&) { return std::string("REG_DWORD 0x0"); }, "finding", 1},
        {"text",
         [](FakeRegistry& r, const Control& c) {
             r.keys[c.key][c.name] = FakeRegistry::Text(std::to_string(c.inPlace));
         },
         [](const Control& c) { return "REG_SZ \"" + std::to_string(c.inPlace) + "\""; }, "finding",
         1},
        {"two bytes",
         [](FakeRegistry& r, const Control& c) {
             r.keys[c.key][c.name] = Value{4, {static_cast<std::uint8_t>(c.inPlace), 0}};
         },
         [](const Control& c) {
             return std::string(c.inPlace == 255 ? "REG_DWORD ff 00" : "REG_DWORD 01 00");
         },
         "finding", 1},
        {"unreadable", [](FakeRegistry& r, const Control& c) { r.refuseReading.insert(c.key); },
         [](const Control&) { return std::string("access denied (5)"); }, "unreadable", 3},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < std::size(kControls); ++i) {
            FakeRegistry registry;
            HardenAll(registry);
            c.spoil(registry, kControls[i]);
            const auto result = policy::RunCommand(Command::kAudit, registry);
            SCOPED_TRACE(std::string(kControls[i].name) + " " + c.what + "\n" + result.output);
            std::vector<std::string> lines;
            for (std::size_t at = 0, end; at <= result.output.size(); at = end + 1) {
                end = result.output.find('\n', at);
                if (end == std::string::npos) end = result.output.size();
                lines.push_back(result.output.substr(at, end - at));
            }
            ASSERT_EQ(4u, lines.size());
            EXPECT_EQ(std::string(kControls[i].name) + " " + c.holds(kControls[i]) + " " + c.word,
                      lines[i]);
            EXPECT_TRUE(lines[3].starts_with("AutoPlay: ")) << lines[3];
            EXPECT_EQ(c.code, result.exitCode);
        }
    }
}

TEST(AutoPlayAudit, AllInPlaceIsZeroAndAnUnreadableControlOutranksAFinding) {
    FakeRegistry registry;
    HardenAll(registry);
    auto result = policy::RunCommand(Command::kAudit, registry);
    EXPECT_EQ(0, result.exitCode);
    EXPECT_TRUE(result.output.ends_with("\nAutoPlay: 3 of 3 controls in place"));
    registry.keys.erase(kExplorer);  // a missing key: two findings
    registry.refuseReading.insert(kPolicies);
    result = policy::RunCommand(Command::kAudit, registry);
    EXPECT_EQ(3, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun absent finding\nNoAutorun absent finding\n"
        "NoAutoplayfornonVolume access denied (5) unreadable\n"
        "AutoPlay: 0 of 3 controls in place; not: NoDriveTypeAutoRun, NoAutorun, "
        "NoAutoplayfornonVolume",
        result.output);
}

TEST(AutoPlayHarden, EachControlStandsOnItsOwnAndNothingElseIsTouched) {
    FakeRegistry registry;
    registry.keys[kExplorer]["NoAutorun"] = FakeRegistry::Text("1");
    registry.keys[kExplorer]["Sibling"] = FakeRegistry::Dword(7);
    registry.refuseChanging.insert(kPolicies);  // a key that cannot be created here
    auto result = policy::RunCommand(Command::kHarden, registry);
    EXPECT_EQ(5, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun REG_DWORD 0xff ok\nNoAutorun REG_DWORD 0x1 ok\n"
        "NoAutoplayfornonVolume absent refused\n"
        "AutoPlay: 2 of 3 controls in place; not: NoAutoplayfornonVolume; refused: run "
        "tessaro.exe /harden as administrator",
        result.output);
    EXPECT_EQ(3u, registry.keys[kExplorer].size());
    EXPECT_EQ(FakeRegistry::Dword(7).data, registry.keys[kExplorer]["Sibling"].data);

    registry.refuseChanging.clear();
    for (int run = 0; run < 2; ++run) {  // a second run changes nothing and still succeeds
        result = policy::RunCommand(Command::kHarden, registry);
        EXPECT_EQ(0, result.exitCode) << result.output;
        EXPECT_TRUE(result.output.ends_with("\nAutoPlay: 3 of 3 controls in place"));
    }

    registry.changesUndone = true;  // a policy agent puts every value back at once
    result = policy::RunCommand(Command::kUnharden, registry);
    EXPECT_EQ(1, result.exitCode);
    EXPECT_TRUE(result.output.starts_with("NoDriveTypeAutoRun REG_DWORD 0xff not confirmed\n"));
    registry.changesUndone = false;
    registry.keys[kPolicies]["NoAutoplayfornonVolume"] = FakeRegistry::Text("anything");
    result = policy::RunCommand(Command::kUnharden, registry);
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ(
        "NoDriveTypeAutoRun absent ok\nNoAutorun absent ok\nNoAutoplayfornonVolume absent ok\n"
        "AutoPlay: 3 of 3 controls removed",
        result.output);
    EXPECT_EQ(1u, registry.keys[kExplorer].size());
    EXPECT_TRUE(registry.AllClosed());
}

}  // namespace
