#include "frmGraphics/presets.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using frmGraphics::EffectParameters;

// rangeX, rangeY, biasX, biasY, blockWidth, blockHeight as a fresh object ends up after a preset.
using Row = std::array<int, 6>;

Row Fields(const EffectParameters& p) {
    return {p.intRangeX, p.intRangeY, p.intBiasX, p.intBiasY, p.intBlockWidth, p.intBlockHeight};
}

constexpr std::array<Row, 22> kExpected = {{
    {2, 2, 1, 1, 128, 128},          // 0
    {20, 20, 1, 1, 128, 128},        // 1
    {9, 9, 1, 1, 128, 128},          // 2
    {0, 0, 1, 1, 128, 128},          // 3
    {3, 3, 1, 1, 128, 128},          // 4
    {5, 5, 1, 1, 128, 128},          // 5
    {10000, 10000, 1, 1, 128, 128},  // 6
    {1000, 1000, 1, 1, 128, 128},    // 7
    {10, 2, 1, 1, 128, 128},         // 8
    {2, 10, 1, 1, 128, 128},         // 9
    {0, 0, 10, 10, 128, 128},        // 10
    {20, 10, 10, 10, 128, 128},      // 11
    {2, 2, -100, 2, 128, 128},       // 12
    {2, 2, 1, 1, 100, 10},           // 13
    {10, 8, 1, 1, 100, 10},          // 14
    {50, 10, 80, 10, 1, 25},         // 15
    {2, 10, 5, 10, 12, 1},           // 16
    {1, 1, -2, 10, 1, 1},            // 17
    {5, 5, -2, 10, 8, 4},            // 18
    {2, 10, -2, 10, 200, 4},         // 19
    {30, 30, 10, 10, 10, 10},        // 20
    {25, 25, 250, 25, 25, 255},      // 21
}};

TEST(EffectPresets, EveryNumberedPresetOnAFreshObject) {
    for (std::size_t ef = 0; ef < kExpected.size(); ++ef) {
        EffectParameters p;
        frmGraphics::ApplyPreset(static_cast<std::int16_t>(ef), p);
        EXPECT_EQ(kExpected[ef], Fields(p)) << "preset " << ef;
    }
}

TEST(EffectPresets, UnknownNumbersGiveOnlyTheDefaults) {
    for (std::int16_t ef :
         {std::int16_t{-1}, std::int16_t{22}, std::int16_t{32767}, std::int16_t{-32768}}) {
        EffectParameters fresh;
        frmGraphics::ApplyPreset(ef, fresh);
        EXPECT_EQ((Row{0, 0, 1, 1, 128, 128}), Fields(fresh)) << "preset " << ef;

        // The ranges have no default, so whatever was there stays.
        EffectParameters used{7, -3, 40, 41, 5, 6};
        frmGraphics::ApplyPreset(ef, used);
        EXPECT_EQ((Row{7, -3, 1, 1, 128, 128}), Fields(used)) << "preset " << ef;
    }
}

TEST(EffectPresets, PresetTenKeepsRangesAlreadySet) {
    EffectParameters p;
    frmGraphics::ApplyPreset(6, p);
    frmGraphics::ApplyPreset(10, p);
    EXPECT_EQ((Row{10000, 10000, 10, 10, 128, 128}), Fields(p));

    EffectParameters odd{-5, 300, 0, 0, 0, 0};
    frmGraphics::ApplyPreset(10, odd);
    EXPECT_EQ((Row{-5, 300, 10, 10, 128, 128}), Fields(odd));
}

TEST(EffectPresets, ReapplyingResetsBiasAndBlockLeftByAnEarlierPreset) {
    EffectParameters p;
    frmGraphics::ApplyPreset(21, p);
    frmGraphics::ApplyPreset(0, p);
    EXPECT_EQ(kExpected[0], Fields(p));

    frmGraphics::ApplyPreset(15, p);
    frmGraphics::ApplyPreset(13, p);
    EXPECT_EQ(kExpected[13], Fields(p));
}

}  // namespace
