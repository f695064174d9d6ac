#include <portable/numeric.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <portable/runtime_error.h>

namespace portable {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

template <typename T>
T RoundChecked(double value) {
    if (std::isnan(value)) RaiseError(ErrorNumber::kOverflow);
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max())) {
        RaiseError(ErrorNumber::kOverflow);
    }
    return static_cast<T>(rounded);
}

std::int16_t Checked16(std::int32_t wide) {
    if (wide < -32768 || wide > 32767) RaiseError(ErrorNumber::kOverflow);
    return static_cast<std::int16_t>(wide);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    const std::string_view body = text.substr(begin, end - begin);

    // Validate the shape ourselves: strtod would also take hex, "inf", "nan" and leading tabs.
    std::size_t i = 0;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < body.size() && IsDigit(body[i])) ++i, ++digits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && IsDigit(body[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < body.size() && IsDigit(body[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != body.size()) return std::nullopt;

    const std::string copy(body);
    const double value = std::strtod(copy.c_str(), nullptr);
    // A number too large for a double is not a number the program can use.
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int16_t CInt(double value) { return RoundChecked<std::int16_t>(value); }
std::int32_t CLng(double value) { return RoundChecked<std::int32_t>(value); }

std::int16_t Add16(std::int16_t a, std::int16_t b) {
    return Checked16(static_cast<std::int32_t>(a) + b);
}
std::int16_t Sub16(std::int16_t a, std::int16_t b) {
    return Checked16(static_cast<std::int32_t>(a) - b);
}

}  // namespace portable
