#include "frmGraphics/effect_step.h"

#include "platform/runtime_error.h"

namespace frmGraphics {

std::optional<BlockMove> NextDrawableBlockMove(const EffectParameters& p, std::int16_t screenW,
                                               std::int16_t screenH, RandomSource& random) {
    // NextBlockMove draws its four numbers before any arithmetic, so a skipped block leaves the
    // sequence as it was. Only the destination sums can overflow for any screen Windows reports.
    try {
        return NextBlockMove(p, screenW, screenH, random);
    } catch (const platform::RuntimeError& e) {
        if (e.Number() != platform::ErrorNumber::kOverflow) throw;
        return std::nullopt;
    }
}

}  // namespace frmGraphics
