// The numeric test and conversions on any text: they decide whether a registry write becomes a
// number or text, so they must never crash, and must agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "portable/numeric.h"
#include "portable/runtime_error.h"
#include "portable/variant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const portable::Variant value = text;
    const bool numeric = portable::IsNumeric(value);
    if (numeric != portable::ParseNumber(text).has_value()) std::abort();
    try {
        const double number = portable::ToDouble(value);
        if (!numeric) std::abort();  // non-numeric text must raise a type mismatch
        try {
            const std::int32_t wide = portable::CLng(number);
            // Half to even never moves a value by more than a half.
            if (static_cast<double>(wide) - number > 0.5 ||
                number - static_cast<double>(wide) > 0.5) {
                std::abort();
            }
        } catch (const portable::RuntimeError& e) {
            if (e.Number() != portable::ErrorNumber::kOverflow) std::abort();
        }
        try {
            portable::CInt(number);
        } catch (const portable::RuntimeError& e) {
            if (e.Number() != portable::ErrorNumber::kOverflow) std::abort();
        }
    } catch (const portable::RuntimeError& e) {
        if (numeric || e.Number() != portable::ErrorNumber::kTypeMismatch) std::abort();
    }
    return 0;
}
