#include <frmGraphics/random.h>

namespace effect {

namespace {

constexpr std::uint32_t kMultiplier = 0x43FD43FDu;
constexpr std::uint32_t kIncrement = 0xC39EC3u;
constexpr std::uint32_t kStateMask = 0xFFFFFFu;
constexpr float kStates = 16777216.0f;  // 2^24

}  // namespace

void RandomGenerator::Seed(std::uint32_t seed) { state_ = seed & kStateMask; }

float RandomGenerator::Next() {
    // Unsigned arithmetic wraps modulo 2^32, and 2^24 divides that, so masking afterwards gives
    // the step modulo 2^24 without a wider type.
    state_ = (state_ * kMultiplier + kIncrement) & kStateMask;
    return static_cast<float>(state_) / kStates;
}

}  // namespace effect
