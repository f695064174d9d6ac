// Who has a say over a policy value besides whoever writes it by hand: the Group Policy objects
// applied to the machine, whose registry files put their values back at every refresh. A value
// the program changes against them does not last, and an administrator must be told.
#pragma once

#include <string>
#include <vector>

#include <policy/preg.h>
#include <policy/setting.h>
#include <portable/file_source.h>
#include <portable/registry_api.h>

namespace policy {

// Where Windows lists the policy objects that applied registry settings, in the order applied.
inline constexpr const char* kGroupPolicyHistory =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\History\\"
    "{35378EAC-683F-11D2-A89A-00C04FBBCFA2}";

struct Owner {
    enum Kind {
        kNone,     // no policy object sets or deletes the value
        kSets,     // `who` sets it to `sets`
        kDeletes,  // `who` deletes it
        kMaybe,    // `who` applies, but its file could not be read
    } kind = kNone;
    std::string who;    // "Group Policy \"Name\"" or "local Group Policy"
    Setting sets = {};  // what the value will hold, judged as a read value is
};

class GroupPolicy {
  public:
    // Reads the history and every policy object's file once. With no history, the machine's
    // local policy file alone.
    static GroupPolicy Load(portable::RegistryApi& registry, portable::FileSource& files);

    // The last object applied that sets or deletes the value decides; an unreadable object
    // applied after it makes that a "maybe".
    Owner OwnerOf(const PolicyValue& value) const;

  private:
    struct Applied {
        std::string who;
        bool readable;
        std::vector<PolRecord> records;
    };
    std::vector<Applied> applied_;
};

// True when Group Policy will undo `choice` at its next refresh.
bool Overrules(const Owner& owner, bool disable);

// "Group Policy \"Name\" sets REG_DWORD 0x91" or "... deletes it": what an owner does.
std::string OwnerDoes(const Owner& owner);

// /status's second line: "managed: Group Policy \"Name\" sets REG_DWORD 0xff", "managed: ...
// deletes it", "may be managed: ... (its settings could not be read)"; "" without an owner.
std::string ManagedLine(const Owner& owner);

// /audit's words before the verdict: "(Group Policy \"Name\" sets 0x0)"; "" without an owner.
std::string AuditOwner(const Owner& owner);

// The window's label with its owner: "Now: AutoRun is off on all drives, set by Group Policy
// \"Workstation baseline\".".
std::string WindowText(const Setting& now, const Owner& owner);

// The window's message when a change will not last.
std::string OverruledMessage(const Owner& owner, const PolicyValue& value);

}  // namespace policy
