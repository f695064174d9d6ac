#include "frmGraphics/effect_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "frmGraphics/presets.h"
#include "frmGraphics/random.h"
#include "portable/runtime_error.h"
#include "run_time_error.h"

namespace {

using frmGraphics::BlockMove;
using frmGraphics::BlockOffset;
using frmGraphics::EffectParameters;
using frmGraphics::NextBlockMove;
using frmGraphics::RandomGenerator;
using frmGraphics::ScreenPixels;
using frmGraphics::SourceCorner;
using portable::ErrorNumber;
using portable::RuntimeError;

constexpr float kTwoTo24 = 16777216.0f;
// The largest value the generator can return.
constexpr float kLargestR = 16777215.0f / kTwoTo24;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

using testing_support::ErrorOf;

// Hands out exactly the numbers a test wants, in order, and counts how many were taken.
class ScriptedRandom : public frmGraphics::RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    float Next() override {
        if (taken_ >= values_.size()) {
            ADD_FAILURE() << "more numbers drawn than scripted";
            return 0.0f;
        }
        return values_[taken_++];
    }
    std::size_t Taken() const { return taken_; }

  private:
    std::vector<float> values_;
    std::size_t taken_ = 0;
};

EffectParameters Preset(std::int16_t ef) {
    EffectParameters p;
    frmGraphics::ApplyPreset(ef, p);
    return p;
}

struct Span {
    int min = INT_MAX;
    int max = INT_MIN;
    void Add(int v) {
        min = std::min(min, v);
        max = std::max(max, v);
    }
};

// ---------------------------------------------------------------------------------------------

TEST(RandomGenerator, KnownStartAndRepeatableSequences) {
    RandomGenerator g;
    g.Seed(0);
    // Worked out by hand from the recurrence: the first three states after seed 0.
    EXPECT_EQ(12820163.0f, g.Next() * kTwoTo24);
    EXPECT_EQ(6000250.0f, g.Next() * kTwoTo24);
    EXPECT_EQ(1792853.0f, g.Next() * kTwoTo24);

    RandomGenerator a, b, c;
    a.Seed(987654);
    b.Seed(987654);
    c.Seed(987655);
    int differing = 0;
    for (int i = 0; i < 1000; ++i) {
        const float va = a.Next();
        ASSERT_EQ(va, b.Next()) << "draw " << i;
        if (va != c.Next()) ++differing;
    }
    EXPECT_GT(differing, 990);
}

TEST(RandomGenerator, OneFullPeriodHitsEveryStepOfTwoToMinus24Once) {
    // Every k / 2^24 exactly once means: values in [0, 1), exact floats, never 1, and the largest
    // value (2^24 - 1) / 2^24 really can come out.
    RandomGenerator g;
    g.Seed(4242);
    // Plain checks inside the loop: sixteen million assertion macros would dominate the run.
    std::vector<std::uint8_t> seen(1u << 24, 0);
    std::uint32_t outOfRange = 0, notAStep = 0, repeats = 0;
    for (std::uint32_t i = 0; i < (1u << 24); ++i) {
        const float r = g.Next();
        if (!(r >= 0.0f && r < 1.0f)) {
            ++outOfRange;
            continue;
        }
        const float scaled = r * kTwoTo24;
        if (scaled != std::floor(scaled)) {
            ++notAStep;
            continue;
        }
        if (seen[static_cast<std::uint32_t>(scaled)]++ != 0) ++repeats;
    }
    EXPECT_EQ(0u, outOfRange);
    EXPECT_EQ(0u, notAStep);
    EXPECT_EQ(0u, repeats);
    EXPECT_EQ(1, seen[0]);
    EXPECT_EQ(1, seen[(1u << 24) - 1]);
}

// ---------------------------------------------------------------------------------------------

