// The command line against Windows itself: words cut as CommandLineToArgvW cuts them.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <portable/command_words.h>

namespace {

TEST(CommandWords, CutExactlyAsCommandLineToArgvW) {
    const wchar_t* lines[] = {
        L"t",
        L"t /status",
        L"\"C:\\a b\\t.exe\" \"/status\"",
        L"\"C:\\a b\\t.exe\"/x y",
        L"C:\\a\"b c",
        L"t  a\t\tb  ",
        L"t \"\"",
        L"t \"\" \"\"",
        L"t a\\\\b",
        L"t a\\\\\"b c\"",
        L"t a\\\\\\\"b",
        L"t a\\\\\\\\\"b c\" d",
        L"t \"a\"\"b\"",
        L"t \"a\"\"\"b\"",
        L"t \"\"\"\" x",
        L"t \"\"\"\"\"\" x",
        L"t a\"\"b c",
        L"t \"unclosed  words",
        L"t \"end\\\\\"",
        L"t \\\"/status\\\"",
        L"t /st\"a\"tus",
        L"t \u00e9\u4e2d \"\u00e9 x\"",
    };
    for (const wchar_t* line : lines) {
        int count = 0;
        wchar_t** argv = CommandLineToArgvW(line, &count);
        ASSERT_NE(nullptr, argv);
        const std::vector<std::wstring> windows(argv, argv + count);
        LocalFree(argv);
        EXPECT_EQ(windows, portable::SplitCommandLine(line)) << line;
    }
}

}  // namespace
