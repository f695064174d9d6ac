#include "policy/autorun_switch.h"

#include <variant>

#include "portable/registry_api.h"

namespace policy {

bool RunAutorunSwitch(RegistryRoutines& routines, Choice choice, const ClosingActions& actions) {
    constexpr std::int32_t root = portable::kHKeyLocalMachine;
    bool confirmed = false;
    if (choice == Choice::kDisable) {
        if (!routines.regDoes_Key_Exist(root, kPolicyKeyPath)) {
            routines.regCreate_A_Key(root, kPolicyKeyPath);
        }
        routines.regCreate_Key_Value(root, kPolicyKeyPath, kPolicyValueName, kAllDrivesOff);
        // Only the read-back tells whether the write took: a refused write is noticed here. Only
        // a REG_DWORD counts, since that is what Explorer reads: text "255" left behind by some
        // other program is not the policy, however the routines would convert it.
        const portable::Variant readBack =
            routines.regQuery_A_Key(root, kPolicyKeyPath, kPolicyValueName);
        const auto* number = std::get_if<std::int32_t>(&readBack);
        confirmed = number != nullptr && *number == kAllDrivesOff;
    } else {
        routines.regDelete_Sub_Key(root, kPolicyKeyPath, kPolicyValueName);
        // A refused deletion must not be reported as success: look again before saying so.
        confirmed = routines.regValue_Is_Gone(root, kPolicyKeyPath, kPolicyValueName);
    }
    if (confirmed) {
        actions.ShowMessage(kUpdateSuccessful);
        actions.EndProcess();
    }
    return confirmed;
}

}  // namespace policy
