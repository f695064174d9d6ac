// The numeric text reader and the conversions on any bytes: they decide whether a registry write
// becomes a number or text, so they must never crash, and rounding moves a value by a half at most
// or raises an overflow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <portable/numeric.h>
#include <portable/runtime_error.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto number = portable::ParseNumber({reinterpret_cast<const char*>(data), size});
    if (!number) return 0;
    try {
        const double rounded = portable::CLng(*number);
        if (rounded - *number > 0.5 || *number - rounded > 0.5) std::abort();
        portable::CInt(*number);
    } catch (const portable::RuntimeError& e) {
        if (e.Number() != portable::ErrorNumber::kOverflow) std::abort();
    }
    return 0;
}
