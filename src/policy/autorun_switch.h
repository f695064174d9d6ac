// What OK does: switch AutoRun off for every drive type, or put the default back, and read the
// value back. The same change serves the window and the command line; each says the outcome in
// its own way (a message and the end of the program, or a line and an exit code).
#pragma once

#include <cstdint>
#include <string>

#include <policy/change_log.h>
#include <policy/change_watch.h>
#include <policy/ownership.h>
#include <policy/registry_routines.h>
#include <policy/setting.h>

namespace policy {

inline constexpr const char* kUpdateSuccessful =
    "Update successful. Changes will take effect after the next computer boot.";

// Disable writes the value's `inPlace` number; restore removes the value.
enum class Choice { kDisable, kRestore };

// The one judge of success: a disable holds when the value reads exactly as written, a restore
// when the value is not there.
bool Confirms(Choice choice, const Setting& now);

enum class Verdict {
    kConfirmed,     // the value reads as chosen (also when it already did)
    kNotConfirmed,  // the change went through, but the value reads otherwise
    kRefused,       // Windows refused the change: access denied
    kFailed,        // the change failed for another reason (`failure`)
};

struct ChangeOutcome {
    Verdict verdict;
    Setting now;           // the one read after the change: everything reported comes from it
    std::int32_t failure;  // the first change call's error, 0 when none failed
    Setting before;        // read just before the change, for the record of it
};

// Makes the change through `routines`, which must work through `watch`, then reads the value
// back once. Shows nothing and ends nothing: the caller does what the outcome asks.
ChangeOutcome ApplyChoice(RegistryRoutines& routines, ChangeWatch& watch, const PolicyValue& value,
                          Choice choice);

// The AutoRun switch: ApplyChoice on NoDriveTypeAutoRun.
ChangeOutcome RunAutorunSwitch(RegistryRoutines& routines, ChangeWatch& watch, Choice choice);

// The record of one change for `log`: `owner` is Group Policy's say over the value, which turns
// a confirmed change into an overruled one.
ChangeRecord RecordOf(const PolicyValue& value, const ChangeOutcome& outcome, Choice choice,
                      const Owner& owner, Via via);

// Whether Group Policy undoes a confirmed change at its next refresh.
bool Overruled(const ChangeOutcome& outcome, Choice choice, const Owner& owner);

}  // namespace policy
