// The numbered looks of the desktop shiver: how far each block may wander from where it was
// copied, which way it leans, and how big a block is.
#pragma once

#include <cstdint>

namespace effect {

struct EffectParameters {
    // Each block moves by a random amount in [0, range) less the bias, horizontally and vertically.
    std::int16_t intRangeX = 0;
    std::int16_t intRangeY = 0;
    std::int16_t intBiasX = 0;
    std::int16_t intBiasY = 0;
    // Size in pixels of the piece of screen moved at each step.
    std::int16_t intBlockWidth = 0;
    std::int16_t intBlockHeight = 0;
};

// Puts the defaults (bias 1, 128 x 128 blocks) into p, then the values of preset ef when it is one
// of 0..21. The ranges have no default: a preset that does not name them, or an unknown number,
// leaves whatever p already held.
void ApplyPreset(std::int16_t ef, EffectParameters& p);

}  // namespace effect
