// The numeric test and conversions on any text: they decide whether a registry write becomes a
// number or text, so they must never crash, and must agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/numeric.h"
#include "platform/runtime_error.h"
#include "platform/variant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const platform::Variant value = text;
    const bool numeric = platform::IsNumeric(value);
    if (numeric != platform::ParseNumber(text).has_value()) std::abort();
    try {
        const double number = platform::ToDouble(value);
        if (!numeric) std::abort();  // non-numeric text must raise a type mismatch
        try {
            const std::int32_t wide = platform::CLng(number);
            // Half to even never moves a value by more than a half.
            if (static_cast<double>(wide) - number > 0.5 ||
                number - static_cast<double>(wide) > 0.5) {
                std::abort();
            }
        } catch (const platform::RuntimeError& e) {
            if (e.Number() != platform::ErrorNumber::kOverflow) std::abort();
        }
        try {
            platform::CInt(number);
        } catch (const platform::RuntimeError& e) {
            if (e.Number() != platform::ErrorNumber::kOverflow) std::abort();
        }
    } catch (const platform::RuntimeError& e) {
        if (numeric || e.Number() != platform::ErrorNumber::kTypeMismatch) std::abort();
    }
    return 0;
}
