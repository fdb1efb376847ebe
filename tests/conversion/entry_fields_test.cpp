// The checks of the entry fields: characters, inclusive limits, the 63
// characters a field reads, and which message each failure gives.

#include "conversion/entry_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

constexpr double kUntouched = 777.25;

std::optional<MessageId> Double(const std::string& text, double minValue, double maxValue, double& out)
{
    out = kUntouched;
    return CheckDoubleField(text, minValue, maxValue, out);
}

TEST(EntryFields, DecimalFieldLimitsAreInclusive)
{
    double value = 0;
    EXPECT_FALSE(Double("180", 0.0, 180.0, value).has_value());
    EXPECT_EQ(value, 180.0);
    EXPECT_FALSE(Double("0", 0.0, 180.0, value).has_value());
    EXPECT_EQ(Double("180.000001", 0.0, 180.0, value), MSG_VALUE_TOO_LARGE);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(Double("-1", 0.0, 180.0, value), MSG_VALUE_TOO_SMALL);
    EXPECT_EQ(Double(" 12,5 ", 0.0, 180.0, value), MSG_FORBIDDEN_CHARS);
    EXPECT_FALSE(Double(" 12.5 ", 0.0, 180.0, value).has_value());
    EXPECT_EQ(value, 12.5);
    // an empty decimal field is 0.0, which a lower limit of 0.0 admits
    EXPECT_FALSE(Double("", 0.0, 60.0, value).has_value());
    EXPECT_EQ(value, 0.0);
    // the height difference
    EXPECT_FALSE(Double("-10000.00", kMinHeightDiff, kMaxHeightDiff, value).has_value());
    EXPECT_FALSE(Double("10000.00", kMinHeightDiff, kMaxHeightDiff, value).has_value());
    EXPECT_EQ(Double("-10000.01", kMinHeightDiff, kMaxHeightDiff, value), MSG_VALUE_TOO_SMALL);
}

TEST(EntryFields, WholeNumberFieldsTakeDigitsOnly)
{
    std::int32_t value = 7;
    EXPECT_EQ(CheckIntField("", kMaxZone, value), MSG_FORBIDDEN_CHARS);
    EXPECT_EQ(CheckIntField("-5", kNoUpperLimit, value), MSG_FORBIDDEN_CHARS);
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(CheckIntField("   ", kMaxZone, value).has_value());
    EXPECT_EQ(value, 0);
    EXPECT_EQ(CheckIntField("61", kMaxZone, value), MSG_VALUE_TOO_LARGE);
    EXPECT_FALSE(CheckIntField("60", kMaxZone, value).has_value());
    EXPECT_FALSE(CheckIntField("4000000", kNoUpperLimit, value).has_value());
    EXPECT_EQ(value, 4000000);
    // a digit string beyond 32 bits saturates: too large where there is a limit
    EXPECT_EQ(CheckIntField("99999999999", kMaxEasting, value), MSG_VALUE_TOO_LARGE);
}

TEST(EntryFields, OnlyTheFirst63CharactersAreRead)
{
    // A forbidden character at position 64 is never seen; one at 63 is.
    const std::string digits(62, '1');
    std::int32_t value = 0;
    EXPECT_EQ(CheckIntField(digits + "x", kNoUpperLimit, value), MSG_FORBIDDEN_CHARS);
    EXPECT_FALSE(CheckIntField(digits + "1x", kNoUpperLimit, value).has_value());
    double decimal = 0;
    EXPECT_FALSE(CheckDoubleField("1" + std::string(62, ' ') + "x", 0.0, 2.0, decimal).has_value());
    EXPECT_EQ(decimal, 1.0);
}

} // namespace
