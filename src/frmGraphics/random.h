// Where the shiver gets its random numbers. The effect only needs single-precision values in
// [0, 1); tests hand it scripted values through the same interface.
#pragma once

#include <cstdint>

namespace effect {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A single-precision value in [0, 1).
    virtual float Next() = 0;
};

// A 24-bit linear congruential generator: every result is k / 2^24 for an integer k, so it is an
// exact float and never reaches 1. The state walks through all 2^24 values before repeating.
class RandomGenerator : public RandomSource {
  public:
    // Only the low 24 bits of the seed matter: seeds that agree there give the same sequence.
    void Seed(std::uint32_t seed);
    float Next() override;

  private:
    std::uint32_t state_ = 0;
};

}  // namespace effect