TEST(ScreenPixels, TwipsOverTwipsPerPixelRoundedToEven) {
    EXPECT_EQ(1024, ScreenPixels(15360.0f, 15.0f));
    EXPECT_EQ(768, ScreenPixels(11520.0f, 15.0f));
    EXPECT_EQ(1280, ScreenPixels(15360.0f, 12.0f));
    EXPECT_EQ(0, ScreenPixels(1.0f, 2.0f));  // 0.5
    EXPECT_EQ(2, ScreenPixels(3.0f, 2.0f));  // 1.5
    EXPECT_EQ(2, ScreenPixels(5.0f, 2.0f));  // 2.5
    // The 16-bit limits.
    EXPECT_EQ(32767, ScreenPixels(491505.0f, 15.0f));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(491520.0f, 15.0f); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(65535.0f, 2.0f); }));  // 32767.5
    EXPECT_EQ(32767, ScreenPixels(65534.8f, 2.0f));
    EXPECT_EQ(-32768, ScreenPixels(-491520.0f, 15.0f));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(-491535.0f, 15.0f); }));
}

TEST(ScreenPixels, BadDivisionsRaiseTheMatchingError) {
    EXPECT_EQ(ErrorNumber::kDivisionByZero, ErrorOf([] { ScreenPixels(15360.0f, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kDivisionByZero, ErrorOf([] { ScreenPixels(-1.0f, -0.0f); }));
    EXPECT_EQ(ErrorNumber::kDivisionByZero, ErrorOf([] { ScreenPixels(kInf, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(0.0f, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(kNaN, 15.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(15360.0f, kNaN); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { ScreenPixels(kInf, kInf); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { ScreenPixels(kInf, 15.0f); }));
    EXPECT_EQ(0, ScreenPixels(15360.0f, kInf));
}

// ---------------------------------------------------------------------------------------------

TEST(SourceCorner, StaysWithin128OfTheFarEdgeAndGoesNegativeOnNarrowScreens) {
    EXPECT_EQ(0, SourceCorner(1024, 0.0f));
    EXPECT_EQ(448, SourceCorner(1024, 0.5f));
    EXPECT_EQ(896, SourceCorner(1024, kLargestR));
    EXPECT_EQ(640, SourceCorner(768, kLargestR));
    EXPECT_EQ(0, SourceCorner(129, 0.5f));  // 0.5 goes to the even 0
    EXPECT_EQ(2, SourceCorner(131, 0.5f));  // 1.5 goes to the even 2
    EXPECT_EQ(0, SourceCorner(128, kLargestR));
    EXPECT_EQ(0, SourceCorner(100, 0.0f));
    EXPECT_EQ(-14, SourceCorner(100, 0.5f));
    EXPECT_EQ(-28, SourceCorner(100, kLargestR));
    EXPECT_EQ(-128, SourceCorner(0, kLargestR));
    EXPECT_EQ(-228, SourceCorner(-100, kLargestR));
}

TEST(SourceCorner, ErrorsFromTheSubtractionAndTheProduct) {
    EXPECT_EQ(-32768, SourceCorner(-32640, kLargestR));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { SourceCorner(-32641, 0.0f); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { SourceCorner(1024, kNaN); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { SourceCorner(1024, kInf); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { SourceCorner(128, kInf); }));
    // Out of [0, 1) but finite: the product alone decides.
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { SourceCorner(1024, 40.0f); }));
    EXPECT_EQ(-896, SourceCorner(1024, -1.0f));
}

// ---------------------------------------------------------------------------------------------

TEST(BlockOffset, PresetZeroBoundariesBetweenMinusOneZeroAndOne) {
    const float quarter = 0.25f;
    const float threeQuarters = 0.75f;
    EXPECT_EQ(-1, BlockOffset(2, 0.0f, 1));
    EXPECT_EQ(-1, BlockOffset(2, std::nextafter(quarter, 0.0f), 1));
    EXPECT_EQ(0, BlockOffset(2, quarter, 1));        // -0.5 goes to the even 0
    EXPECT_EQ(0, BlockOffset(2, threeQuarters, 1));  // 0.5 goes to the even 0
    EXPECT_EQ(1, BlockOffset(2, std::nextafter(threeQuarters, 1.0f), 1));
    EXPECT_EQ(1, BlockOffset(2, kLargestR, 1));
}

TEST(BlockOffset, BiasSignAndZeroRange) {
    EXPECT_EQ(100, BlockOffset(2, 0.0f, -100));
    EXPECT_EQ(102, BlockOffset(2, kLargestR, -100));
    EXPECT_EQ(-1, BlockOffset(0, kLargestR, 1));
    EXPECT_EQ(-10, BlockOffset(0, 0.3f, 10));
    EXPECT_EQ(-225, BlockOffset(25, kLargestR, 250));
}

TEST(BlockOffset, ErrorsFromTheProductTheDifferenceAndTheRounding) {
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { BlockOffset(2, kNaN, 1); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(2, kInf, 1); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(-2, kInf, 1); }));
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint, ErrorOf([] { BlockOffset(0, kInf, 1); }));
    // The difference is formed in floating point, so it may leave 16 bits before the rounding.
    EXPECT_EQ(32767, BlockOffset(32767, 0.0f, -32767));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(32767, kLargestR, -32767); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(0, 0.0f, -32768); }));
    EXPECT_EQ(-32768, BlockOffset(-32767, kLargestR, 1));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { BlockOffset(-32768, kLargestR, 1); }));
}

