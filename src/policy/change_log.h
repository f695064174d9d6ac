// A record of every change a run makes to a policy value, one per value, for the Windows
// Application log: what the value held before and after, whether the change holds, how it was
// asked for. Writing the record never changes an outcome.
#pragma once

#include <cstdint>
#include <string>

#include <policy/setting.h>

namespace policy {

// How the change was asked for, so that an auditor can tell a click from a script.
enum class Via {
    kWindow,            // the window made the change itself (it runs as administrator)
    kRaisedFromWindow,  // the elevated copy the window started for OK
    kCommandLine,       // tessaro.exe with a switch
    kConsole,           // tessaro.com with a switch
};

// What came of the change; each has an event ID of its own (kEventIds).
enum class Logged {
    kConfirmed,     // made, and the read-back shows it (Information)
    kAlreadySo,     // the value already was as asked (Information)
    kNotConfirmed,  // the calls went through, but the value reads otherwise (Warning)
    kOverruled,     // made, but Group Policy sets it otherwise at its next refresh (Warning)
    kRefused,       // Windows refused the change: access denied (Error)
    kFailed,        // a change call failed for another reason (Error)
};

// Event IDs as Event Viewer shows them, in the order of Logged. Fixed: collectors filter on them.
inline constexpr std::uint16_t kEventIds[] = {1000, 1001, 1002, 1003, 1004, 1005};

struct ChangeRecord {
    const PolicyValue* value;  // key (under HKEY_LOCAL_MACHINE) and value name
    Setting before;            // read before the change
    Setting after;             // the read-back
    Logged outcome;
    Via via;
    // For kOverruled: who puts it back and what to ("Group Policy \"Name\" sets REG_DWORD
    // 0x91"); for kFailed: the error ("not enough resources (1450)"); otherwise empty.
    std::string detail;
};

class ChangeLog {
  public:
    virtual ~ChangeLog() = default;
    virtual void Record(const ChangeRecord& record) = 0;
};

// Records nothing: for callers that change nothing, and for tests that look elsewhere.
class NoChangeLog final : public ChangeLog {
  public:
    void Record(const ChangeRecord&) override {}
};

}  // namespace policy
