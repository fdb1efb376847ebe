#include "formats/magicmaps.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace formats;

namespace
{

// Values no line below produces, so that untouched arrays show.
constexpr std::int32_t kUntouchedFlag = 7;
constexpr double kUntouchedDegree = -99.0;

struct Import
{
    explicit Import(const std::string& text)
    {
        std::istringstream file(text, std::ios::binary);
        nLines = ReadMagicMapsPoints(file, nHemisphere, dDegree);
    }

    // Point p as {|lon|, lon flag, |lat|, lat flag}; exact, the nearest doubles to the text.
    void ExpectPoint(int p, double dLon, std::int32_t nLonFlag, double dLat, std::int32_t nLatFlag) const
    {
        EXPECT_EQ(dDegree[p][0], dLon) << "point " << p;
        EXPECT_EQ(nHemisphere[p][0], nLonFlag) << "point " << p;
        EXPECT_EQ(dDegree[p][1], dLat) << "point " << p;
        EXPECT_EQ(nHemisphere[p][1], nLatFlag) << "point " << p;
    }

    int nLines = 0;
    std::int32_t nHemisphere[2][2] = {{kUntouchedFlag, kUntouchedFlag}, {kUntouchedFlag, kUntouchedFlag}};
    double dDegree[2][2] = {{kUntouchedDegree, kUntouchedDegree}, {kUntouchedDegree, kUntouchedDegree}};
};

} // namespace

TEST(MagicMapsImport, TwoLinesGiveLatitudeThenLongitudeWithSignsAsHemispheres)
{
    const Import result("47.8595,12.4687\r\n-33.8568,-151.2153\r\nfurther,lines\n");
    ASSERT_EQ(result.nLines, 2);
    result.ExpectPoint(0, 12.4687, 0, 47.8595, 0);
    result.ExpectPoint(1, 151.2153, 1, 33.8568, 1);
}

TEST(MagicMapsImport, ReadsLenientlyAndIgnoresTextAfterTheLongitude)
{
    // Blanks before numbers and a name after them; a line without comma is
    // all longitude; junk and minus zero are 0 east or north.
    const Import named(" 47.8002, -12.5750 Gipfelkreuz\n-12.5");
    ASSERT_EQ(named.nLines, 2);
    named.ExpectPoint(0, 12.5750, 1, 47.8002, 0);
    named.ExpectPoint(1, 12.5, 1, 0.0, 0);

    const Import junk("abc,-0\n,\n");
    ASSERT_EQ(junk.nLines, 2);
    junk.ExpectPoint(0, 0.0, 0, 0.0, 0);
    junk.ExpectPoint(1, 0.0, 0, 0.0, 0);
}

TEST(MagicMapsImport, FewerThanTwoLinesChangeNothing)
{
    for (const char* text : {"", "47.8595,12.4687\n"})
    {
        const Import result(text);
        EXPECT_EQ(result.nLines, text[0] == '\0' ? 0 : 1) << '"' << text << '"';
        result.ExpectPoint(0, kUntouchedDegree, kUntouchedFlag, kUntouchedDegree, kUntouchedFlag);
        result.ExpectPoint(1, kUntouchedDegree, kUntouchedFlag, kUntouchedDegree, kUntouchedFlag);
    }
}

TEST(MagicMapsImport, AByteOrderMarkBeforeTheFirstLineIsSkipped)
{
    // Fault pinned: the mark made the first latitude text no number, so it read as 0.
    const Import result("\xEF\xBB\xBF"
                        "47.8595,12.4687\n47.8002,-12.5750\n");
    ASSERT_EQ(result.nLines, 2);
    result.ExpectPoint(0, 12.4687, 0, 47.8595, 0);
}

TEST(MagicMapsImport, TheStrictReadingTakesTwoNumbersWithinTheirRanges)
{
    struct Row
    {
        std::string_view line;
        MagicMapsLineCheck expected;
    };
    const Row rows[] = {
        {"47.8595,12.4687", MagicMapsLineCheck::Valid},
        {" -33.8568 , -151.2153\r", MagicMapsLineCheck::Valid},
        {"47.8002,-12.5750 Gipfelkreuz", MagicMapsLineCheck::Valid},
        {"47.8002,-12.5750,120", MagicMapsLineCheck::Valid},
        {"-90,180", MagicMapsLineCheck::Valid},
        {"lat,lon", MagicMapsLineCheck::NotTwoNumbers},
        {"47.8595", MagicMapsLineCheck::NotTwoNumbers},
        {"47.8595,", MagicMapsLineCheck::NotTwoNumbers},
        {",12.4687", MagicMapsLineCheck::NotTwoNumbers},
        {"47.8x,12.4687", MagicMapsLineCheck::NotTwoNumbers},
        {"47.8,12.4687x", MagicMapsLineCheck::NotTwoNumbers},
        {std::string_view("4\0"
                          "7\0"
                          ",\0"
                          "1\0"
                          "2\0",
                          10),
         MagicMapsLineCheck::NotTwoNumbers}, // UTF-16LE
        {"95,200", MagicMapsLineCheck::LatitudeTooLarge},
        {"-90.000001,0", MagicMapsLineCheck::LatitudeTooLarge},
        {"1e400,0", MagicMapsLineCheck::LatitudeTooLarge},
        {"45,-180.5", MagicMapsLineCheck::LongitudeTooLarge},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CheckMagicMapsLine(row.line), row.expected) << row.line;
}
