#include <frmGraphics/effect_math.h>

#include <cmath>

#include <portable/numeric.h>
#include <portable/runtime_error.h>

namespace effect {

namespace {

using portable::ErrorNumber;
using portable::RaiseError;

// Every floating step is checked as it happens, so the error names the step that went wrong
// rather than surfacing later as a generic overflow in the final rounding.
double Checked(double value) {
    if (std::isnan(value)) RaiseError(ErrorNumber::kInvalidFloatingPoint);
    if (std::isinf(value)) RaiseError(ErrorNumber::kOverflow);
    return value;
}

double CheckedDivide(double dividend, double divisor) {
    if (divisor == 0.0) {
        // 0 / 0 has no value at all; anything else over zero is a true division by zero.
        if (dividend == 0.0 || std::isnan(dividend)) RaiseError(ErrorNumber::kInvalidFloatingPoint);
        RaiseError(ErrorNumber::kDivisionByZero);
    }
    return Checked(dividend / divisor);
}

// 16-bit integers enter floating expressions as singles; widening to double afterwards is exact.
double AsSingle(std::int16_t value) { return static_cast<float>(value); }

}  // namespace

std::int16_t ScreenPixels(float twips, float twipsPerPixel) {
    return portable::CInt(CheckedDivide(twips, twipsPerPixel));
}

std::int16_t SourceCorner(std::int16_t screenPixels, float r) {
    const std::int16_t span = portable::Sub16(screenPixels, kSourceInset);
    return portable::CInt(Checked(AsSingle(span) * static_cast<double>(r)));
}

std::int16_t BlockOffset(std::int16_t range, float r, std::int16_t bias) {
    // With the generator's values (multiples of 2^-24) the product and the difference need at
    // most 40 bits, so both are exact in double and only the final rounding happens. Rounding the
    // product to single first could turn a value just past a half into an exact tie.
    const double product = Checked(AsSingle(range) * static_cast<double>(r));
    return portable::CInt(Checked(product - AsSingle(bias)));
}

BlockMove NextBlockMove(const EffectParameters& p, std::int16_t screenW, std::int16_t screenH,
                        RandomSource& random) {
    const float r1 = random.Next();
    const float r2 = random.Next();
    const float r3 = random.Next();
    const float r4 = random.Next();

    BlockMove move{};
    move.srcX = SourceCorner(screenW, r1);
    move.srcY = SourceCorner(screenH, r2);
    move.offsetX = BlockOffset(p.intRangeX, r3, p.intBiasX);
    move.offsetY = BlockOffset(p.intRangeY, r4, p.intBiasY);
    move.dstY = portable::Add16(move.srcY, move.offsetY);
    move.dstX = portable::Add16(move.srcX, move.offsetX);
    return move;
}

}  // namespace effect
