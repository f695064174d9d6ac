// What an event of the Application log says about a change: its insertion strings, %1 to %12 of
// every message in resources/events.mc, in that order. Event Viewer shows them in the message, a
// collector gets them as the event's data, and %12 is exact enough to put the old value back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "policy/change_log.h"

namespace policy {

// Who made the change: the process's user and the process itself, as Windows names them.
struct Actor {
    std::string user;     // "DOMAIN\name"
    std::string sid;      // "S-1-5-21-..."
    std::string process;  // the program's full path
    std::uint32_t processId;
};

// Key, value name, before, after, outcome, how, user, SID, process path, process ID, detail,
// and the value before exactly.
std::vector<std::string> EventStrings(const ChangeRecord& record, const Actor& actor);

// A value as `reg add` takes it back: "REG_DWORD 0xb5" for a number; any other type with the
// bytes as stored, in hex ("REG_SZ 31 00 00 00"); "absent"; or why it could not be read.
std::string Exactly(const Setting& setting);

}  // namespace policy
