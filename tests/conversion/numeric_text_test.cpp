#include "conversion/numeric_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace
{

using namespace std::string_literals;

// Sentinels that no accepted text below produces: an untouched output keeps them.
constexpr double kUntouchedDouble = 777.25;
constexpr std::int32_t kUntouchedInt = 7777;

void ExpectDoubleAccepted(const std::string& text, double expected)
{
    double dValue = kUntouchedDouble;
    EXPECT_TRUE(ParseDouble(text, dValue)) << '"' << text << '"';
    EXPECT_EQ(dValue, expected) << '"' << text << '"'; // exact: every expected value is what atof gives
}

void ExpectDoubleRejected(const std::string& text)
{
    double dValue = kUntouchedDouble;
    EXPECT_FALSE(ParseDouble(text, dValue)) << '"' << text << '"';
    EXPECT_EQ(dValue, kUntouchedDouble) << "output changed for \"" << text << '"';
}

void ExpectIntAccepted(const std::string& text, std::int32_t expected)
{
    std::int32_t nValue = kUntouchedInt;
    EXPECT_TRUE(ParseInt(text, nValue)) << '"' << text << '"';
    EXPECT_EQ(nValue, expected) << '"' << text << '"';
}

void ExpectIntRejected(const std::string& text)
{
    std::int32_t nValue = kUntouchedInt;
    EXPECT_FALSE(ParseInt(text, nValue)) << '"' << text << '"';
    EXPECT_EQ(nValue, kUntouchedInt) << "output changed for \"" << text << '"';
}

// printf in the "C" locale (the test program never calls setlocale) is the
// independent oracle for the fixed-point text.
std::string PrintfFixed(double value, int decimals)
{
    const int nLength = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string text(static_cast<std::size_t>(nLength) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.resize(static_cast<std::size_t>(nLength));
    return text;
}

} // namespace

TEST(DecimalField, AcceptsEveryTextMadeOfDigitsPointsAndSignsAsAtofReadsIt)
{
    ExpectDoubleAccepted("12.5", 12.5);
    ExpectDoubleAccepted("  12.5  ", 12.5);
    ExpectDoubleAccepted("\t12.5\r\n\v\f", 12.5);
    ExpectDoubleAccepted("-12.50", -12.5);
    ExpectDoubleAccepted("180", 180.0);
    ExpectDoubleAccepted("5.", 5.0);
    ExpectDoubleAccepted("+.5", 0.5);
    // The check is by character, not by syntax: the reading stops early.
    ExpectDoubleAccepted("1-2", 1.0);
    ExpectDoubleAccepted("1.2.3", 1.2);
    ExpectDoubleAccepted("12.5+", 12.5);
    ExpectDoubleAccepted("--5", 0.0);
    ExpectDoubleAccepted(".", 0.0);
    ExpectDoubleAccepted("-", 0.0);
    // An empty or blank decimal field is 0, unlike an empty integer field.
    ExpectDoubleAccepted("", 0.0);
    ExpectDoubleAccepted("   ", 0.0);
}

TEST(DecimalField, RejectsExponentsCommasInnerBlanksAndOtherCharacters)
{
    ExpectDoubleRejected("12,5");
    ExpectDoubleRejected("1e5");
    ExpectDoubleRejected("1E5");
    ExpectDoubleRejected("5 0");
    ExpectDoubleRejected("12.5 m");
    ExpectDoubleRejected("inf");
    ExpectDoubleRejected("0x10");
    ExpectDoubleRejected("1\0"s);     // a NUL is not a blank
    ExpectDoubleRejected("12\xC2\xB0"); // degree sign
}

TEST(DecimalField, MinusZeroKeepsItsSignSoThatNoLowerLimitOfZeroRejectsIt)
{
    double dValue = kUntouchedDouble;
    ASSERT_TRUE(ParseDouble("-0", dValue));
    EXPECT_EQ(dValue, 0.0);
    EXPECT_TRUE(std::signbit(dValue));
    EXPECT_FALSE(dValue < 0.0);
}

TEST(DecimalField, DigitStringsBeyondTheDoubleRangeGiveInfinityNeverNan)
{
    const std::string strHuge(400, '9');
    ExpectDoubleAccepted(strHuge, HUGE_VAL);
    ExpectDoubleAccepted("-" + strHuge, -HUGE_VAL);
    // Many digits that still fit are read exactly: 1 followed by 300 zeros.
    ExpectDoubleAccepted("1" + std::string(300, '0'), 1e300);
    ExpectDoubleAccepted("0." + std::string(400, '0') + "1", 0.0); // 1e-401 underflows to 0
}

TEST(IntegerField, AcceptsDigitsBetweenBlanksAndBlanksAlone)
{
    ExpectIntAccepted("60", 60);
    ExpectIntAccepted(" 42\t", 42);
    ExpectIntAccepted("0007", 7);
    ExpectIntAccepted("4000000", 4000000);
    ExpectIntAccepted("   ", 0);
    ExpectIntAccepted("2147483647", INT32_MAX);
}

TEST(IntegerField, RejectsTheEmptyTextSignsPointsAndInnerBlanks)
{
    ExpectIntRejected("");
    ExpectIntRejected("-5");
    ExpectIntRejected("+5");
    ExpectIntRejected("12.5");
    ExpectIntRejected("1 2");
    ExpectIntRejected("1e3");
    ExpectIntRejected("0x1F");
}

TEST(IntegerField, DigitStringsBeyondThirtyTwoBitsSaturateAtTheLargestValue)
{
    // Never negative, so an upper limit reports "too large", never "too small".
    ExpectIntAccepted("2147483648", INT32_MAX);
    ExpectIntAccepted("4294967296", INT32_MAX); // would wrap to 0 modulo 2^32
    ExpectIntAccepted("99999999999999999999999999", INT32_MAX);
}

TEST(LenientDecimal, ReadsTheLeadingNumberAndStopsAtTheFirstUnfitCharacter)
{
    const struct
    {
        const char* text;
        double expected;
    } rows[] = {
        {"  -12.5e2xyz", -1250.0},
        {"1.5E-1", 0.15},
        {"+3e+2", 300.0},
        {"28.1235'O", 28.1235},
        {"47.8595,12.4687", 47.8595},
        {"1e", 1.0},  // an exponent without digits is not part of the number
        {"1e+", 1.0},
        {"2.e1", 20.0},
        {".5", 0.5},
        {"", 0.0},
        {"abc", 0.0},
        {". 5", 0.0},
        {"-.e5", 0.0},
        {"inf", 0.0}, // only digits make numbers here: no infinity, NaN or hex text
        {"nan", 0.0},
        {"0x1p3", 0.0},
        {"1e-310", 1e-310}, // subnormal, kept as strtod keeps it
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScanLeadingDouble(row.text), row.expected) << '"' << row.text << '"';
}

TEST(LenientDecimal, OutOfRangeMagnitudesGiveInfinityOrZeroLikeStrtod)
{
    EXPECT_EQ(ScanLeadingDouble("1e400"), HUGE_VAL);
    EXPECT_EQ(ScanLeadingDouble("-1e400"), -HUGE_VAL);
    EXPECT_EQ(ScanLeadingDouble("1e99999999999999999999999"), HUGE_VAL);
    EXPECT_EQ(ScanLeadingDouble("0.001e310"), 1e307);
    EXPECT_EQ(ScanLeadingDouble("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(ScanLeadingDouble("-1e-400")));
    EXPECT_EQ(ScanLeadingDouble("1e-99999999999999999999999"), 0.0);
    EXPECT_EQ(ScanLeadingDouble("0." + std::string(500, '0') + "1e600"), 1e99);
    EXPECT_EQ(ScanLeadingDouble("0e99999"), 0.0);
}

TEST(LenientInteger, ReadsSignAndDigitsAndSaturatesBeyondThirtyTwoBits)
{
    const struct
    {
        const char* text;
        std::int32_t expected;
    } rows[] = {
        {" -42abc", -42},
        {"+7", 7},
        {"120,840)", 120},
        {"12.9", 12},
        {"--1", 0},
        {"x1", 0},
        {"", 0},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999", INT32_MIN},
        {"4294967295", INT32_MAX},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScanLeadingInt(row.text), row.expected) << '"' << row.text << '"';
}

TEST(FixedText, ShowsTheFieldTextsOfTheDialogExamples)
{
    EXPECT_EQ(FormatFixed(10.5, 6), "10.500000");
    EXPECT_EQ(FormatFixed(-12.5, 2), "-12.50");
    EXPECT_EQ(FormatFixed(10000.0, 2), "10000.00");
    EXPECT_EQ(FormatFixed(0.5, 4), "0.5000");
    EXPECT_EQ(FormatFixed(-0.04, 1), "-0.0"); // the sign stays
    EXPECT_EQ(FormatFixed(7.0, 1), "7.0");
    EXPECT_EQ(FormatFixed(1e20, 6), "100000000000000000000.000000");
}

TEST(FixedText, IsByteForByteWhatPrintfWritesInTheCLocale)
{
    const double values[] = {
        0.0, -0.0, 0.125, -0.125, 0.375, 2.5, 3.5, 0.5, 1.5, -0.04, 0.05, 59.99995, 28.12345,
        12.5, 1e20, -1e20, 123456789.987654321, 1e308, DBL_MAX, -DBL_MAX, DBL_MIN, 5e-324,
        HUGE_VAL, -HUGE_VAL, std::nan(""), -std::nan(""),
    };
    for (const double dValue : values)
    {
        for (const int nDecimals : {0, 1, 2, 4, 6, 17, -1})
            EXPECT_EQ(FormatFixed(dValue, nDecimals), PrintfFixed(dValue, nDecimals))
                << dValue << " with " << nDecimals << " decimals";
    }
    // Far more decimals than any double has significant: exact digits, then zeros.
    EXPECT_EQ(FormatFixed(5e-324, 1100), PrintfFixed(5e-324, 1100));
    EXPECT_EQ(FormatFixed(0.1, 1100), PrintfFixed(0.1, 1100));
}

TEST(IntegerText, IsWhatPrintfWritesForPercentI)
{
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(4000000), "4000000");
    EXPECT_EQ(FormatInt(-5), "-5");
    EXPECT_EQ(FormatInt(INT32_MIN), "-2147483648");
    EXPECT_EQ(FormatInt(INT32_MAX), "2147483647");
}
