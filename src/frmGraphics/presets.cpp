#include <frmGraphics/presets.h>

#include <array>

namespace effect {

namespace {

constexpr EffectParameters kDefaults{0, 0, 1, 1, 128, 128};
// The one preset that changes only the lean: its ranges stay as a previous preset left them.
constexpr std::int16_t kLeanOnly = 10;

// clang-format off
constexpr std::array<EffectParameters, 22> kPresets{{
    // range x, y    bias x, y    block width, height
    {2, 2,          1, 1,        128, 128},
    {20, 20,        1, 1,        128, 128},
    {9, 9,          1, 1,        128, 128},
    {0, 0,          1, 1,        128, 128},
    {3, 3,          1, 1,        128, 128},
    {5, 5,          1, 1,        128, 128},
    {10000, 10000,  1, 1,        128, 128},
    {1000, 1000,    1, 1,        128, 128},
    {10, 2,         1, 1,        128, 128},
    {2, 10,         1, 1,        128, 128},
    {0, 0,          10, 10,      128, 128},  // kLeanOnly
    {20, 10,        10, 10,      128, 128},
    {2, 2,          -100, 2,     128, 128},
    {2, 2,          1, 1,        100, 10},
    {10, 8,         1, 1,        100, 10},
    {50, 10,        80, 10,      1, 25},
    {2, 10,         5, 10,       12, 1},
    {1, 1,          -2, 10,      1, 1},
    {5, 5,          -2, 10,      8, 4},
    {2, 10,         -2, 10,      200, 4},
    {30, 30,        10, 10,      10, 10},
    {25, 25,        250, 25,     25, 255},
}};
// clang-format on

}  // namespace

void ApplyPreset(std::int16_t ef, EffectParameters& p) {
    const bool known = ef >= 0 && ef < static_cast<int>(kPresets.size());
    const EffectParameters earlier = p;
    p = known ? kPresets[static_cast<std::size_t>(ef)] : kDefaults;
    if (!known || ef == kLeanOnly) {
        p.intRangeX = earlier.intRangeX;
        p.intRangeY = earlier.intRangeY;
    }
}

}  // namespace effect
