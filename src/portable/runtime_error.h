// Run-time errors of the program's own arithmetic and conversions. They are raised as exceptions
// and, when no handler catches one, reported by the window layer before the program ends.
#pragma once

#include <stdexcept>
#include <string>

namespace portable {

enum class ErrorNumber : int {
    kOverflow = 6,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kInvalidFloatingPoint = 5,
};

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(ErrorNumber number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    ErrorNumber Number() const { return number_; }

  private:
    ErrorNumber number_;
};

[[noreturn]] void RaiseError(ErrorNumber number);

// The text a user sees when an error reaches the top of an event handler.
std::string DescribeError(ErrorNumber number);

}  // namespace portable