TEST(EffectRounding, ProductAndDifferenceAreRoundedOnlyOnce) {
    // 10000 x r is 761.5 + 2^-20 exactly. As a float that product would become exactly 761.5, so
    // subtracting the bias would leave a tie at 760.5 and round down to 760.
    const float r = 1277585.0f / kTwoTo24;
    ASSERT_EQ(761.5f, 10000.0f * r);
    EXPECT_EQ(761, BlockOffset(10000, r, 1));

    // 896 x r is 316.5 + 2^-17 exactly; a float product would be the tie 316.5 and give 316.
    const float s = 5926327.0f / kTwoTo24;
    ASSERT_EQ(316.5f, 896.0f * s);
    EXPECT_EQ(317, SourceCorner(1024, s));
}

// ---------------------------------------------------------------------------------------------

TEST(NextBlockMove, DrawsFourNumbersInOrderAndAddsOffsetsToCorners) {
    ScriptedRandom random({0.5f, 0.25f, 0.75f, 0.125f});
    const BlockMove m = NextBlockMove(Preset(11), 1024, 768, random);
    EXPECT_EQ(4u, random.Taken());
    EXPECT_EQ(448, m.srcX);    // 896 / 2
    EXPECT_EQ(160, m.srcY);    // 640 / 4
    EXPECT_EQ(5, m.offsetX);   // 20 x 0.75 - 10
    EXPECT_EQ(-9, m.offsetY);  // 10 x 0.125 - 10 = -8.75
    EXPECT_EQ(453, m.dstX);
    EXPECT_EQ(151, m.dstY);
}

TEST(NextBlockMove, AllFourNumbersAreTakenEvenWhenTheFirstStepFails) {
    ScriptedRandom random({kNaN, 0.0f, 0.0f, 0.0f});
    EXPECT_EQ(ErrorNumber::kInvalidFloatingPoint,
              ErrorOf([&] { NextBlockMove(Preset(0), 1024, 768, random); }));
    EXPECT_EQ(4u, random.Taken());
}

TEST(NextBlockMove, PresetSixOverflowsTheDestinationOnVeryWideOrTallScreens) {
    const EffectParameters p = Preset(6);
    {
        // 22768 + 9999 is the largest destination that fits.
        ScriptedRandom random({kLargestR, kLargestR, kLargestR, kLargestR});
        const BlockMove m = NextBlockMove(p, 22896, 22896, random);
        EXPECT_EQ(22768, m.srcX);
        EXPECT_EQ(9999, m.offsetX);
        EXPECT_EQ(32767, m.dstX);
        EXPECT_EQ(32767, m.dstY);
    }
    {
        ScriptedRandom random({kLargestR, 0.0f, kLargestR, 0.0f});
        EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([&] { NextBlockMove(p, 22897, 600, random); }));
    }
    {
        ScriptedRandom random({0.0f, kLargestR, 0.0f, kLargestR});
        EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([&] { NextBlockMove(p, 800, 22897, random); }));
    }
    {
        // Not every draw overflows on such a screen: small numbers still give a move.
        ScriptedRandom random({0.5f, 0.5f, 0.5f, 0.5f});
        const BlockMove m = NextBlockMove(p, 22897, 22897, random);
        EXPECT_EQ(11384 + 4999, m.dstX);  // 22769 / 2 = 11384.5 goes to the even 11384
    }
}

