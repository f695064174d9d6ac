#include <portable/numeric.h>

#include <gtest/gtest.h>

#include <cmath>

#include <native/run_time_error.h>

namespace {

using portable::CInt;
using portable::CLng;
using portable::ErrorNumber;
using testing_support::ErrorOf;

TEST(NumericText, SignDigitsPointAndExponentBetweenSpacesAndNothingElse) {
    for (const char* text : {"  12 ", "-7", "+7", ".5", "5.", "1E+3", "1e5"}) {
        EXPECT_TRUE(portable::IsNumericText(text)) << '"' << text << '"';
    }
    EXPECT_DOUBLE_EQ(-0.25, *portable::ParseNumber(" -2.5e-1 "));
    // strtod would take several of these (hex, inf, nan, a leading tab); the program must not.
    for (const char* text : {"", " ", "1 2", "1e", "e3", ".", "-", "0x10", "inf", "nan", "\t5",
                             "5\t", "1.2.3", "12abc", "1e999"}) {
        EXPECT_FALSE(portable::IsNumericText(text)) << '"' << text << '"';
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndOverflowOnlyPastTheLimits) {
    EXPECT_EQ(2, CLng(2.5));
    EXPECT_EQ(-4, CLng(-3.5));
    EXPECT_EQ(1, CInt(0.5000001));
    EXPECT_EQ(32766, CInt(32766.5));
    EXPECT_EQ(-32768, CInt(-32768.5));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { CInt(32767.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { CInt(-32769); }));
    EXPECT_EQ(-2147483647 - 1, CLng(-2147483648.5));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { CLng(2147483647.5); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { CLng(-2147483649.0); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { CInt(std::nan("")); }));
}

TEST(SixteenBitArithmetic, SumsAndDifferencesOverflowOnlyPastTheLimits) {
    EXPECT_EQ(32767, portable::Add16(32766, 1));
    EXPECT_EQ(-32768, portable::Sub16(-32767, 1));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::Add16(32767, 1); }));
    EXPECT_EQ(ErrorNumber::kOverflow, ErrorOf([] { portable::Sub16(-32768, 1); }));
}

}  // namespace
