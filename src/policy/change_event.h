// What an event of the Application log says about a change: its insertion strings, %1 to %12 of
// every message in resources/events.mc, in that order. Event Viewer shows them in the message, a
// collector gets them as the event's data, and %12 is exact enough to put the old value back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <policy/change_log.h>
#include <portable/event_sink.h>

namespace policy {

using portable::Actor;

// Key, value name, before, after, outcome, how, user, SID, process path, process ID, detail,
// and the value before exactly.
std::vector<std::string> EventStrings(const ChangeRecord& record, const Actor& actor);

// A value as `reg add` takes it back: "REG_DWORD 0xb5" for a number; any other type with the
// bytes as stored, in hex ("REG_SZ 31 00 00 00"); "absent"; or why it could not be read.
std::string Exactly(const Setting& setting);

// The record of every change as events: one per change, its ID by outcome (kEventIds).
class EventChangeLog final : public ChangeLog {
  public:
    explicit EventChangeLog(portable::EventSink& sink) : sink_(sink) {}
    void Record(const ChangeRecord& record) override {
        sink_.Report(kEventIds[static_cast<int>(record.outcome)],
                     EventStrings(record, sink_.Who()));
    }

  private:
    portable::EventSink& sink_;  // borrowed
};

}  // namespace policy
