// The arithmetic of one step of the desktop shiver: pick a 128-pixel-inset point of the screen
// copy, nudge it by a random offset and move a block from one to the other. It keeps the
// program's number rules: 16-bit integers, single-precision operands, intermediate results in
// double precision rounded once (to nearest, ties to even), and run-time errors instead of
// wrapped or saturated values.
#pragma once

#include <cstdint>

#include <frmGraphics/presets.h>
#include <frmGraphics/random.h>

namespace effect {

// The source corners keep this far from the right and bottom edges, whatever the block size.
inline constexpr std::int16_t kSourceInset = 128;

// Screen size in pixels from its size in twips. Raises kDivisionByZero for a zero divisor,
// kInvalidFloatingPoint for 0 / 0 or NaN, kOverflow when the result is infinite or does not fit
// in 16 bits.
std::int16_t ScreenPixels(float twips, float twipsPerPixel);

// (screenPixels - 128) x r, rounded. A screen narrower than 128 gives corners at or below zero.
std::int16_t SourceCorner(std::int16_t screenPixels, float r);

// range x r - bias, rounded.
std::int16_t BlockOffset(std::int16_t range, float r, std::int16_t bias);

struct BlockMove {
    std::int16_t srcX, srcY, offsetX, offsetY, dstX, dstY;
};

// Draws four numbers (source x, source y, offset x, offset y, in that order) before any
// arithmetic, then forms the destination y before x. The block to move is the parameters'
// intBlockWidth x intBlockHeight from (srcX, srcY) to (dstX, dstY).
BlockMove NextBlockMove(const EffectParameters& p, std::int16_t screenW, std::int16_t screenH,
                        RandomSource& random);

}  // namespace effect
