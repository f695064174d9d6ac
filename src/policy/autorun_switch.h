// What OK does: switch AutoRun off for every drive type, or put the default back, then tell the
// user and end. The two closing actions come from outside so the switch runs without windows.
#pragma once

#include <functional>
#include <string>

#include "policy/registry_routines.h"

namespace policy {

inline constexpr const char* kPolicyKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kPolicyValueName = "NoDriveTypeAutoRun";
inline constexpr std::int16_t kAllDrivesOff = 255;
inline constexpr const char* kUpdateSuccessful =
    "Update successful. Changes will take effect after the next computer boot.";

struct ClosingActions {
    // Shows the message with the information icon and waits until the user dismisses it.
    std::function<void(const std::string&)> ShowMessage;
    // Ends the process; in the program it does not return.
    std::function<void()> EndProcess;
};

enum class Choice { kDisable, kRestore };

// True when the change was confirmed, after the closing actions have run (in the program they
// do not return). False when it could not be confirmed; the caller's window then stays as it was,
// and a command line turns it into its exit code.
bool RunAutorunSwitch(RegistryRoutines& routines, Choice choice, const ClosingActions& actions);

}  // namespace policy
