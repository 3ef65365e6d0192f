#include "cad/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cad/automation_error.h"

namespace korvena {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(LeadingNumber(L"125"), 125);
    EXPECT_EQ(LeadingNumber(L"-2.5"), -2.5);
    EXPECT_EQ(LeadingNumber(L"+7"), 7);
    EXPECT_EQ(LeadingNumber(L".5"), 0.5);
    EXPECT_EQ(LeadingNumber(L"125.8m"), 125.8);
    EXPECT_EQ(LeadingNumber(L"0.1"), 0.1);  // correctly rounded, like a literal
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(LeadingNumber(L"12,5"), 12);  // a comma ends the number whatever the locale
    EXPECT_EQ(LeadingNumber(L"1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber(L"12E"), 12);
    EXPECT_EQ(LeadingNumber(L"12E+"), 12);
    EXPECT_EQ(LeadingNumber(L"3-4"), 3);
    EXPECT_EQ(LeadingNumber(L"5（米）"), 5);
}

TEST(LeadingNumber, RemovesBlanksTabsAndLineFeedsEverywhere) {
    EXPECT_EQ(LeadingNumber(L"  1 2 3"), 123);
    EXPECT_EQ(LeadingNumber(L"\t-\n1 . 5"), -1.5);
    EXPECT_EQ(LeadingNumber(L"\r12"), 0);  // a carriage return is not a blank
}

TEST(LeadingNumber, GivesZeroWithoutANumber) {
    EXPECT_EQ(LeadingNumber(L""), 0);
    EXPECT_EQ(LeadingNumber(L"高程125"), 0);
    EXPECT_EQ(LeadingNumber(L"-"), 0);
    EXPECT_EQ(LeadingNumber(L"."), 0);
    EXPECT_EQ(LeadingNumber(L"&"), 0);
    EXPECT_EQ(LeadingNumber(L"&Hxyz"), 0);
}

TEST(LeadingNumber, ReadsExponentsWithEOrD) {
    EXPECT_EQ(LeadingNumber(L"1D3"), 1000);
    EXPECT_EQ(LeadingNumber(L"1e3"), 1000);
    EXPECT_EQ(LeadingNumber(L"2.5E-2"), 0.025);
    EXPECT_EQ(LeadingNumber(L"1d+0002"), 100);
    EXPECT_EQ(LeadingNumber(L"1E-400"), 0);
}

TEST(LeadingNumber, ReadsHexadecimalAndOctal) {
    EXPECT_EQ(LeadingNumber(L"&H1F"), 31);
    EXPECT_EQ(LeadingNumber(L"&hff"), 255);
    EXPECT_EQ(LeadingNumber(L"&O17"), 15);
    EXPECT_EQ(LeadingNumber(L"&o78"), 7);
}

TEST(LeadingNumber, NumbersBeyondADoubleOverflow) {
    try {
        LeadingNumber(L"1E400");
        FAIL() << "no overflow";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), error_number::kOverflow);
    }
    EXPECT_THROW(LeadingNumber(L"9999999999E999999999999"), AutomationError);
}

TEST(ColourNumber, RoundsHalvesToEven) {
    EXPECT_EQ(ColourNumber(L"2.5"), 2);
    EXPECT_EQ(ColourNumber(L"3.5"), 4);
    EXPECT_EQ(ColourNumber(L"-2.5"), -2);
    EXPECT_EQ(ColourNumber(L"7.5"), 8);
    EXPECT_EQ(ColourNumber(L"6.5"), 6);
    EXPECT_EQ(ColourNumber(L"250"), 250);
    EXPECT_EQ(ColourNumber(L"abc"), 0);
}

TEST(ColourNumber, OverflowsOutsideSixteenBits) {
    EXPECT_EQ(ColourNumber(L"32767"), 32767);
    EXPECT_EQ(ColourNumber(L"-32768.5"), -32768);
    EXPECT_THROW(ColourNumber(L"32767.5"), AutomationError);
    EXPECT_THROW(ColourNumber(L"40000"), AutomationError);
    EXPECT_THROW(ColourNumber(L"-32769"), AutomationError);
}

