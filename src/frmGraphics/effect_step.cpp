#include <frmGraphics/effect_step.h>

#include <portable/runtime_error.h>

namespace effect {

std::optional<BlockMove> NextDrawableBlockMove(const EffectParameters& p, std::int16_t screenW,
                                               std::int16_t screenH, RandomSource& random) {
    // NextBlockMove draws its four numbers before any arithmetic, so a skipped block leaves the
    // sequence as it was. Only the destination sums can overflow for any screen Windows reports.
    try {
        return NextBlockMove(p, screenW, screenH, random);
    } catch (const portable::RuntimeError& e) {
        if (e.Number() != portable::ErrorNumber::kOverflow) throw;
        return std::nullopt;
    }
}

}  // namespace effect
