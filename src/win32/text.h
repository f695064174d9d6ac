// UTF-8, as the policy layer carries text, to and from the UTF-16 that Windows' wide functions
// take. One pair for the whole runtime.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace win32