// ---------------------------------------------------------------------------------------------

TEST(EffectStatistics, PresetZeroOffsetsAndCornersOnA1024By768Screen) {
    const EffectParameters p = Preset(0);
    RandomGenerator random;
    random.Seed(20240601);
    constexpr int kDraws = 600000;
    std::map<int, int> offsets;
    std::vector<int> cornersX(897, 0);
    Span spanX, spanY;
    for (int i = 0; i < kDraws; ++i) {
        const BlockMove m = NextBlockMove(p, 1024, 768, random);
        ++offsets[m.offsetX];
        ++offsets[m.offsetY];
        spanX.Add(m.srcX);
        spanY.Add(m.srcY);
        if (m.srcX >= 0 && m.srcX <= 896) ++cornersX[m.srcX];
    }

    // round(2r - 1): a quarter each way, a half in the middle.
    ASSERT_EQ(3u, offsets.size());
    ASSERT_EQ(1u, offsets.count(-1));
    ASSERT_EQ(1u, offsets.count(0));
    ASSERT_EQ(1u, offsets.count(1));
    EXPECT_NEAR(2.0, static_cast<double>(offsets[0]) / offsets[-1], 0.1);
    EXPECT_NEAR(2.0, static_cast<double>(offsets[0]) / offsets[1], 0.1);

    EXPECT_EQ(0, spanX.min);
    EXPECT_EQ(896, spanX.max);
    EXPECT_EQ(0, spanY.min);
    EXPECT_EQ(640, spanY.max);

    // The two end values each own only half a unit of the interval.
    const double interior = static_cast<double>(kDraws) / 896.0;
    for (int x = 1; x < 896; ++x) EXPECT_GT(cornersX[x], 0) << "corner " << x;
    EXPECT_NEAR(0.5, cornersX[0] / interior, 0.1);
    EXPECT_NEAR(0.5, cornersX[896] / interior, 0.1);
    EXPECT_NEAR(1.0, cornersX[448] / interior, 0.2);
}

TEST(EffectStatistics, OffsetsOfOtherPresetsReachBothEndsAndNoFurther) {
    struct Expected {
        std::int16_t preset;
        int minX, maxX, minY, maxY;
    };
    // range x [0, 1) - bias, rounded, worked out per preset.
    const Expected expected[] = {
        {3, -1, -1, -1, -1},   {7, -1, 999, -1, 999},  {10, -10, -10, -10, -10},
        {12, 100, 102, -2, 0}, {15, -80, -30, -10, 0}, {16, -5, -3, -10, 0},
        {17, 2, 3, -10, -9},   {19, 2, 4, -10, 0},     {21, -250, -225, -25, 0},
        {99, -1, -1, -1, -1},
    };
    RandomGenerator random;
    random.Seed(777);
    for (const Expected& e : expected) {
        const EffectParameters p = Preset(e.preset);
        Span x, y;
        for (int i = 0; i < 200000; ++i) {
            const BlockMove m = NextBlockMove(p, 1024, 768, random);
            x.Add(m.offsetX);
            y.Add(m.offsetY);
        }
        EXPECT_EQ(e.minX, x.min) << "preset " << e.preset;
        EXPECT_EQ(e.maxX, x.max) << "preset " << e.preset;
        EXPECT_EQ(e.minY, y.min) << "preset " << e.preset;
        EXPECT_EQ(e.maxY, y.max) << "preset " << e.preset;
    }
}

}  // namespace
