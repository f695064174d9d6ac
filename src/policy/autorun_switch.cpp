#include "policy/autorun_switch.h"

namespace policy {

bool Confirms(Choice choice, const Setting& now) {
    return now.kind == (choice == Choice::kDisable ? SettingKind::kOff : SettingKind::kDefault);
}

ChangeOutcome ApplyChoice(RegistryRoutines& routines, ChangeWatch& watch, const PolicyValue& value,
                          Choice choice) {
    constexpr std::int32_t root = portable::kHKeyLocalMachine;
    watch.Reset();
    if (choice == Choice::kDisable) {
        if (!routines.regDoes_Key_Exist(root, value.keyPath)) {
            routines.regCreate_A_Key(root, value.keyPath);
        }
        // A whole number, so the routines store it as a REG_DWORD.
        routines.regCreate_Key_Value(root, value.keyPath, value.name,
                                     static_cast<std::int32_t>(value.inPlace));
    } else {
        routines.regDelete_Sub_Key(root, value.keyPath, value.name);
    }
    // Only the read-back tells whether the change holds; a refused write is noticed here too.
    ChangeOutcome outcome{Verdict::kConfirmed, ReadSetting(watch.Inner(), value), watch.Failure()};
    if (!Confirms(choice, outcome.now)) {
        outcome.verdict = outcome.failure == portable::kErrorSuccess        ? Verdict::kNotConfirmed
                          : outcome.failure == portable::kErrorAccessDenied ? Verdict::kRefused
                                                                            : Verdict::kFailed;
    }
    return outcome;
}

ChangeOutcome RunAutorunSwitch(RegistryRoutines& routines, ChangeWatch& watch, Choice choice) {
    return ApplyChoice(routines, watch, kNoDriveTypeAutoRun, choice);
}

}  // namespace policy
