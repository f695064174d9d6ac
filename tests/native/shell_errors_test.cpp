#include "frmAbout/shell_errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>

namespace {

using frmAbout::ShellFailureText;

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

}  // namespace