TEST(NumberText, WritesTheGeneralForm) {
    EXPECT_EQ(NumberText(250.0), L"250");
    EXPECT_EQ(NumberText(-3.0), L"-3");
    EXPECT_EQ(NumberText(0.0), L"0");
    EXPECT_EQ(NumberText(-0.0), L"0");
    EXPECT_EQ(NumberText(0.5), L".5");
    EXPECT_EQ(NumberText(-0.25), L"-.25");
    EXPECT_EQ(NumberText(110.0), L"110");
    EXPECT_EQ(NumberText(125.8), L"125.8");
    EXPECT_EQ(NumberText(0.1 + 0.2), L".3");  // fifteen significant digits
    EXPECT_EQ(NumberText(123456789012345.0), L"123456789012345");
}

TEST(NumberText, WritesExponentsWithTwoDigitsAtLeast) {
    EXPECT_EQ(NumberText(1e16), L"1E+16");
    EXPECT_EQ(NumberText(1e-5), L"1E-05");
    EXPECT_EQ(NumberText(1.5e100), L"1.5E+100");
    EXPECT_EQ(NumberText(-2.5e-7), L"-2.5E-07");
    EXPECT_EQ(NumberText(1234567890123456.0), L"1.23456789012346E+15");
}

TEST(NumberText, SinglePrecisionKeepsSevenDigits) {
    EXPECT_EQ(NumberText(0.7055475f), L".7055475");
    EXPECT_EQ(NumberText(0.1f), L".1");
    EXPECT_EQ(NumberText(1e-5f), L"1E-05");
    EXPECT_EQ(NumberText(0.0f), L"0");
}

std::int32_t ErrorNumberOf(double (*read)(std::wstring_view), std::wstring_view text) {
    try {
        read(text);
    } catch (const AutomationError& e) {
        return e.Number();
    }
    return 0;
}

TEST(TextNumber, ReadsPlainDecimalNumbersWithAPointOnly) {
    EXPECT_EQ(TextNumber(L"87.6"), 87.6);
    EXPECT_EQ(TextNumber(L"123.45"), 123.45);
    EXPECT_EQ(TextNumber(L"\t+.5 "), 0.5);
    EXPECT_EQ(TextNumber(L"  -12 "), -12.0);
    EXPECT_EQ(TextNumber(L"5."), 5.0);
    EXPECT_EQ(TextNumber(L"1E3"), 1000.0);
    for (const wchar_t* text : {L"abc", L".", L"", L"- 5", L"123,45", L"1 234", L"12a", L"inf", L"nan",
                                L"0x10", L"&H10", L"高程125", L"1e", L"1,5"}) {
        EXPECT_EQ(ErrorNumberOf(TextNumber, text), error_number::kTypeMismatch) << text;
    }
    EXPECT_EQ(ErrorNumberOf(TextNumber, L"1e999"), error_number::kOverflow);
}

TEST(TextNumber, ReadsNumbersTooSmallForADoubleAsZeroNotAsOverflow) {
    EXPECT_EQ(TextNumber(L"1E-400"), 0.0);
    EXPECT_EQ(TextNumber(L"-1e-400"), 0.0);
    EXPECT_EQ(TextNumber(L"0.0000000001e-320"), 0.0);
    EXPECT_EQ(TextNumber(L"1e-99999999999999999999"), 0.0);
    EXPECT_EQ(TextNumber(L"0e99999999999999999999"), 0.0);
    EXPECT_EQ(TextNumber(L"4.94065645841247E-324"), std::numeric_limits<double>::denorm_min());
    for (const wchar_t* text : {L"1E+400", L"-1e99999999999999999999", L"1.79769313486232E+308"})
        EXPECT_EQ(ErrorNumberOf(TextNumber, text), error_number::kOverflow) << text;
}

TEST(DisplayNumberText, WritesAZeroBeforeThePointAndNoLocaleSeparators) {
    EXPECT_EQ(DisplayNumberText(125.5), L"125.5");
    EXPECT_EQ(DisplayNumberText(0.5), L"0.5");
    EXPECT_EQ(DisplayNumberText(-0.25), L"-0.25");
    EXPECT_EQ(DisplayNumberText(-1), L"-1");
    EXPECT_EQ(DisplayNumberText(130), L"130");
    EXPECT_EQ(DisplayNumberText(0), L"0");
    EXPECT_EQ(DisplayNumberText(1234567.125), L"1234567.125");
    EXPECT_EQ(DisplayNumberText(0.1 + 0.2), L"0.3");  // 15 significant digits
    // What the sequential command reads back is what was picked.
    for (double x : {125.5, 0.5, -0.25, 130.0, 1e-7, 4.5e20})
        EXPECT_EQ(LeadingNumber(DisplayNumberText(x)), x);
}

}  // namespace
}  // namespace korvena
