#include "portable/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "portable/runtime_error.h"
#include "run_time_error.h"
#include "portable/variant.h"

namespace {

using portable::ErrorNumber;
using portable::RuntimeError;

using testing_support::ErrorOf;

TEST(NumericText, AcceptsSignDigitsPointExponentAndSurroundingSpaces) {
    for (const char* text :
         {"12", "  12 ", "-7", "+7", "2.5", ".5", "5.", "1e3", "1E+3", "-2.5e-1", "0", "  255"}) {
        EXPECT_TRUE(portable::IsNumericText(text)) << '"' << text << '"';
    }
    EXPECT_DOUBLE_EQ(-0.25, *portable::ParseNumber("-2.5e-1"));
    EXPECT_DOUBLE_EQ(255, *portable::ParseNumber("  255 "));
}

TEST(NumericText, RejectsEverythingElse) {
    // strtod would take several of these (hex, inf, nan, leading tab); the program must not.
    for (const char* text : {"", " ", "abc", "  abc ", "1 2", "1e", "e3", ".", "-", "0x10", "inf",
                             "nan", "\t5", "5\t", "1.2.3", "12abc", "1e999"}) {
        EXPECT_FALSE(portable::IsNumericText(text)) << '"' << text << '"';
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(2, portable::CLng(2.5));
    EXPECT_EQ(4, portable::CLng(3.5));
    EXPECT_EQ(-2, portable::CLng(-2.5));
    EXPECT_EQ(0, portable::CInt(-0.5));
    EXPECT_EQ(1, portable::CInt(0.5000001));
    EXPECT_EQ(-1, portable::CInt(-0.75));
}

TEST(Rounding, OutOfRangeIsAnOverflowAtTheExactLimits) {
    EXPECT_EQ(32767, portable::CInt(32767.4));
    EXPECT_EQ(-32768, portable::CInt(-32768.5));  // ties to even: stays in range
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::CInt(32767.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::CInt(-32769); }));
    EXPECT_EQ(2147483647, portable::CLng(2147483647.0));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::CLng(2147483647.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::CLng(-2147483649.0); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::CInt(std::nan("")); }));
}

TEST(SixteenBitArithmetic, SumsAndDifferencesOverflowOutsideTheRange) {
    EXPECT_EQ(32767, portable::Add16(32766, 1));
    EXPECT_EQ(-32768, portable::Sub16(-32767, 1));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::Add16(32767, 1); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::Sub16(-32768, 1); }));
}

TEST(VariantValue, KeepsNumbersTextAndEmptyTextApart) {
    EXPECT_TRUE(portable::IsEmptyText(portable::Variant(std::string())));
    EXPECT_FALSE(portable::IsEmptyText(portable::Variant(std::int32_t{0})));
    EXPECT_FALSE(portable::IsNumeric(portable::Variant(std::string())));
    EXPECT_TRUE(portable::EqualsNumber(portable::Variant(std::int16_t{255}), 255));
    EXPECT_TRUE(portable::EqualsNumber(portable::Variant(std::string(" 255.0 ")), 255));
    EXPECT_FALSE(portable::EqualsNumber(portable::Variant(std::string("FF")), 255));
    EXPECT_FALSE(portable::EqualsNumber(portable::Variant(std::string()), 0));
    EXPECT_EQ(ErrorNumber::kTypeMismatch,
              ErrorOf([] { portable::ToDouble(portable::Variant(std::string("x"))); }));
}

}  // namespace
