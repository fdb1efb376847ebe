#include "conversion/numeric_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

using namespace conversion;

namespace
{

using namespace std::string_literals;

// A sentinel no accepted text below produces: a rejected text must leave it.
constexpr double kUntouched = 777.25;

void ExpectDouble(const std::string& text, bool bAccepted, double expected = kUntouched)
{
    double dValue = kUntouched;
    EXPECT_EQ(ParseDouble(text, dValue), bAccepted) << '"' << text << '"';
    EXPECT_EQ(dValue, expected) << '"' << text << '"'; // exact: what atof gives
}

void ExpectInt(const std::string& text, bool bAccepted, std::int32_t expected = 7777)
{
    std::int32_t nValue = 7777;
    EXPECT_EQ(ParseInt(text, nValue), bAccepted) << '"' << text << '"';
    EXPECT_EQ(nValue, expected) << '"' << text << '"';
}

// printf in the "C" locale (the test never calls setlocale) is the
// independent oracle for the fixed-point text.
std::string PrintfFixed(double value, int decimals)
{
    std::string text(std::snprintf(nullptr, 0, "%.*f", decimals, value) + 1, '\0');
    text.resize(std::snprintf(text.data(), text.size(), "%.*f", decimals, value));
    return text;
}

} // namespace

TEST(DecimalField, ChecksCharactersThenReadsAsFarAsTheTextFormsANumber)
{
    ExpectDouble("  12.5  ", true, 12.5);
    ExpectDouble("\t-12.50\r\n", true, -12.5);
    ExpectDouble("+.5", true, 0.5);
    ExpectDouble("1-2", true, 1.0);
    ExpectDouble("1.2.3", true, 1.2);
    ExpectDouble("--5", true, 0.0);
    ExpectDouble(".", true, 0.0);
    ExpectDouble("", true, 0.0); // unlike an empty integer field
    ExpectDouble("   ", true, 0.0);
    ExpectDouble("12,5", false);
    ExpectDouble("1e5", false);
    ExpectDouble("5 0", false);
    ExpectDouble("1\0"s, false); // a NUL is not a blank
}

TEST(DecimalField, MinusZeroIsNotBelowZeroAndHugeDigitStringsAreInfinite)
{
    double dValue = kUntouched;
    ASSERT_TRUE(ParseDouble("-0", dValue));
    EXPECT_TRUE(dValue == 0.0 && std::signbit(dValue));
    ExpectDouble(std::string(400, '9'), true, HUGE_VAL);
    ExpectDouble("-" + std::string(400, '9'), true, -HUGE_VAL);
}

TEST(IntegerField, AcceptsOnlyDigitsAndBlanksButNotTheEmptyText)
{
    ExpectInt(" 42\t", true, 42);
    ExpectInt("0007", true, 7);
    ExpectInt("   ", true, 0);
    ExpectInt("", false);
    ExpectInt("-5", false); // "Forbidden characters!", not "Value too small!"
    ExpectInt("+5", false);
    ExpectInt("12.5", false);
    ExpectInt("1 2", false);
    // Beyond 32 bits the value saturates and never turns negative.
    ExpectInt("2147483647", true, INT32_MAX);
    ExpectInt("4294967296", true, INT32_MAX); // would be 0 modulo 2^32
    ExpectInt("99999999999999999999999999", true, INT32_MAX);
}

TEST(LenientReading, TakesTheLeadingNumberAndStopsAtTheFirstUnfitCharacter)
{
    const struct
    {
        const char* text;
        double expected;
    } rows[] = {
        {"  -12.5e2xyz", -1250.0},
        {"28.1235'O", 28.1235},
        {"1e+", 1.0},
        {". 5", 0.0},
        {"abc", 0.0},
        {"inf", 0.0},
        {"nan", 0.0},
        {"0x1p3", 0.0}, // never infinity, NaN or hex from text
        {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL},
        {"1e99999999999999999999999", HUGE_VAL},
        {"1e-400", 0.0},
        {"1e-310", 1e-310}, // subnormal, kept as strtod keeps it
        {"0.001e310", 1e307},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScanLeadingDouble(row.text), row.expected) << '"' << row.text << '"';

    const struct
    {
        const char* text;
        std::int32_t expected;
    } intRows[] = {
        {" -42abc", -42},
        {"+7", 7},
        {"12.9", 12},
        {"--1", 0},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"2147483648", INT32_MAX},
    };
    for (const auto& row : intRows)
        EXPECT_EQ(ScanLeadingInt(row.text), row.expected) << '"' << row.text << '"';
}

TEST(FixedText, IsByteForByteWhatPrintfWritesInTheCLocale)
{
    // Texts the dialog and the file show.
    EXPECT_EQ(FormatFixed(10.5, 6), "10.500000");
    EXPECT_EQ(FormatFixed(-12.5, 2), "-12.50");
    EXPECT_EQ(FormatFixed(10000.0, 2), "10000.00");
    EXPECT_EQ(FormatFixed(-0.04, 1), "-0.0"); // the sign stays
    EXPECT_EQ(FormatFixed(1e20, 6), "100000000000000000000.000000");

    const double values[] = {
        0.0,     -0.0,     0.125,  0.375,    2.5,       0.05,         59.99995,      123456789.987654321,
        DBL_MAX, -DBL_MAX, 5e-324, HUGE_VAL, -HUGE_VAL, std::nan(""), -std::nan(""),
    };
    for (const double dValue : values)
    {
        for (const int nDecimals : {0, 1, 2, 4, 6, 17, -1})
            EXPECT_EQ(FormatFixed(dValue, nDecimals), PrintfFixed(dValue, nDecimals))
                << dValue << " with " << nDecimals << " decimals";
    }
    // More decimals than any double has: exact digits, then zeros.
    EXPECT_EQ(FormatFixed(5e-324, 1100), PrintfFixed(5e-324, 1100));

    EXPECT_EQ(FormatInt(INT32_MIN), "-2147483648");
    EXPECT_EQ(FormatInt(4000000), "4000000");
}
