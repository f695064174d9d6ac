#include "policy/autorun_switch.h"

#include "portable/registry_api.h"

namespace policy {

namespace {

void ReportSuccessAndEnd(const ClosingActions& actions) {
    actions.ShowMessage(kUpdateSuccessful);
    actions.EndProcess();
}

}  // namespace

void RunAutorunSwitch(RegistryRoutines& routines, Choice choice, const ClosingActions& actions) {
    constexpr std::int32_t root = portable::kHKeyLocalMachine;
    if (choice == Choice::kDisable) {
        if (!routines.regDoes_Key_Exist(root, kPolicyKeyPath)) {
            routines.regCreate_A_Key(root, kPolicyKeyPath);
        }
        routines.regCreate_Key_Value(root, kPolicyKeyPath, kPolicyValueName, kAllDrivesOff);
        // Only the read-back tells whether the write took: a refused write is noticed here.
        const portable::Variant readBack =
            routines.regQuery_A_Key(root, kPolicyKeyPath, kPolicyValueName);
        if (portable::EqualsNumber(readBack, kAllDrivesOff)) ReportSuccessAndEnd(actions);
        return;
    }

    routines.regDelete_Sub_Key(root, kPolicyKeyPath, kPolicyValueName);
    // A refused deletion must not be reported as success: look again before saying so.
    if (routines.regValue_Is_Gone(root, kPolicyKeyPath, kPolicyValueName)) {
        ReportSuccessAndEnd(actions);
    }
}

}  // namespace policy
