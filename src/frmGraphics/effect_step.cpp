#include "frmGraphics/effect_step.h"

#include <limits>

namespace frmGraphics {

namespace {

bool Fits16(std::int32_t value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

std::optional<BlockMove> NextDrawableBlockMove(const EffectParameters& p, std::int16_t screenW,
                                               std::int16_t screenH, RandomSource& random) {
    const float r1 = random.Next();
    const float r2 = random.Next();
    const float r3 = random.Next();
    const float r4 = random.Next();

    BlockMove move{};
    move.srcX = SourceCorner(screenW, r1);
    move.srcY = SourceCorner(screenH, r2);
    move.offsetX = BlockOffset(p.intRangeX, r3, p.intBiasX);
    move.offsetY = BlockOffset(p.intRangeY, r4, p.intBiasY);
    const std::int32_t y = std::int32_t{move.srcY} + move.offsetY;
    const std::int32_t x = std::int32_t{move.srcX} + move.offsetX;
    if (!Fits16(x) || !Fits16(y)) return std::nullopt;
    move.dstX = static_cast<std::int16_t>(x);
    move.dstY = static_cast<std::int16_t>(y);
    return move;
}

}  // namespace frmGraphics
