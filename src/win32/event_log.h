// The record of every change, as events of the Windows Application log from the source "Tessaro":
// one per value, with the user's SID, the level and message of resources/events.mc for the event
// ID, and the insertion strings the policy layer gives. A log that cannot be written is ignored, as
// Windows' own tools ignore it: logging never changes what a run did or says.
#pragma once

#include <windows.h>

#include <vector>

#include <portable/event_sink.h>
#include <win32/scoped_handles.h>

namespace win32 {

class EventLog final : public portable::EventSink {
  public:
    const portable::Actor& Who() override;
    void Report(std::uint16_t eventId, const std::vector<std::string>& strings) override;

  private:
    // Registers the source and reads the user and the process, at the first record: a run that
    // changes nothing never touches the log.
    void Open();
    PSID Sid() const;  // the user's, or null when it could not be read

    bool opened_ = false;
    ScopedEventSource source_;
    std::vector<BYTE> user_;  // the TOKEN_USER whose SID each event carries; empty if unknown
    portable::Actor actor_{};
};

}  // namespace win32
