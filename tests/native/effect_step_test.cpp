#include "frmGraphics/effect_step.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "frmGraphics/effect_math.h"
#include "frmGraphics/presets.h"
#include "frmGraphics/random.h"
#include "platform/runtime_error.h"

namespace {

using frmGraphics::BlockMove;
using frmGraphics::EffectParameters;
using frmGraphics::NextBlockMove;
using frmGraphics::NextDrawableBlockMove;
using frmGraphics::RandomGenerator;
using platform::ErrorNumber;
using platform::RuntimeError;

EffectParameters Preset(std::int16_t ef) {
    EffectParameters p;
    frmGraphics::ApplyPreset(ef, p);
    return p;
}

// The step of the arithmetic itself on the same numbers: the move, or nothing where it raises
// an overflow.
std::optional<BlockMove> Reference(const EffectParameters& p, std::int16_t w, std::int16_t h,
                                   RandomGenerator& random) {
    try {
        return NextBlockMove(p, w, h, random);
    } catch (const RuntimeError& e) {
        EXPECT_EQ(ErrorNumber::kOverflow, e.Number());
        return std::nullopt;
    }
}

struct Outcome {
    int drawn = 0;
    int skipped = 0;
};

// Runs both side by side from one seed; they must agree step for step and stay in step.
Outcome Compare(std::int16_t ef, std::int16_t w, std::int16_t h, int steps) {
    const EffectParameters p = Preset(ef);
    RandomGenerator mine, reference;
    mine.Seed(4242);
    reference.Seed(4242);
    Outcome outcome;
    for (int i = 0; i < steps; ++i) {
        const auto got = NextDrawableBlockMove(p, w, h, mine);
        const auto want = Reference(p, w, h, reference);
        if (!want && !got) {
            ++outcome.skipped;
            continue;
        }
        const bool same = want && got && want->srcX == got->srcX && want->srcY == got->srcY &&
                          want->dstX == got->dstX && want->dstY == got->dstY;
        if (!same) {
            ADD_FAILURE() << "preset " << ef << " on " << w << " x " << h << ", step " << i
                          << ": not what NextBlockMove gives (" << (want ? "a move" : "an overflow")
                          << ")";
            return outcome;
        }
        ++outcome.drawn;
    }
    EXPECT_EQ(reference.Next(), mine.Next()) << "the two fell out of step";
    return outcome;
}

TEST(NextDrawableBlockMove, SameMovesAsTheArithmeticWhereNothingOverflows) {
    for (std::int16_t ef = -1; ef <= 22; ++ef) {
        EXPECT_EQ(0, Compare(ef, 1024, 768, 2000).skipped) << "preset " << ef;
        // Narrower than the 128-pixel inset: the corners go negative.
        EXPECT_EQ(0, Compare(ef, 100, 60, 500).skipped) << "preset " << ef;
    }
}

TEST(NextDrawableBlockMove, PresetSixOnAHugeScreenSkipsOnlyTheBlocksThatWouldOverflow) {
    // A corner of up to 31872 plus an offset of up to 9999 passes 32767 about one time in eight
    // on each axis.
    const Outcome o = Compare(6, 32000, 32000, 20000);
    EXPECT_GT(o.skipped, 3000);
    EXPECT_GT(o.drawn, 10000);
    // One axis is enough.
    EXPECT_GT(Compare(6, 32000, 600, 5000).skipped, 300);
    EXPECT_GT(Compare(6, 800, 32000, 5000).skipped, 300);
}

}  // namespace
