// Group Policy's registry files and who owns each value: the reader over real baseline files and
// hand-made damage, ownership over a history and files in memory, and what the command line
// makes of an owner. Administrators act on these lines.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <native/fake_registry.h>
#include <policy/command_line.h>
#include <policy/ownership.h>
#include <policy/preg.h>
#include <portable/utf16.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using R = testing_support::FakeRegistry;
using enum policy::Command;

Bytes Fixture(const char* name) {
    std::ifstream in(std::string(TESSARO_FIXTURES "/registry-pol/") + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes Utf16(const std::u16string& text) { return portable::ToLittleEndian(text); }
Bytes Dword(std::uint32_t n) {
    return {Bytes::value_type(n), Bytes::value_type(n >> 8), Bytes::value_type(n >> 16),
            Bytes::value_type(n >> 24)};
}

struct Rec {
    std::u16string key, value;
    std::uint32_t type = 4;
    Bytes data = Dword(255);
};

// A policy file as Windows writes one: header, then "[key;value;type;size;data]" in UTF-16.
Bytes Pol(const std::vector<Rec>& records) {
    Bytes out = {'P', 'R', 'e', 'g', 1, 0, 0, 0};
    const auto put = [&out](const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); };
    for (const auto& r : records) {
        put(Utf16(u"[" + r.key + u'\0' + u";" + r.value + u'\0' + u";"));
        put(Dword(r.type)), put(Utf16(u";"));
        put(Dword(static_cast<std::uint32_t>(r.data.size()))), put(Utf16(u";"));
        put(r.data), put(Utf16(u"]"));
    }
    return out;
}
const std::u16string kExplorer =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

policy::PolicyDecision::Kind Decide(const Bytes& file, const char* name = "NoDriveTypeAutoRun") {
    const auto records = policy::ParsePolicyFile(file.data(), file.size());
    return records ? policy::DecisionFor(*records, R::kExplorer, name).kind
                   : policy::PolicyDecision::Kind(-1);
}

TEST(PolicyFile, RealBaselinesReadWholeAndNameTheValuesTheySet) {
    const Bytes windows = Fixture("windows-baseline-machine.pol");
    ASSERT_EQ(15300u, windows.size());
    const auto records = policy::ParsePolicyFile(windows.data(), windows.size());
    ASSERT_TRUE(records);
    EXPECT_EQ(87u, records->size());
    const auto sets = [&](const char* key, const char* name) {
        const auto d = policy::DecisionFor(*records, key, name);
        return d.kind == policy::PolicyDecision::kSets && d.type == 4 ? Bytes(d.data) : Bytes{};
    };
    EXPECT_EQ(Dword(255), sets(R::kExplorer, "nodrivetypeautorun"));  // names ignore case
    EXPECT_EQ(Dword(1), sets(R::kExplorer, "NoAutorun"));
    EXPECT_EQ(Dword(1), sets(R::kPolicies, "NoAutoplayfornonVolume"));
    const Bytes chrome = Fixture("chrome-baseline-machine.pol"),
                empty = Fixture("empty-machine.pol");
    EXPECT_EQ(policy::PolicyDecision::kNothing, Decide(chrome));
    EXPECT_EQ(0u, policy::ParsePolicyFile(empty.data(), empty.size())->size());
}

TEST(PolicyFile, DirectivesDecideInOrderAndTheLastOneWins) {
    using enum policy::PolicyDecision::Kind;
    const Rec set{kExplorer, u"NoDriveTypeAutoRun"};
    const auto list = [](const std::u16string& names) {
        return Rec{kExplorer, u"**DeleteValues", 1, Utf16(names + u'\0')};
    };
    const std::pair<std::vector<Rec>, policy::PolicyDecision::Kind> cases[] = {
        {{set}, kSets},
        {{{kExplorer + u"\\", u"NODRIVETYPEAUTORUN"}}, kSets},
        {{set, {kExplorer, u"**del.NoDriveTypeAutorun", 1, Utf16(u" ")}}, kDeletes},
        {{{kExplorer, u"**del.NoDriveTypeAutoRun"}, set}, kSets},
        {{set, {kExplorer, u"**delvals."}}, kDeletes},
        {{set, list(u"NoAutorun;NoDriveTypeAutoRun")}, kDeletes},
        {{set, list(u"NoAutorun")}, kSets},
        {{set,
          {u"Software\\Microsoft", u"**DeleteKeys", 1,
           Utf16(u"Windows\\CurrentVersion\\Policies\0")}},
         kDeletes},
        {{set, {u"Software\\Other", u"**DeleteKeys", 1, Utf16(kExplorer + u"\0")}}, kDeletes},
        {{set, {u"Software\\Other", u"**DeleteKeys", 1, Utf16(kExplorer + u"X\0")}}, kSets},
        {{set, {kExplorer, u"**SecureKey", 4, Dword(1)}, {kExplorer, u"**soft.Other"}}, kSets},
        {{{kExplorer + u"\\Sub", u"NoDriveTypeAutoRun"}, {kExplorer, u"NoDriveTypeAutoRun2"}},
         kNothing},
    };
    for (const auto& [records, kind] : cases)
        EXPECT_EQ(kind, Decide(Pol(records))) << records.size();
}

TEST(PolicyFile, FieldsAreReadByLengthAndDamageIsNeverGuessedAt) {
    // Sizes and data holding ';' and ']' bytes, and data of odd length, read whole.
    const Bytes tricky = Pol({{kExplorer, u"A", 3, Bytes(0x3B, 0x5D)},
                              {kExplorer, u"B", 3, {0x5D, 0x00, 0x3B}},
                              {kExplorer, u"NoDriveTypeAutoRun", 4, Dword(0x5D3B)}});
    const auto records = policy::ParsePolicyFile(tricky.data(), tricky.size());
    ASSERT_TRUE(records);
    ASSERT_EQ(3u, records->size());
    EXPECT_EQ(Bytes(0x3B, 0x5D), (*records)[0].data);
    EXPECT_EQ(Dword(0x5D3B), (*records)[2].data);

    const Bytes good = Pol({{kExplorer, u"NoDriveTypeAutoRun"}});
    const auto spoilt = [&good](std::size_t at, std::uint8_t byte) {
        Bytes b = good;
        b.resize(std::max(b.size(), at + 1));
        b[at] = byte;
        return b;
    };
    Bytes endless = Pol({});  // a key that never ends
    const Bytes key = Utf16(u"[Software");
    endless.insert(endless.end(), key.begin(), key.end());
    std::vector<Bytes> damaged = {
        {},
        {'P', 'R', 'e', 'g'},
        Bytes(good.begin(), good.end() - 1),
        Bytes(good.begin(), good.end() - 2),
        spoilt(0, 'p') /* the signature */,
        spoilt(4, 2) /* the version */,
        spoilt(good.size() - 9, 0xFF) /* a size beyond the end */,
        spoilt(good.size(), 0x5B) /* half a record after the last */,
        endless,
        Pol({{kExplorer, u"X", 3, Bytes(policy::kMaxPolicyFileSize, 0)}})};
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_FALSE(policy::ParsePolicyFile(damaged[i].data(), damaged[i].size())) << i;
    }
}

