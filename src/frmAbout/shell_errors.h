// What the About window tells the user when a document it tries to open does not open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace frmAbout {

// The shell reports success with any value above 32. For 32 and below this gives the message to
// show; codes with no message of their own, negative ones included, read "Unknown error".
std::optional<std::string> ShellFailureText(std::int32_t code);

}  // namespace frmAbout
