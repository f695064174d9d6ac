// The command line's contract, decided here: how the words are read, and every exit code with its
// lines for each state of the registry. Scripts and deployment tools act on these.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_registry.h"
#include "policy/command_line.h"
#include "portable/command_words.h"

namespace {

using policy::Command;
using testing_support::FakeRegistry;

Command Parse(const std::wstring& commandLine) {
    auto words = portable::SplitCommandLine(commandLine);
    words.erase(words.begin());
    return policy::ParseCommandLine(words);
}

TEST(CommandLine, WordsAreCutByWindowsRulesThenOneSwitchInAnyCase) {
    const std::pair<const wchar_t*, Command> cases[] = {
        {L"tessaro.exe", Command::kWindow},
        {L"\"C:\\Program Files\\Tessaro\\tessaro.exe\"  \t", Command::kWindow},
        {L"\"C:\\a b\\tessaro.exe\"/status", Command::kStatus},  // the name ends at its quote
        {L"t /status", Command::kStatus},
        {L"t \"/status\"", Command::kStatus},
        {L"t /\"status\"", Command::kStatus},
        {L"t -STATUS", Command::kStatus},
        {L"t /Disable", Command::kDisable},
        {L"t -restore", Command::kRestore},
        {L"t /AUDIT", Command::kAudit},
        {L"t /harden", Command::kHarden},
        {L"t -Unharden", Command::kUnharden},
        {L"t /?", Command::kHelp},
        {L"t \"\"", Command::kBadArguments},
        {L"t /status \"\"", Command::kBadArguments},
        {L"t /status /status", Command::kBadArguments},
        {L"t \"/status /restore\"", Command::kBadArguments},
        {L"t /status\\\"", Command::kBadArguments},  // an escaped quote stays in the word
        {L"t status", Command::kBadArguments},
        {L"t //status", Command::kBadArguments},
        {L"t /stat", Command::kBadArguments},
        {L"t \u2215status", Command::kBadArguments},  // look-alikes of "/" and of letters
        {L"t \uff0fstatus", Command::kBadArguments},
        {L"t \u2013status", Command::kBadArguments},
        {L"t /st\u0430tus", Command::kBadArguments},
        {L"t /D\u0130SABLE", Command::kBadArguments},
    };
    for (const auto& [line, command] : cases) EXPECT_EQ(command, Parse(line)) << line;
}

TEST(CommandLine, BackslashesCountOnlyBeforeAQuote) {
    using W = std::vector<std::wstring>;
    const std::pair<const wchar_t*, W> cases[] = {
        {L"\"C:\\x\\\" a", {L"C:\\x\\", L"a"}},
        {L"p a\\\\b \"c d\"", {L"p", L"a\\\\b", L"c d"}},
        {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},
        {L"p a\\\\\\\\\"b c\" d", {L"p", L"a\\\\b c", L"d"}},
        {L"p \"a\"\"b\"", {L"p", L"a\"b"}},  // a quote right after a closing one
        {L"p \"\"\"\" x", {L"p", L"\" x"}},
        {L"p \"unclosed  words", {L"p", L"unclosed  words"}},
    };
    for (const auto& [line, words] : cases) {
        EXPECT_EQ(words, portable::SplitCommandLine(line)) << line;
    }
}

// The states the policy value can be in; each run starts from one.
struct State {
    const char* name;
    void (*set)(FakeRegistry&);
};
constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
void Holding(FakeRegistry& r, FakeRegistry::Value v) { r.keys[kKey]["NoDriveTypeAutoRun"] = v; }

TEST(CommandLine, EachSwitchGivesOneLineAndTheCodeOfWhatTheMachineHolds) {
    const struct {
        Command command;
        void (*state)(FakeRegistry&);
        int code;
        std::string line;
    } cases[] = {
        {Command::kStatus, [](FakeRegistry&) {}, 1, "default"},
        {Command::kStatus, [](FakeRegistry& r) { r.keys[kKey]; }, 1, "default"},
        {Command::kStatus, [](FakeRegistry& r) { Holding(r, FakeRegistry::Dword(255)); }, 0, "off"},
        {Command::kStatus, [](FakeRegistry& r) { Holding(r, FakeRegistry::Dword(0x91)); }, 2,
         "other REG_DWORD 0x91"},
        {Command::kStatus, [](FakeRegistry& r) { Holding(r, FakeRegistry::Text("255")); }, 2,
         "other REG_SZ \"255\""},
        {Command::kStatus,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.refuseReading.insert(kKey);
         },
         3, "unreadable: access denied (5)"},
        {Command::kStatus,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.refuseReading.insert(kKey);
             r.refuseChanging.insert(kKey);
         },
         3, "unreadable: access denied (5)"},

