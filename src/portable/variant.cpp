#include <portable/variant.h>

#include <portable/numeric.h>
#include <portable/runtime_error.h>

namespace portable {

bool IsNumeric(const Variant& v) {
    if (const auto* text = std::get_if<std::string>(&v)) return IsNumericText(*text);
    return true;
}

double ToDouble(const Variant& v) {
    if (const auto* i16 = std::get_if<std::int16_t>(&v)) return *i16;
    if (const auto* i32 = std::get_if<std::int32_t>(&v)) return *i32;
    const auto parsed = ParseNumber(std::get<std::string>(v));
    if (!parsed) RaiseError(ErrorNumber::kTypeMismatch);
    return *parsed;
}

std::string ToText(const Variant& v) {
    if (const auto* i16 = std::get_if<std::int16_t>(&v)) return std::to_string(*i16);
    if (const auto* i32 = std::get_if<std::int32_t>(&v)) return std::to_string(*i32);
    return std::get<std::string>(v);
}

}  // namespace portable
