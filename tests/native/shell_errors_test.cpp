#include <frmAbout/shell_errors.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using about::ShellFailureText;
using about::ShellResultCode;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

// The shell succeeds only above 32: 32 itself is "DLL not found".
TEST(ShellFailureText, ThirtyTwoIsTheLastFailureAndUnnamedCodesAreUnknown) {
    EXPECT_EQ("No association for file extension", ShellFailureText(31));
    EXPECT_EQ("DLL not found", ShellFailureText(32));
    EXPECT_FALSE(ShellFailureText(33));
    for (std::int32_t code : {kMin32, -1, 0, 4, 25}) {
        EXPECT_EQ("Unknown error", ShellFailureText(code)) << code;
    }
}

// The shell answers with a pointer-sized value; what counts is that whole value against 32.
TEST(ShellResultCode, JudgesTheWholeAnswerBeforeCuttingItTo32Bits) {
    for (std::int32_t code : {kMin32, 32, 33, kMax32}) EXPECT_EQ(code, ShellResultCode(code));
    if (sizeof(std::intptr_t) == 4) GTEST_SKIP() << "the answer is 32 bits wide here";
    // Successes whose low 32 bits alone would read 0, "File not found" and a negative code, and
    // a failure whose low 32 bits would read 40, a success.
    for (std::int64_t success : {0x1'0000'0000LL, 0x1'0000'0002LL, 0x8000'0000LL}) {
        EXPECT_EQ(kMax32, ShellResultCode(static_cast<std::intptr_t>(success))) << success;
    }
    EXPECT_EQ(kMin32, ShellResultCode(static_cast<std::intptr_t>(-0x1'0000'0000LL + 40)));
}

}  // namespace