// Files by path, as the history names them; "unreadable" stands for one on a share that did not
// answer in time.
class FakeFiles : public portable::FileSource {
  public:
    std::map<std::string, Bytes> files;
    std::map<std::string, bool> unreadable;
    portable::FileContents ReadFile(const std::string& path, std::size_t) override {
        if (unreadable.contains(path)) return {portable::FileContents::kUnreadable, {}, 258};
        if (!files.contains(path)) return {portable::FileContents::kMissing, {}, 2};
        return {portable::FileContents::kRead, files[path], 0};
    }
    std::string SystemFolder() override { return "C:\\Windows\\System32"; }
};

const char* const kLocalFile = "C:\\Windows\\System32\\GroupPolicy\\Machine\\Registry.pol";

// Lists policy objects in the history as Windows does: "0", "1", ... in the order applied.
void Applied(R& registry, int i, const std::u16string& name, const std::u16string& folder,
             const std::u16string& gpoName = u"{31B2F340}") {
    auto& entry =
        registry.keys[std::string(policy::kGroupPolicyHistory) + "\\" + std::to_string(i)];
    entry["DisplayName"] = {1, Utf16(name + u'\0')};
    entry["FileSysPath"] = {1, Utf16(folder + u'\0')};
    entry["GPOName"] = {1, Utf16(gpoName + u'\0')};
}

std::string Owner(R& registry, FakeFiles& files,
                  const policy::PolicyValue& value = policy::kNoDriveTypeAutoRun) {
    const policy::Owner o = policy::GroupPolicy::Load(registry, files).OwnerOf(value);
    return o.kind == policy::Owner::kNone ? "" : policy::ManagedLine(o);
}

