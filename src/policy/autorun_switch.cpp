#include <policy/autorun_switch.h>

#include <utility>

namespace policy {

bool Confirms(Choice choice, const Setting& now) {
    return now.kind == (choice == Choice::kDisable ? SettingKind::kOff : SettingKind::kDefault);
}

ChangeOutcome ApplyChoice(RegistryRoutines& routines, ChangeWatch& watch, const PolicyValue& value,
                          Choice choice) {
    constexpr std::int32_t root = portable::kHKeyLocalMachine;
    watch.Reset();
    Setting before = ReadSetting(watch.Inner(), value);
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
    ChangeOutcome outcome{Verdict::kConfirmed, ReadSetting(watch.Inner(), value), watch.Failure(),
                          std::move(before)};
    if (!Confirms(choice, outcome.now)) {
        outcome.verdict = outcome.failure == portable::kErrorSuccess        ? Verdict::kNotConfirmed
                          : outcome.failure == portable::kErrorAccessDenied ? Verdict::kRefused
                                                                            : Verdict::kFailed;
    }
    return outcome;
}

bool Overruled(const ChangeOutcome& outcome, Choice choice, const Owner& owner) {
    return outcome.verdict == Verdict::kConfirmed && Overrules(owner, choice == Choice::kDisable);
}

ChangeRecord RecordOf(const PolicyValue& value, const ChangeOutcome& outcome, Choice choice,
                      const Owner& owner, Via via) {
    ChangeRecord record{&value, outcome.before, outcome.now, Logged::kConfirmed, via, ""};
    switch (outcome.verdict) {
        case Verdict::kConfirmed:
            if (Overruled(outcome, choice, owner)) {
                record.outcome = Logged::kOverruled;
                record.detail = OwnerDoes(owner);
            } else if (Confirms(choice, outcome.before)) {
                record.outcome = Logged::kAlreadySo;
            }
            break;
        case Verdict::kNotConfirmed:
            record.outcome = Logged::kNotConfirmed;
            break;
        case Verdict::kRefused:
            record.outcome = Logged::kRefused;
            record.detail = ErrorText(outcome.failure);
            break;
        case Verdict::kFailed:
            record.outcome = Logged::kFailed;
            record.detail = ErrorText(outcome.failure);
            break;
    }
    return record;
}

ChangeOutcome RunAutorunSwitch(RegistryRoutines& routines, ChangeWatch& watch, Choice choice) {
    return ApplyChoice(routines, watch, kNoDriveTypeAutoRun, choice);
}

}  // namespace policy
