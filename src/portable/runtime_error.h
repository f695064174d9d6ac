// Run-time errors of the program's own arithmetic and conversions. They are raised as exceptions
// and, when no handler catches one, reported by the window layer before the program ends.
#pragma once

#include <exception>
#include <string>

namespace portable {

enum class ErrorNumber : int {
    kOverflow = 6,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kInvalidFloatingPoint = 5,
};

// Its text is a fixed one per number: std::runtime_error's own string copy would bring the C++
// library's old string implementation into the program for nothing.
class RuntimeError : public std::exception {
  public:
    explicit RuntimeError(ErrorNumber number) : number_(number) {}
    ErrorNumber Number() const { return number_; }
    const char* what() const noexcept override;

  private:
    ErrorNumber number_;
};

[[noreturn]] void RaiseError(ErrorNumber number);

// The text a user sees when an error reaches the top of an event handler.
std::string DescribeError(ErrorNumber number);

}  // namespace portable
