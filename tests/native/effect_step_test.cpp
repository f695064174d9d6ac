#include "frmGraphics/effect_step.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "frmGraphics/presets.h"
#include "portable/runtime_error.h"

namespace {

class Numbers : public frmGraphics::RandomSource {
  public:
    explicit Numbers(std::vector<float> values) : values_(std::move(values)) {}
    float Next() override { return values_.at(taken++); }
    std::size_t taken = 0;

  private:
    std::vector<float> values_;
};

constexpr float kLargest = 16777215.0f / 16777216.0f;

TEST(NextDrawableBlockMove, SkipsOnlyABlockThatWouldOverflowAndStaysInStep) {
    frmGraphics::EffectParameters p;
    frmGraphics::ApplyPreset(6, p);
    // Preset 6 on a screen 32000 pixels wide: corner 31872 plus an offset near 9999 passes 32767,
    // which would end the program; the block is left out instead, its four numbers used up.
    Numbers numbers({kLargest, 0.0f, kLargest, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_FALSE(frmGraphics::NextDrawableBlockMove(p, 32000, 768, numbers).has_value());
    EXPECT_EQ(4u, numbers.taken);
    const auto next = frmGraphics::NextDrawableBlockMove(p, 32000, 768, numbers);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(-1, next->dstX);
    EXPECT_EQ(-1, next->dstY);

    // Other run-time errors are not swallowed.
    Numbers broken({std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, 0.0f});
    EXPECT_THROW(frmGraphics::NextDrawableBlockMove(p, 1024, 768, broken), portable::RuntimeError);
}

}  // namespace
