// A value that is either a 16-bit or 32-bit signed integer, or text. The empty text is a text
// like any other: it never stands for a number or for "no value".
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace portable {

using Variant = std::variant<std::int16_t, std::int32_t, std::string>;

// A number, or text that passes the numeric test.
bool IsNumeric(const Variant& v);

// The numeric value; text that is not numeric raises a type mismatch.
double ToDouble(const Variant& v);

// Decimal form for numbers, the text itself for text.
std::string ToText(const Variant& v);

}  // namespace portable
