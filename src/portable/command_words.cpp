#include <portable/command_words.h>

namespace portable {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;

    // The program's name: no escapes, since a path cannot hold a quote.
    std::wstring name;
    if (i < line.size() && line[i] == L'"') {
        ++i;
        while (i < line.size() && line[i] != L'"') name += line[i++];
        if (i < line.size()) ++i;
    } else {
        while (i < line.size() && !IsBlank(line[i])) name += line[i++];
    }
    words.push_back(std::move(name));

    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::wstring word;
        // Quotes seen in the current run: 1 while inside quotes; three in a row give a quote.
        int quotes = 0;
        std::size_t backslashes = 0;
        while (i < line.size() && (quotes != 0 || !IsBlank(line[i]))) {
            const wchar_t c = line[i];
            if (c == L'\\') {
                word += c;
                ++backslashes;
                ++i;
                continue;
            }
            if (c != L'"') {
                word += c;
                backslashes = 0;
                ++i;
                continue;
            }
            // A quote: the backslashes before it are halved; an odd one out escapes the quote.
            word.resize(word.size() - backslashes / 2);
            const bool escaped = backslashes % 2 == 1;
            backslashes = 0;
            ++i;
            if (escaped) {
                word.back() = L'"';
                continue;
            }
            ++quotes;
            while (i < line.size() && line[i] == L'"') {
                if (++quotes == 3) {
                    word += L'"';
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2) quotes = 0;
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace portable
