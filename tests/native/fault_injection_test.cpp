// Every registry call failing in turn, with the codes a real registry gives: the user must never
// be told of an update that did not happen, and nothing but the policy value may be written.
#include <gtest/gtest.h>

#include <functional>

#include "memory_registry.h"
#include "policy/autorun_switch.h"

namespace {

using policy::Choice;
using testing_support::MemoryRegistry;
using testing_support::StoredValue;

const std::string kPath = policy::kPolicyKeyPath;
const std::string kName = policy::kPolicyValueName;
const StoredValue kDword255{portable::kRegDword, {0xFF, 0, 0, 0}};
constexpr std::int32_t kCodes[] = {portable::kErrorAccessDenied, portable::kErrorFileNotFound,
                                   portable::kErrorInvalidHandle};

enum class Start { kNoKey, kNoValue, kOtherNumber, kAlready255, kText255 };

MemoryRegistry Prepared(Start start) {
    MemoryRegistry r;
    r.PutDword("Software\\Unrelated", "Keep", 7);
    if (start != Start::kNoKey) r.PutDword(kPath, "NoDriveAutoRun", 3);
    if (start == Start::kOtherNumber) r.PutDword(kPath, kName, 0x91);
    if (start == Start::kAlready255) r.PutDword(kPath, kName, 255);
    if (start == Start::kText255) r.Put(kPath, kName, portable::kRegSz, {'2', '5', '5', 0});
    return r;
}

struct Outcome {
    bool reported = false;
    int calls = 0;
};

Outcome RunWithFault(MemoryRegistry& registry, Choice choice) {
    policy::RegistryRoutines routines{registry};
    Outcome outcome;
    policy::RunAutorunSwitch(routines, choice,
                             {[&](const std::string&) { outcome.reported = true; }, [] {}});
    outcome.calls = registry.calls;
    return outcome;
}

// What may differ from the starting registry: the policy value, and for a disable the key
// holding it. Everything else must be as it was.
void ExpectOnlyThePolicyValueTouched(const MemoryRegistry& before, const MemoryRegistry& after) {
    for (const auto& [path, values] : after.keys) {
        if (path != kPath) {
            ASSERT_TRUE(before.keys.count(path)) << "created " << path;
            EXPECT_EQ(before.keys.at(path), values) << path;
            continue;
        }
        for (const auto& [name, value] : values) {
            if (name == kName) continue;
            ASSERT_TRUE(before.keys.count(path) && before.keys.at(path).count(name)) << name;
            EXPECT_EQ(before.keys.at(path).at(name), value) << name;
        }
    }
    for (const auto& [path, values] : before.keys) {
        ASSERT_TRUE(after.keys.count(path)) << "removed " << path;
        for (const auto& [name, value] : values) {
            if (name != kName) {
                EXPECT_TRUE(after.keys.at(path).count(name)) << "removed " << name;
            }
        }
    }
}

bool HoldsDisabled(const MemoryRegistry& r) {
    if (!r.keys.count(kPath) || !r.keys.at(kPath).count(kName)) return false;
    const StoredValue& v = r.keys.at(kPath).at(kName);
    return v == kDword255 || (v.type == portable::kRegSz && v.data.size() >= 3 &&
                              std::string(v.data.begin(), v.data.begin() + 3) == "255");
}

bool HoldsDefault(const MemoryRegistry& r) {
    return !r.keys.count(kPath) || !r.keys.at(kPath).count(kName);
}

TEST(FaultInjection, NoFailureIsEverReportedAsSuccess) {
    for (Choice choice : {Choice::kDisable, Choice::kRestore}) {
        for (Start start : {Start::kNoKey, Start::kNoValue, Start::kOtherNumber, Start::kAlready255,
                            Start::kText255}) {
            MemoryRegistry clean = Prepared(start);
            const int total = RunWithFault(clean, choice).calls;
            ASSERT_GT(total, 0);
            for (int at = 0; at < total; ++at) {
                for (std::int32_t code : kCodes) {
                    SCOPED_TRACE(testing::Message()
                                 << (choice == Choice::kDisable ? "disable" : "restore")
                                 << " start " << static_cast<int>(start) << " call " << at
                                 << " code " << code);
                    const MemoryRegistry before = Prepared(start);
                    MemoryRegistry registry = Prepared(start);
                    registry.failAt = at;
                    registry.failCode = code;
                    const Outcome outcome = RunWithFault(registry, choice);
                    if (outcome.reported) {
                        EXPECT_TRUE(choice == Choice::kDisable ? HoldsDisabled(registry)
                                                               : HoldsDefault(registry))
                            << "success reported, but the registry does not hold it";
                    }
                    ExpectOnlyThePolicyValueTouched(before, registry);
                }
            }
        }
    }
}

TEST(FaultInjection, TheRoutinesNeverLeaveAKeyOpen) {
    // A failing close is the one call that may leave its handle behind.
    using Routine = std::function<void(policy::RegistryRoutines&)>;
    const std::pair<const char*, Routine> routines[] = {
        {"exists", [](auto& r) { r.regDoes_Key_Exist(portable::kHKeyLocalMachine, kPath); }},
        {"create", [](auto& r) { r.regCreate_A_Key(portable::kHKeyLocalMachine, kPath); }},
        {"write number",
         [](auto& r) {
             r.regCreate_Key_Value(portable::kHKeyLocalMachine, kPath, kName, std::int16_t{1});
         }},
        {"write text",
         [](auto& r) {
             r.regCreate_Key_Value(portable::kHKeyLocalMachine, kPath, kName, std::string("x"));
         }},
        {"query", [](auto& r) { r.regQuery_A_Key(portable::kHKeyLocalMachine, kPath, kName); }},
        {"delete value",
         [](auto& r) { r.regDelete_Sub_Key(portable::kHKeyLocalMachine, kPath, kName); }},
        {"delete key",
         [](auto& r) { r.regDelete_A_Key(portable::kHKeyLocalMachine, "Software", "Unrelated"); }},
    };
    for (const auto& [name, routine] : routines) {
        MemoryRegistry clean = Prepared(Start::kAlready255);
        policy::RegistryRoutines cleanRoutines{clean};
        routine(cleanRoutines);
        const int total = clean.calls;
        for (int at = 0; at < total; ++at) {
            for (std::int32_t code : kCodes) {
                MemoryRegistry registry = Prepared(Start::kAlready255);
                registry.failAt = at;
                registry.failCode = code;
                policy::RegistryRoutines r{registry};
                routine(r);
                if (registry.failedFunction != "CloseKey") {
                    EXPECT_EQ(0, registry.openHandles)
                        << name << " call " << at << " code " << code;
                }
            }
        }
    }
}

TEST(FaultInjection, AQueryThatFailsAnywhereReadsAsTheEmptyText) {
    MemoryRegistry clean = Prepared(Start::kAlready255);
    policy::RegistryRoutines cleanRoutines{clean};
    ASSERT_EQ(portable::Variant(std::int32_t{255}),
              cleanRoutines.regQuery_A_Key(portable::kHKeyLocalMachine, kPath, kName));
    const int total = clean.calls;
    for (int at = 0; at < total - 1; ++at) {  // all but the closing call
        for (std::int32_t code : kCodes) {
            MemoryRegistry registry = Prepared(Start::kAlready255);
            registry.failAt = at;
            registry.failCode = code;
            policy::RegistryRoutines r{registry};
            EXPECT_EQ(portable::Variant(std::string()),
                      r.regQuery_A_Key(portable::kHKeyLocalMachine, kPath, kName))
                << "call " << at << " code " << code;
        }
    }
}

}  // namespace
