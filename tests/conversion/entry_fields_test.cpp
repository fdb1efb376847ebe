// The checks of the entry fields: characters, inclusive limits, the 63
// characters a field takes, whole angles, and which message each failure
// gives.

#include "conversion/entry_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace conversion;

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

TEST(EntryFields, AFieldLongerThan63CharactersIsRefusedNotReadInPart)
{
    // Fault pinned: only the first 63 characters were read, so 0...01234 (64 characters) read as 123.
    const std::string zeros(60, '0');
    std::int32_t value = 5;
    EXPECT_EQ(CheckIntField(zeros + "1234", kNoUpperLimit, value), MSG_STRING_TOO_LONG);
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(CheckIntField(zeros + "123", kNoUpperLimit, value).has_value());
    EXPECT_EQ(value, 123);
    double decimal = 0;
    EXPECT_EQ(Double("1" + std::string(62, ' ') + "x", 0.0, 2.0, decimal), MSG_STRING_TOO_LONG);
    // Characters, not bytes: 63 degree signs are 126 bytes of UTF-8.
    std::string signs;
    for (int i = 0; i < 63; ++i)
        signs += "\u00B0";
    EXPECT_EQ(Double(signs, 0.0, 2.0, decimal), MSG_FORBIDDEN_CHARS);
}

TEST(EntryFields, AWholeAngleBeyond180Or90IsRefusedOnTheFieldThatCarriesItThere)
{
    // Fault pinned: each field passed its own limit, so 180° 60' E was written as 181° and 90° 30' N as 90° 30'.
    struct Row
    {
        double maxDegrees;
        std::int32_t degrees;
        std::int32_t minutes; // dec.Second's whole minutes; -1: a dec.Minute angle
        const char* text;     // the minutes field (minutes < 0 or the whole-minutes row) or the seconds field
        bool bSecondsField;
        std::optional<MessageId> expected;
    };
    const Row rows[] = {
        {kMaxLongitudeDegrees, 180, -1, "60", false, MSG_VALUE_TOO_LARGE},
        {kMaxLongitudeDegrees, 180, -1, "0.0000000001", false, MSG_VALUE_TOO_LARGE},
        {kMaxLongitudeDegrees, 180, -1, "0", false, std::nullopt},
        {kMaxLongitudeDegrees, 179, -1, "60", false, std::nullopt}, // exactly 180°
        {kMaxLatitudeDegrees, 90, -1, "30", false, MSG_VALUE_TOO_LARGE},
        {kMaxLatitudeDegrees, 89, -1, "60.0001", false, MSG_VALUE_TOO_LARGE}, // the field's own limit
        {kMaxLongitudeDegrees, 180, 0, "1", false, MSG_VALUE_TOO_LARGE},      // dec.Second minutes
        {kMaxLongitudeDegrees, 179, 0, "60", false, std::nullopt},
        {kMaxLongitudeDegrees, 180, 0, "0.01", true, MSG_VALUE_TOO_LARGE},
        {kMaxLongitudeDegrees, 179, 60, "0.01", true, MSG_VALUE_TOO_LARGE},
        {kMaxLongitudeDegrees, 179, 60, "0", true, std::nullopt},
        {kMaxLatitudeDegrees, 89, 59, "60", true, std::nullopt},
        {kMaxLatitudeDegrees, 90, 0, "0", true, std::nullopt},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.degrees << " " << row.minutes << " " << row.text);
        AngleBefore angle{row.maxDegrees, row.degrees, std::max(row.minutes, 0)};
        double decimal = kUntouched;
        std::int32_t whole = -7;
        const std::optional<MessageId> result = row.bSecondsField ? CheckSecondsField(row.text, angle, decimal)
                                                : row.minutes < 0 ? CheckMinutesField(row.text, angle, decimal)
                                                                  : CheckMinutesField(row.text, angle, whole);
        EXPECT_EQ(result, row.expected);
        if (row.expected)
        {
            EXPECT_TRUE(decimal == kUntouched && whole == -7) << "a refused field leaves its value alone";
        }
    }
}

} // namespace
