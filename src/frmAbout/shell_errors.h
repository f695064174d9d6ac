// What the About window tells the user when a document it tries to open does not open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace about {

// The shell reports success with any value above 32. For 32 and below this gives the message to
// show; codes with no message of their own, negative ones included, read "Unknown error".
std::optional<std::string> ShellFailureText(std::int32_t code);

// The shell answers with a pointer-sized value. Cut to 32 bits as it stands, a success code
// such as 0x1'0000'0000 would read 0, a failure; so the comparison with 32 is made on the full
// value and only what fits is kept, a success that does not fit becoming the largest 32-bit
// code.
std::int32_t ShellResultCode(std::intptr_t shellResult);

}  // namespace about
