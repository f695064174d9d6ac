// The shiver's presets and its arithmetic at its boundaries: the 16-bit limits, ties, the error of
// each step.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include <frmGraphics/effect_step.h>
#include <native/run_time_error.h>

namespace {

using namespace effect;
using portable::ErrorNumber;
using testing_support::ErrorOf;

constexpr float kTwoTo24 = 16777216.0f;
constexpr float kLargest = 16777215.0f / kTwoTo24;  // the largest value the generator gives
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// Hands out exactly the numbers a test wants, in order.
struct Numbers : RandomSource {
    explicit Numbers(std::vector<float> v) : values(std::move(v)) {}
    float Next() override { return values.at(taken++); }
    std::vector<float> values;
    std::size_t taken = 0;
};

EffectParameters Preset(std::int16_t ef) {
    EffectParameters p;
    ApplyPreset(ef, p);
    return p;
}

// What each preset does shows in the arithmetic below; these are its quirks.
TEST(EffectPresets, TheRangesHaveNoDefaultButBiasAndBlockDo) {
    const auto fields = [](const EffectParameters& p) {
        return std::vector<int>{p.intRangeX, p.intRangeY,     p.intBiasX,
                                p.intBiasY,  p.intBlockWidth, p.intBlockHeight};
    };
    // Unknown numbers give only the defaults; preset 10 sets only the bias.
    for (std::int16_t ef : {-32768, -1, 10, 22, 32767}) {
        EffectParameters p{7, -3, 40, 41, 5, 6};
        ApplyPreset(ef, p);
        const int bias = ef == 10 ? 10 : 1;
        EXPECT_EQ((std::vector{7, -3, bias, bias, 128, 128}), fields(p)) << "preset " << ef;
    }
    EffectParameters p;
    ApplyPreset(21, p);
    ApplyPreset(0, p);
    EXPECT_EQ((std::vector{2, 2, 1, 1, 128, 128}), fields(p));
}

TEST(RandomGenerator, KnownStartAndOnlyTheLow24BitsOfTheSeed) {
    RandomGenerator g, same;
    g.Seed(0);
    same.Seed(1u << 24);
    // Worked out by hand from the recurrence: the first three states after seed 0.
    for (float state : {12820163.0f, 6000250.0f, 1792853.0f}) {
        const float r = g.Next();
        EXPECT_EQ(state, r * kTwoTo24);
        EXPECT_EQ(r, same.Next());
    }
}

TEST(EffectSteps, SixteenBitLimitsTiesAndTheErrorOfEachStep) {
    EXPECT_EQ(32767, ScreenPixels(491505.0f, 15.0f));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(65535.0f, 2.0f); }));  // 32767.5
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(kInf, 15.0f); }));
    EXPECT_EQ(ErrorNumber::kDivisionByZero, ErrorOf([] { ScreenPixels(-1.0f, -0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(0.0f, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(kNaN, 0.0f); }));

    EXPECT_EQ(896, SourceCorner(1024, kLargest));  // 128 from the far edge
    EXPECT_EQ(0, SourceCorner(129, 0.5f));         // 0.5 goes to the even 0
    EXPECT_EQ(-14, SourceCorner(100, 0.5f));       // narrow screens give negative corners
    EXPECT_EQ(-32768, SourceCorner(-32640, kLargest));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { SourceCorner(-32641, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { SourceCorner(128, kInf); }));

    // Preset 0: round(2r - 1) changes at r = 1/4 and 3/4, both ties going to the even 0.
    EXPECT_EQ(-1, BlockOffset(2, std::nextafter(0.25f, 0.0f), 1));
    EXPECT_EQ(0, BlockOffset(2, 0.25f, 1));
    EXPECT_EQ(0, BlockOffset(2, 0.75f, 1));
    EXPECT_EQ(1, BlockOffset(2, std::nextafter(0.75f, 1.0f), 1));
    // The difference is formed in floating point, so it may leave 16 bits before the rounding.
    EXPECT_EQ(32767, BlockOffset(32767, 0.0f, -32767));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(32767, kLargest, -32767); }));
    EXPECT_EQ(-32768, BlockOffset(-32767, kLargest, 1));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(-32768, kLargest, 1); }));
}

TEST(EffectSteps, ProductAndDifferenceAreRoundedOnlyOnce) {
    // 10000 x r is 761.5 + 2^-20 exactly; as a float it would be the tie 761.5, giving 760.
    const float r = 1277585.0f / kTwoTo24;
    ASSERT_EQ(761.5f, 10000.0f * r);
    EXPECT_EQ(761, BlockOffset(10000, r, 1));
    // 896 x s is 316.5 + 2^-17 exactly; a float product would be the tie 316.5 and give 316.
    const float s = 5926327.0f / kTwoTo24;
    ASSERT_EQ(316.5f, 896.0f * s);
    EXPECT_EQ(317, SourceCorner(1024, s));
}

TEST(NextBlockMove, DrawsFourNumbersFirstAndAddsOffsetsToCorners) {
    Numbers numbers({0.5f, 0.25f, 0.75f, 0.125f});
    const BlockMove m = NextBlockMove(Preset(11), 1024, 768, numbers);
    EXPECT_EQ((std::vector<int>{448, 160, 5, -9, 453, 151}),
              (std::vector<int>{m.srcX, m.srcY, m.offsetX, m.offsetY, m.dstX, m.dstY}));
    Numbers broken({kNaN, 0.0f, 0.0f, 0.0f});
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint,
              ErrorOf([&] { NextBlockMove(Preset(0), 1024, 768, broken); }));
    EXPECT_EQ(4u, broken.taken);
}

// Preset 6 overflows the destination on screens over 22896 pixels; such a block is left out,
// its four numbers used up, and other errors still end the step.
TEST(NextDrawableBlockMove, SkipsOnlyABlockThatWouldOverflowAndStaysInStep) {
    Numbers fits({kLargest, kLargest, kLargest, kLargest});
    EXPECT_EQ(32767, NextDrawableBlockMove(Preset(6), 22896, 22896, fits)->dstY);
    Numbers tall({0.0f, kLargest, 0.0f, kLargest}),
        wide({kLargest, 0.0f, kLargest, 0.0f, 0, 0, 0, 0});
    EXPECT_FALSE(NextDrawableBlockMove(Preset(6), 800, 22897, tall));
    EXPECT_FALSE(NextDrawableBlockMove(Preset(6), 22897, 600, wide));
    EXPECT_EQ(-1, NextDrawableBlockMove(Preset(6), 22897, 600, wide)->dstX);
    Numbers broken({kNaN, 0.0f, 0.0f, 0.0f});
    EXPECT_THROW(NextDrawableBlockMove(Preset(6), 1024, 768, broken), portable::RuntimeError);
}

}  // namespace
