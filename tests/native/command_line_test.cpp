// The command line's contract, decided here: how the words are read, and every exit code with its
// lines for each state of the registry. Scripts and deployment tools act on these.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <native/fake_registry.h>
#include <policy/command_line.h>
#include <portable/command_words.h>

namespace {

using enum policy::Command;
using testing_support::FakeRegistry;

TEST(CommandLine, WordsAreCutByWindowsRulesThenOneSwitchInAnyCase) {
    const std::pair<const wchar_t*, policy::Command> cases[] = {
        {L"tessaro.exe", kWindow},
        {L"\"C:\\Program Files\\Tessaro\\tessaro.exe\"  \t", kWindow},
        {L"\"C:\\a b\\tessaro.exe\"/status", kStatus},  // the name ends at its quote
        {L"t \"/status\"", kStatus},
        {L"t /\"status\"", kStatus},
        {L"t -STATUS", kStatus},
        {L"t /Disable", kDisable},
        {L"t -restore", kRestore},
        {L"t /AUDIT", kAudit},
        {L"t /harden", kHarden},
        {L"t -Unharden", kUnharden},
        {L"t /?", kHelp},
        {L"t \"\"", kBadArguments},
        {L"t /status \"\"", kBadArguments},
        {L"t /status /status", kBadArguments},
        {L"t \"/status /restore\"", kBadArguments},
        {L"t /status\\\"", kBadArguments},  // an escaped quote stays in the word
        {L"t status", kBadArguments},
        {L"t //status", kBadArguments},
        {L"t /stat", kBadArguments},
        {L"t \u2215status", kBadArguments},  // look-alikes of "/" and of letters
        {L"t \uff0fstatus", kBadArguments},
        {L"t \u2013status", kBadArguments},
        {L"t /st\u0430tus", kBadArguments},
        {L"t /D\u0130SABLE", kBadArguments},
        // The window's elevated copy says where it comes from; nothing else takes a second word.
        {L"t /disable -RAISED", kDisable},
        {L"t /restore /raised", kRestore},
        {L"t /status /raised", kBadArguments},
        {L"t /raised", kBadArguments},
    };
    for (const auto& [line, command] : cases) {
        auto words = portable::SplitCommandLine(line);
        words.erase(words.begin());
        bool raised = true;
        EXPECT_EQ(command, policy::ParseCommandLine(words, &raised)) << line;
        EXPECT_EQ(words.size() == 2 && command != kBadArguments, raised) << line;
    }
}

TEST(CommandLine, EachSwitchGivesOneLineAndTheCodeOfWhatTheMachineHolds) {
    using R = FakeRegistry;
    const std::string refused = "refused: access denied; run tessaro.exe ";
    const struct {
        policy::Command command;
        const char* holds;  // see FakeRegistry::Hold
        int how;            // what the key refuses, or how its changes go
        std::int32_t changesFailWith;
        int code;
        std::string line;
    } cases[] = {
        {kStatus, "", 0, 0, 1, "default"},
        {kStatus, "key", 0, 0, 1, "default"},
        {kStatus, "dword 255", 0, 0, 0, "off"},
        {kStatus, "dword 145", 0, 0, 2, "other REG_DWORD 0x91"},
        {kStatus, "text 255", 0, 0, 2, "other REG_SZ \"255\""},
        // Text as stored, fullwidth digits included; controls and direction overrides never
        // reach an auditor's line.
        {kStatus, "text \uff12\u202e5\t\u00e9", 0, 0, 2, "other REG_SZ \"\uff12?5?\u00e9\""},
        {kStatus, "dword 255", R::kRead, 0, 3, "unreadable: access denied (5)"},
        {kStatus, "dword 255", R::kRead | R::kChange, 0, 3, "unreadable: access denied (5)"},
        {kDisable, "", 0, 0, 0, "off"},
        {kDisable, "text 255", 0, 0, 0, "off"},
        {kDisable, "dword 255", R::kChange, 0, 0, "off"},
        {kDisable, "dword 145", R::kChange, 0, 5, refused + "/disable as administrator"},
        {kDisable, "", R::kChange, 0, 5, refused + "/disable as administrator"},
        // Written, but the key refuses reading it back: not a refusal, and no success either.
        {kDisable, "key", R::kRead, 0, 1,
         "not confirmed: the change went through, but now unreadable: access denied (5)"},
        {kDisable, "dword 145", R::kUndone, 0, 1,
         "not confirmed: the change went through, but now other REG_DWORD 0x91"},
        {kDisable, "key", 0, 1450, 1, "failed: not enough resources (1450); now default"},
        {kRestore, "", 0, 0, 0, "default"},
        {kRestore, "text x", 0, 0, 0, "default"},
        {kRestore, "dword 255", R::kChange, 0, 5, refused + "/restore as administrator"},
        {kRestore, "dword 255", R::kRead | R::kChange, 0, 5, refused + "/restore as administrator"},
        {kRestore, "dword 255", R::kUndone, 0, 1,
         "not confirmed: the change went through, but now off"},
        {kRestore, "dword 255", 0, 1018, 1, "failed: the key is being deleted (1018); now off"},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.Hold(R::kExplorer, "NoDriveTypeAutoRun", c.holds, c.how);
        registry.changesFailWith = c.changesFailWith;
        const auto result = policy::RunCommand(c.command, registry);
        EXPECT_EQ(c.code, result.exitCode) << c.line;
        EXPECT_EQ(c.line, result.output);
        EXPECT_TRUE(registry.AllClosed()) << c.line;
    }
}

TEST(CommandLine, UsageForHelpAndForAnythingElse) {
    FakeRegistry registry;
    const auto help = policy::RunCommand(kHelp, registry);
    EXPECT_EQ(0, help.exitCode);
    EXPECT_TRUE(help.output.starts_with("Usage: tessaro [/disable | /restore | /status | /audit"));
    EXPECT_EQ(87, policy::RunCommand(kBadArguments, registry).exitCode);
    EXPECT_EQ(help.output, policy::RunCommand(kBadArguments, registry).output);
    EXPECT_TRUE(registry.keys.empty());
}

}  // namespace
