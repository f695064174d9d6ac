#include <portable/runtime_error.h>

namespace portable {

namespace {

const char* Description(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::kOverflow:
            return "Overflow";
        case ErrorNumber::kDivisionByZero:
            return "Division by zero";
        case ErrorNumber::kTypeMismatch:
            return "Type mismatch";
        case ErrorNumber::kInvalidFloatingPoint:
            return "Invalid procedure call or argument";
    }
    return "Application-defined or object-defined error";
}

}  // namespace

std::string DescribeError(ErrorNumber number) { return Description(number); }

const char* RuntimeError::what() const noexcept { return Description(number_); }

void RaiseError(ErrorNumber number) { throw RuntimeError(number); }

}  // namespace portable