TEST(Ownership, TheLastObjectAppliedDecidesAndAnUnreadableOneAfterItMakesAMaybe) {
    R registry;
    FakeFiles files;
    files.files[kLocalFile] = Pol({{kExplorer, u"NoDriveTypeAutoRun", 4, Dword(0x91)}});
    EXPECT_EQ("managed: local Group Policy sets REG_DWORD 0x91", Owner(registry, files));

    registry.keys[policy::kGroupPolicyHistory];
    EXPECT_EQ("managed: local Group Policy sets REG_DWORD 0x91", Owner(registry, files));  // empty
    Applied(registry, 0, u"Local Group Policy", u"C:\\Windows\\System32\\GroupPolicy\\Machine",
            u"LocalGPO");
    Applied(registry, 1, u"Workstation baseline",
            u"\\\\corp\\SysVol\\corp\\Policies\\{A}\\Machine");
    Applied(registry, 2, u"Printers", u"\\\\corp\\SysVol\\corp\\Policies\\{B}\\Machine");
    files.files["\\\\corp\\SysVol\\corp\\Policies\\{A}\\Machine\\Registry.pol"] =
        Fixture("windows-baseline-machine.pol");
    // B has no registry file: it has no say.
    EXPECT_EQ("managed: Group Policy \"Workstation baseline\" sets REG_DWORD 0xff",
              Owner(registry, files));
    files.files["\\\\corp\\SysVol\\corp\\Policies\\{B}\\Machine\\Registry.pol"] =
        Pol({{kExplorer, u"**del.NoDriveTypeAutoRun", 1, Utf16(u" ")}});
    EXPECT_EQ("managed: Group Policy \"Printers\" deletes it", Owner(registry, files));
    EXPECT_EQ("managed: Group Policy \"Workstation baseline\" sets REG_DWORD 0x1",
              Owner(registry, files, {R::kExplorer, "NoAutorun", 1}));
    files.unreadable["\\\\corp\\SysVol\\corp\\Policies\\{B}\\Machine\\Registry.pol"] = true;
    EXPECT_EQ("may be managed: Group Policy \"Printers\" (its settings could not be read)",
              Owner(registry, files, {R::kExplorer, "NoAutorun", 1}));
    files.unreadable.clear();
    files.files["\\\\corp\\SysVol\\corp\\Policies\\{B}\\Machine\\Registry.pol"] = {'P', 'R', 'e',
                                                                                   'g'};
    EXPECT_TRUE(Owner(registry, files).starts_with("may be managed: Group Policy \"Printers\""));

    R refused;  // a history nobody may read cannot be taken for no history
    refused.Hold(policy::kGroupPolicyHistory, "x", "key", R::kRead | R::kChange);
    EXPECT_EQ("may be managed: Group Policy (its settings could not be read)",
              Owner(refused, files));
    EXPECT_TRUE(registry.AllClosed() && refused.AllClosed());
}

// What each switch says and returns when Group Policy has a say: a change it undoes is no success.
TEST(Ownership, CommandLinesNameTheOwnerAndAChangeItUndoesExitsFour) {
    const Bytes sets91 = Pol({{kExplorer, u"NoDriveTypeAutoRun", 4, Dword(0x91)},
                              {kExplorer, u"NoAutorun", 4, Dword(0)}});
    const Bytes sets255 = Pol({{kExplorer, u"NoDriveTypeAutoRun"}});
    const struct {
        policy::Command command;
        const Bytes& file;
        const char* holds;
        int code;
        std::string output;
    } cases[] = {
        {kStatus, sets91, "dword 255", 0, "off\nmanaged: local Group Policy sets REG_DWORD 0x91"},
        {kDisable, sets91, "", 4,
         "off\noverruled: local Group Policy sets REG_DWORD 0x91 at its next refresh"},
        {kDisable, sets255, "", 0, "off\nmanaged: local Group Policy sets REG_DWORD 0xff"},
        {kRestore, sets255, "dword 255", 4,
         "default\noverruled: local Group Policy sets REG_DWORD 0xff at its next refresh"},
        {kAudit, sets91, "dword 255", 1,
         "NoDriveTypeAutoRun REG_DWORD 0xff (local Group Policy sets 0x91) ok\n"
         "NoAutorun absent (local Group Policy sets 0x0) finding\n"},
        {kHarden, sets91, "", 4,
         "NoDriveTypeAutoRun REG_DWORD 0xff (local Group Policy sets 0x91) overruled\n"
         "NoAutorun REG_DWORD 0x1 (local Group Policy sets 0x0) overruled\n"
         "NoAutoplayfornonVolume REG_DWORD 0x1 ok\n"
         "AutoPlay: 1 of 3 controls in place; not: NoDriveTypeAutoRun, NoAutorun; "
         "Group Policy puts back: NoDriveTypeAutoRun, NoAutorun"},
    };
    for (const auto& c : cases) {
        R registry;
        FakeFiles files;
        files.files[kLocalFile] = c.file;
        registry.Hold(R::kExplorer, "NoDriveTypeAutoRun", c.holds, 0);
        const auto result = policy::RunCommand(
            c.command, registry, {nullptr, policy::Via::kConsole, "tessaro.com", &files});
        EXPECT_EQ(c.code, result.exitCode) << c.output;
        EXPECT_TRUE(result.output.starts_with(c.output)) << result.output;
    }
    // A refusal names the program that ran; it outranks an overruled control.
    R refusing;
    FakeFiles files;
    files.files[kLocalFile] = sets91;
    refusing.Hold(R::kPolicies, "NoAutoplayfornonVolume", "key", R::kChange);
    const auto refused = policy::RunCommand(
        kHarden, refusing, {nullptr, policy::Via::kConsole, "tessaro.com", &files});
    EXPECT_EQ(5, refused.exitCode);
    EXPECT_TRUE(refused.output.ends_with("refused: run tessaro.com /harden as administrator"))
        << refused.output;
}

