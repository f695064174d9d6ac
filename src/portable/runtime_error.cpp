#include <portable/runtime_error.h>

namespace portable {

std::string DescribeError(ErrorNumber number) {
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

void RaiseError(ErrorNumber number) { throw RuntimeError(number, DescribeError(number)); }

}  // namespace portable
