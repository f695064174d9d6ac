// The command line splitter on any line: whatever it makes of one, its words quoted back by the
// rules (as deployment tools and PowerShell quote each argument) must split into the same words,
// and the switch parser must take any of them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <policy/command_line.h>
#include <portable/command_words.h>

namespace {

// How a caller quotes one argument so that Windows' rules give it back unchanged.
std::wstring Quoted(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) return word;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    return quoted.append(2 * backslashes, L'\\') + L"\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes become the characters the rules are about, and a few others.
    static constexpr wchar_t kAlphabet[] = L" \t\"\\a/-\u00e9";
    std::wstring line;
    for (std::size_t i = 0; i < size; ++i) line += kAlphabet[data[i] % 8];
    const std::vector<std::wstring> words = portable::SplitCommandLine(line);
    if (words.empty()) std::abort();
    policy::ParseCommandLine(std::vector<std::wstring>(words.begin() + 1, words.end()));

    std::wstring again = L"t";
    for (std::size_t i = 1; i < words.size(); ++i) again += L" " + Quoted(words[i]);
    std::vector<std::wstring> back = portable::SplitCommandLine(again);
    back.front() = words.front();
    if (back != words) std::abort();
    return 0;
}