// One record per value a change touches, with what it held before and after and what came of it.
TEST(Ownership, EveryChangeIsRecordedWithItsOutcome) {
    struct Log : policy::ChangeLog {
        void Record(const policy::ChangeRecord& r) override {
            said += std::string(r.value->name) + " " + policy::Holds(r.before) + " > " +
                    policy::Holds(r.after) + " " +
                    std::to_string(policy::kEventIds[int(r.outcome)]) +
                    (r.detail.empty() ? "" : " " + r.detail) + "\n";
        }
        std::string said;
    };
    const std::string overruled = " 1003 local Group Policy sets REG_DWORD 0xff\n";
    const struct {
        policy::Command command;
        const char* holds;
        int how;
        std::string said;
    } cases[] = {
        {kDisable, "dword 181", 0, "NoDriveTypeAutoRun REG_DWORD 0xb5 > REG_DWORD 0xff 1000\n"},
        {kDisable, "dword 255", 0, "NoDriveTypeAutoRun REG_DWORD 0xff > REG_DWORD 0xff 1001\n"},
        {kDisable, "dword 181", R::kUndone,
         "NoDriveTypeAutoRun REG_DWORD 0xb5 > REG_DWORD 0xb5 1002\n"},
        {kRestore, "dword 181", 0, "NoDriveTypeAutoRun REG_DWORD 0xb5 > absent" + overruled},
        {kRestore, "dword 255", R::kChange,
         "NoDriveTypeAutoRun REG_DWORD 0xff > REG_DWORD 0xff 1004 access denied (5)\n"},
        {kStatus, "dword 255", 0, ""},
        {kAudit, "dword 255", 0, ""},
        {kUnharden, "dword 255", 0,
         "NoDriveTypeAutoRun REG_DWORD 0xff > absent" + overruled +
             "NoAutorun absent > absent 1001\nNoAutoplayfornonVolume absent > absent 1001\n"},
    };
    for (const auto& c : cases) {
        R registry;
        FakeFiles files;
        files.files[kLocalFile] = Pol({{kExplorer, u"NoDriveTypeAutoRun"}});
        registry.Hold(R::kExplorer, "NoDriveTypeAutoRun", c.holds, c.how);
        Log log;
        policy::RunCommand(c.command, registry,
                           {&log, policy::Via::kCommandLine, "tessaro.exe", &files});
        EXPECT_EQ(c.said, log.said);
    }
    R failing;
    failing.changesFailWith = 1450;
    Log log;
    policy::RunCommand(kDisable, failing,
                       {&log, policy::Via::kCommandLine, "tessaro.exe", nullptr});
    EXPECT_EQ("NoDriveTypeAutoRun absent > absent 1005 not enough resources (1450)\n", log.said);
}

TEST(Ownership, TheWindowSaysWhoSetsWhatItShows) {
    using policy::Owner;
    const policy::Setting off{policy::SettingKind::kOff, 4, "0xff", 0, Dword(255)};
    const policy::Setting other{policy::SettingKind::kOther, 4, "0x91", 0, Dword(0x91)};
    const std::string who = "Group Policy \"Workstation baseline\"";
    EXPECT_EQ("Now: AutoRun is off on all drives, set by Group Policy \"Workstation baseline\".",
              policy::WindowText(off, {Owner::kSets, who, off}));
    EXPECT_EQ("Now: AutoRun is off on all drives; " + who + " sets 0x91.",
              policy::WindowText(off, {Owner::kSets, who, other}));
    EXPECT_EQ("Now: another setting (0x91); local Group Policy removes it.",
              policy::WindowText(other, {Owner::kDeletes, "local Group Policy", {}}));
    EXPECT_EQ("Now: Windows default, set by local Group Policy.",
              policy::WindowText({}, {Owner::kDeletes, "local Group Policy", {}}));
    EXPECT_EQ("Now: Windows default, may be managed by " + who + ".",
              policy::WindowText({}, {Owner::kMaybe, who, {}}));
}

}  // namespace