        {Command::kDisable, [](FakeRegistry&) {}, 0, "off"},
        {Command::kDisable, [](FakeRegistry& r) { Holding(r, FakeRegistry::Text("255")); }, 0,
         "off"},
        {Command::kDisable,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.refuseChanging.insert(kKey);
         },
         0, "off"},
        {Command::kDisable,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(0x91));
             r.refuseChanging.insert(kKey);
         },
         5, "refused: access denied; run tessaro.exe /disable as administrator"},
        {Command::kDisable, [](FakeRegistry& r) { r.refuseChanging.insert(kKey); }, 5,
         "refused: access denied; run tessaro.exe /disable as administrator"},
        // Written, but the key refuses reading it back: not a refusal, and no success either.
        {Command::kDisable,
         [](FakeRegistry& r) {
             r.keys[kKey];
             r.refuseReading.insert(kKey);
         },
         1, "not confirmed: the change went through, but now unreadable: access denied (5)"},
        {Command::kDisable,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(0x91));
             r.changesUndone = true;
         },
         1, "not confirmed: the change went through, but now other REG_DWORD 0x91"},
        {Command::kDisable,
         [](FakeRegistry& r) {
             r.keys[kKey];
             r.changesFailWith = 1450;
         },
         1, "failed: not enough resources (1450); now default"},

        {Command::kRestore, [](FakeRegistry&) {}, 0, "default"},
        {Command::kRestore, [](FakeRegistry& r) { Holding(r, FakeRegistry::Text("x")); }, 0,
         "default"},
        {Command::kRestore,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.refuseChanging.insert(kKey);
         },
         5, "refused: access denied; run tessaro.exe /restore as administrator"},
        {Command::kRestore,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.refuseReading.insert(kKey);
             r.refuseChanging.insert(kKey);
         },
         5, "refused: access denied; run tessaro.exe /restore as administrator"},
        {Command::kRestore,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.changesUndone = true;
         },
         1, "not confirmed: the change went through, but now off"},
        {Command::kRestore,
         [](FakeRegistry& r) {
             Holding(r, FakeRegistry::Dword(255));
             r.changesFailWith = 1018;
         },
         1, "failed: the key is being deleted (1018); now off"},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        c.state(registry);
        const auto result = policy::RunCommand(c.command, registry);
        EXPECT_EQ(c.code, result.exitCode) << c.line;
        EXPECT_EQ(c.line, result.output);
        EXPECT_TRUE(registry.AllClosed()) << c.line;
    }
}

TEST(CommandLine, UsageForHelpAndForAnythingElse) {
    FakeRegistry registry;
    const auto help = policy::RunCommand(Command::kHelp, registry);
    EXPECT_EQ(0, help.exitCode);
    EXPECT_TRUE(help.output.starts_with("Usage: tessaro [/disable | /restore | /status | /audit"));
    EXPECT_EQ(87, policy::RunCommand(Command::kBadArguments, registry).exitCode);
    EXPECT_EQ(help.output, policy::RunCommand(Command::kBadArguments, registry).output);
    EXPECT_TRUE(registry.keys.empty());
}

}  // namespace
