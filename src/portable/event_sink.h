// The seam between the record of a change and the Windows Application log: the policy layer says
// what happened, the runtime says who did it and writes the event.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace portable {

// Who made the change: the process's user and the process itself, as Windows names them.
struct Actor {
    std::string user;     // "DOMAIN\name"
    std::string sid;      // "S-1-5-21-..."
    std::string process;  // the program's full path
    std::uint32_t processId;
};

class EventSink {
  public:
    virtual ~EventSink() = default;
    virtual const Actor& Who() = 0;
    // One event: its ID as Event Viewer shows it, and its insertion strings (UTF-8). An event
    // that cannot be written is dropped: logging never changes what a run did.
    virtual void Report(std::uint16_t eventId, const std::vector<std::string>& strings) = 0;
};

}  // namespace portable
