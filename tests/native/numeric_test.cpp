#include "platform/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/runtime_error.h"
#include "run_time_error.h"
#include "platform/variant.h"

namespace {

using platform::ErrorNumber;
using platform::RuntimeError;

using testing_support::ErrorOf;

TEST(NumericText, AcceptsSignDigitsPointExponentAndSurroundingSpaces) {
    for (const char* text :
         {"12", "  12 ", "-7", "+7", "2.5", ".5", "5.", "1e3", "1E+3", "-2.5e-1", "0", "  255"}) {
        EXPECT_TRUE(platform::IsNumericText(text)) << '"' << text << '"';
    }
    EXPECT_DOUBLE_EQ(-0.25, *platform::ParseNumber("-2.5e-1"));
    EXPECT_DOUBLE_EQ(255, *platform::ParseNumber("  255 "));
}

TEST(NumericText, RejectsEverythingElse) {
    // strtod would take several of these (hex, inf, nan, leading tab); the program must not.
    for (const char* text : {"", " ", "abc", "  abc ", "1 2", "1e", "e3", ".", "-", "0x10", "inf",
                             "nan", "\t5", "5\t", "1.2.3", "12abc", "1e999"}) {
        EXPECT_FALSE(platform::IsNumericText(text)) << '"' << text << '"';
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(2, platform::CLng(2.5));
    EXPECT_EQ(4, platform::CLng(3.5));
    EXPECT_EQ(-2, platform::CLng(-2.5));
    EXPECT_EQ(0, platform::CInt(-0.5));
    EXPECT_EQ(1, platform::CInt(0.5000001));
    EXPECT_EQ(-1, platform::CInt(-0.75));
}

TEST(Rounding, OutOfRangeIsAnOverflowAtTheExactLimits) {
    EXPECT_EQ(32767, platform::CInt(32767.4));
    EXPECT_EQ(-32768, platform::CInt(-32768.5));  // ties to even: stays in range
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::CInt(32767.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::CInt(-32769); }));
    EXPECT_EQ(2147483647, platform::CLng(2147483647.0));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::CLng(2147483647.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::CLng(-2147483649.0); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::CInt(std::nan("")); }));
}

TEST(SixteenBitArithmetic, SumsAndDifferencesOverflowOutsideTheRange) {
    EXPECT_EQ(32767, platform::Add16(32766, 1));
    EXPECT_EQ(-32768, platform::Sub16(-32767, 1));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::Add16(32767, 1); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { platform::Sub16(-32768, 1); }));
}

TEST(VariantValue, KeepsNumbersTextAndEmptyTextApart) {
    EXPECT_TRUE(platform::IsEmptyText(platform::Variant(std::string())));
    EXPECT_FALSE(platform::IsEmptyText(platform::Variant(std::int32_t{0})));
    EXPECT_FALSE(platform::IsNumeric(platform::Variant(std::string())));
    EXPECT_TRUE(platform::EqualsNumber(platform::Variant(std::int16_t{255}), 255));
    EXPECT_TRUE(platform::EqualsNumber(platform::Variant(std::string(" 255.0 ")), 255));
    EXPECT_FALSE(platform::EqualsNumber(platform::Variant(std::string("FF")), 255));
    EXPECT_FALSE(platform::EqualsNumber(platform::Variant(std::string()), 0));
    EXPECT_EQ(ErrorNumber::kTypeMismatch,
              ErrorOf([] { platform::ToDouble(platform::Variant(std::string("x"))); }));
}

}  // namespace
