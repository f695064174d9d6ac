#include "frmAbout/shell_errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>

namespace {

using frmAbout::ShellFailureText;
using frmAbout::ShellResultCode;

TEST(ShellFailureText, NamedCodesAndUnknownOnesUpToThirtyTwo) {
    const std::map<std::int32_t, std::string> named = {
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {31, "No association for file extension"},
        {32, "DLL not found"},
    };
    for (std::int32_t code = -1; code <= 32; ++code) {
        const auto text = ShellFailureText(code);
        ASSERT_TRUE(text.has_value()) << "code " << code;
        const auto it = named.find(code);
        EXPECT_EQ(it == named.end() ? "Unknown error" : it->second, *text) << "code " << code;
    }
    EXPECT_EQ("Unknown error", ShellFailureText(std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ("Unknown error", ShellFailureText(-32));
}

TEST(ShellFailureText, AnythingAboveThirtyTwoIsSuccess) {
    for (std::int32_t code = 33; code <= 40; ++code) {
        EXPECT_FALSE(ShellFailureText(code).has_value()) << "code " << code;
    }
    for (std::int32_t code : {42, 100000, std::numeric_limits<std::int32_t>::max()}) {
        EXPECT_FALSE(ShellFailureText(code).has_value()) << "code " << code;
    }
}

// The shell answers with a pointer-sized value; what counts is that whole value against 32.
TEST(ShellResultCode, JudgesTheWholeAnswerBeforeCuttingItTo32Bits) {
    for (std::int32_t code : {std::numeric_limits<std::int32_t>::min(), -1, 0, 2, 32, 33, 42,
                              std::numeric_limits<std::int32_t>::max()}) {
        EXPECT_EQ(code, ShellResultCode(code));
    }
    if (sizeof(std::intptr_t) == 4) GTEST_SKIP() << "the answer is 32 bits wide here";

    // Successes whose low 32 bits alone would read 0, "File not found" and a negative code.
    for (std::int64_t success : {0x1'0000'0000LL, 0x1'0000'0002LL, 0x8000'0000LL}) {
        const auto code = ShellResultCode(static_cast<std::intptr_t>(success));
        EXPECT_GT(code, 32) << std::hex << success;
        EXPECT_FALSE(ShellFailureText(code).has_value()) << std::hex << success;
    }
    // A failure whose low 32 bits alone would read 40, a success.
    const auto failure = ShellResultCode(static_cast<std::intptr_t>(-0x1'0000'0000LL + 40));
    EXPECT_EQ("Unknown error", ShellFailureText(failure));
}

}  // namespace
