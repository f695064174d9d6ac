// The switch's branches over an in-memory registry whose writes can be refused, as they are for
// a user without administrator rights.
#include "policy/autorun_switch.h"

#include <gtest/gtest.h>

#include "fake_registry.h"
#include "memory_registry.h"

namespace {

using policy::Choice;
using testing_support::MemoryRegistry;
using testing_support::StoredValue;

const std::string kPath = policy::kPolicyKeyPath;
const std::string kName = policy::kPolicyValueName;
const StoredValue kDword255{portable::kRegDword, {0xFF, 0, 0, 0}};

class AutorunSwitchTest : public testing::Test {
  protected:
    MemoryRegistry registry;
    policy::RegistryRoutines routines{registry};
    std::vector<std::string> messages;
    int ended = 0;

    void Run(Choice choice) {
        policy::ClosingActions actions{[this](const std::string& text) {
                                           // The process must not end before the user has seen the
                                           // message.
                                           EXPECT_EQ(0, ended);
                                           messages.push_back(text);
                                       },
                                       [this] { ++ended; }};
        policy::RunAutorunSwitch(routines, choice, actions);
        EXPECT_EQ(0, registry.openHandles) << "a key handle was left open";
    }
    void ExpectReportedSuccess() {
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ("Update successful. Changes will take effect after the next computer boot.",
                  messages[0]);
        EXPECT_EQ(1, ended);
    }
    void ExpectNothingShown() {
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(0, ended);
    }
};

TEST_F(AutorunSwitchTest, DisableCreatesTheMissingKeyStores255AndReports) {
    Run(Choice::kDisable);
    ExpectReportedSuccess();
    EXPECT_EQ(kDword255, registry.keys[kPath][kName]);
    EXPECT_EQ(1u, registry.keys.size());
}

TEST_F(AutorunSwitchTest, DisableOverwritesAnotherNumberAndKeepsOtherValues) {
    registry.PutDword(kPath, kName, 0x91);
    registry.PutDword(kPath, "NoDriveAutoRun", 4);
    Run(Choice::kDisable);
    ExpectReportedSuccess();
    EXPECT_EQ(kDword255, registry.keys[kPath][kName]);
    EXPECT_EQ(2u, registry.keys[kPath].size());
}

TEST_F(AutorunSwitchTest, RefusedWriteIsJudgedByWhatTheValueAlreadyHolds) {
    registry.refuseWrites = true;
    registry.refuseCreate = true;

    // Nothing there at all: the read-back is the empty text.
    Run(Choice::kDisable);
    ExpectNothingShown();
    EXPECT_TRUE(registry.keys.empty());

    registry.PutDword(kPath, kName, 0x91);
    Run(Choice::kDisable);
    ExpectNothingShown();

    // Already 255, as a number or as text that converts to it: the policy is in force.
    registry.PutDword(kPath, kName, 255);
    Run(Choice::kDisable);
    ExpectReportedSuccess();

    messages.clear();
    ended = 0;
    registry.Put(kPath, kName, portable::kRegSz, {' ', '2', '5', '5', 0});
    Run(Choice::kDisable);
    ExpectReportedSuccess();

    messages.clear();
    ended = 0;
    registry.Put(kPath, kName, portable::kRegSz, {'F', 'F', 0});
    Run(Choice::kDisable);
    ExpectNothingShown();
}

TEST_F(AutorunSwitchTest, DisableCanBePressedAgainAfterAMismatch) {
    registry.refuseWrites = true;
    registry.refuseCreate = true;
    Run(Choice::kDisable);
    ExpectNothingShown();
    registry.refuseWrites = registry.refuseCreate = false;
    Run(Choice::kDisable);
    ExpectReportedSuccess();
}

TEST_F(AutorunSwitchTest, RestoreDeletesOnlyThePolicyValue) {
    registry.PutDword(kPath, kName, 255);
    registry.PutDword(kPath, "Other", 1);
    Run(Choice::kRestore);
    ExpectReportedSuccess();
    EXPECT_EQ(0u, registry.keys[kPath].count(kName));
    EXPECT_EQ(1u, registry.keys[kPath].count("Other"));
}

TEST_F(AutorunSwitchTest, RestoreReportsSuccessWhenThereWasNothingToDelete) {
    Run(Choice::kRestore);  // no key
    ExpectReportedSuccess();
    EXPECT_TRUE(registry.keys.empty()) << "restore must not create the key";

    messages.clear();
    ended = 0;
    registry.keys[kPath];  // key without the value
    Run(Choice::kRestore);
    ExpectReportedSuccess();
}

TEST_F(AutorunSwitchTest, RefusedRestoreIsNotReportedAsSuccess) {
    registry.PutDword(kPath, kName, 255);
    registry.refuseWrites = true;
    Run(Choice::kRestore);
    ExpectNothingShown();
    EXPECT_EQ(kDword255, registry.keys[kPath][kName]);

    // Pressing OK again once the deletion is allowed works.
    registry.refuseWrites = false;
    Run(Choice::kRestore);
    ExpectReportedSuccess();
}

TEST(AutorunSwitchCalls, DisableOnAnExistingKeyMakesNoCreateKeyCallOfItsOwn) {
    testing_support::ScriptedRegistry api;
    policy::RegistryRoutines routines{api};
    constexpr portable::RegHandle key = 0x40;
    api.script = {{0, key},
                  {0},  // exists?
                  {0, key},
                  {0},
                  {0},  // create + set + close
                  {0, key},
                  {0, 0, portable::kRegDword, {}, 4},  // open + probe
                  {0, 0, portable::kRegDword, {0xFF, 0, 0, 0}, 4},
                  {0}};  // read + close
    int shown = 0;
    policy::RunAutorunSwitch(routines, Choice::kDisable,
                             {[&](const std::string&) { ++shown; }, [] {}});
    EXPECT_EQ((std::vector<std::string>{"Open", "Close", "Create", "Set", "Close", "Open", "Query",
                                        "Query", "Close"}),
              api.Sequence());
    EXPECT_EQ(portable::RootKeyHandle(portable::kHKeyLocalMachine), api.calls[0].handle);
    EXPECT_EQ(policy::kPolicyKeyPath, api.calls[0].name);
    EXPECT_EQ(1, shown);
}

}  // namespace
