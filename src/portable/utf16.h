// UTF-16 as the registry and policy files store text, and UTF-8 as the policy layer carries it
// (lines, window texts). Conversions never fail: what cannot be decoded becomes U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace portable {

// Little-endian UTF-16 code units from bytes; an odd last byte is dropped.
std::u16string FromLittleEndian(const std::uint8_t* bytes, std::size_t size);
std::vector<std::uint8_t> ToLittleEndian(std::u16string_view text);

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Code points of UTF-16 text in order; an unpaired surrogate comes out as itself, so that a
// caller can refuse to show it.
std::vector<char32_t> CodePoints(std::u16string_view text);
void AppendUtf8(std::string& out, char32_t c);

// ASCII letters folded to lower case, everything else as it is: how value and key names are
// compared (every name this program looks for is ASCII).
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace portable
