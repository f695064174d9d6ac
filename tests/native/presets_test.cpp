// The presets' quirks; what each preset does shows in the arithmetic of the effect's tests.
#include "frmGraphics/presets.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using effect::ApplyPreset;

std::array<int, 6> Fields(const effect::EffectParameters& p) {
    return {p.intRangeX, p.intRangeY, p.intBiasX, p.intBiasY, p.intBlockWidth, p.intBlockHeight};
}

TEST(EffectPresets, TheRangesHaveNoDefaultButBiasAndBlockDo) {
    // Unknown numbers give only the defaults; preset 10 sets only the bias.
    for (std::int16_t ef : {-32768, -1, 10, 22, 32767}) {
        effect::EffectParameters p{7, -3, 40, 41, 5, 6};
        ApplyPreset(ef, p);
        const int bias = ef == 10 ? 10 : 1;
        EXPECT_EQ((std::array{7, -3, bias, bias, 128, 128}), Fields(p)) << "preset " << ef;
    }
    effect::EffectParameters p;
    ApplyPreset(21, p);
    ApplyPreset(0, p);
    EXPECT_EQ((std::array{2, 2, 1, 1, 128, 128}), Fields(p));
}

}  // namespace
