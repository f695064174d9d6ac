// One step of the shiver as the window performs it.
#pragma once

#include <cstdint>
#include <optional>

#include <frmGraphics/effect_math.h>
#include <frmGraphics/presets.h>
#include <frmGraphics/random.h>

namespace effect {

// Like NextBlockMove, except for a destination corner outside the 16-bit range: there it gives
// nothing instead of an overflow error. Such a block cannot touch the window, which is at most
// 32767 pixels across, so leaving it out draws exactly what clipping would have drawn, where the
// error would have ended the program (preset 6 on a screen over 22896 pixels, for one). The four
// numbers are drawn either way, so the steps after a skipped one stay the same.
std::optional<BlockMove> NextDrawableBlockMove(const EffectParameters& p, std::int16_t screenW,
                                               std::int16_t screenH, RandomSource& random);

}  // namespace effect
