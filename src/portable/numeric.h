// Numeric test and conversions shared by the registry routines and the effect arithmetic.
// Rounding always goes to the nearest integer with ties to the even neighbour; a result that
// does not fit raises an overflow run-time error.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace portable {

// Text counts as numeric when, after surrounding spaces, it holds an optional sign, digits with
// at most one decimal point, and an optional exponent. Tabs and other white space do not count.
std::optional<double> ParseNumber(std::string_view text);
inline bool IsNumericText(std::string_view text) { return ParseNumber(text).has_value(); }

double RoundHalfEven(double value);

// Round, then check the range: NaN, infinities and out-of-range results raise an overflow.
std::int16_t CInt(double value);
std::int32_t CLng(double value);

// 16-bit integer sums and differences with the overflow check.
std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);

}  // namespace portable
