// The ellipsoid table: built-in content, lookups, state before and after
// initialisation, capacity, and the reading of lines.

#include <clocale>
#include <cstring>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geodesy_test_support.h"

using namespace geodesy;

namespace
{

const char* const WGS84_LINE = "WGS 84                         WE 6378137.000 6356752.3142 298.257223563";
const char* const WGS72_LINE = "WGS 72                         WD 6378135.000 6356750.5200 298.260000000";

std::uint32_t BuildFrom(std::vector<const char*> lines)
{
    geodesy_test::ResetGeodesyState(false);
    return test_hooks::InitializeEllipsoidsFromLines(lines.data(), static_cast<std::int32_t>(lines.size()));
}

class EllipsoidTable : public ::testing::Test
{
protected:
    void SetUp() override { geodesy_test::ResetGeodesyState(false); }
};

} // namespace

TEST_F(EllipsoidTable, BuiltInTableHoldsFourEllipsoidsWithTheWorldSystemsRemembered)
{
    ASSERT_EQ(InitializeEllipsoids(), 0u);
    EXPECT_EQ(GetEllipsoidCount(), 4);
    EXPECT_EQ(GetWgs84EllipsoidIndex(), 4);
    EXPECT_EQ(GetWgs72EllipsoidIndex(), 3);

    struct Row
    {
        const char* code;
        const char* name;
        double a, b, inverseF;
    };
    const Row rows[] = {
        {"IN", "International 1924", 6378388.0, 6356911.946, 297.0},
        {"BR", "Bessel 1841", 6377397.155, 6356078.963, 299.1528128},
        {"WD", "WGS 72", 6378135.0, 6356750.52, 298.26},
        {"WE", "WGS 84", 6378137.0, 6356752.3142, 298.257223563},
    };
    for (std::int32_t index = 1; index <= 4; ++index)
    {
        const Row& row = rows[index - 1];
        const EllipsoidRecord* record = GetEllipsoidRecord(index);
        ASSERT_NE(record, nullptr);
        // The name keeps the blanks of its column: 29 characters in all.
        EXPECT_EQ(std::string(record->Name), row.name + std::string(29 - std::strlen(row.name), ' '));
        EXPECT_STREQ(record->Code, row.code);
        EXPECT_EQ(record->SemiMajorAxis, row.a);
        EXPECT_EQ(record->SemiMinorAxis, row.b);
        EXPECT_EQ(record->InverseFlattening, row.inverseF);
        EXPECT_EQ(record->UserDefined, 0);
    }
}

TEST_F(EllipsoidTable, LookupUsesTheFirstTwoCharactersUpperCased)
{
    ASSERT_EQ(InitializeEllipsoids(), 0u);
    struct Row
    {
        const char* code;
        std::uint32_t bits;
        std::int32_t index;
    };
    const Row rows[] = {
        {"BR", 0, 2},
        {"br", 0, 2},
        {"Bremen", 0, 2},
        {"wd", 0, 3},
        {"XX", ELLIPSOID_CODE_ERROR, 0},
        {"", ELLIPSOID_CODE_ERROR, 0},
        {"B", ELLIPSOID_CODE_ERROR, 0},
        {" BR", ELLIPSOID_CODE_ERROR, 0},
        {nullptr, ELLIPSOID_CODE_ERROR, 0},
    };
    for (const Row& row : rows)
    {
        std::int32_t index = -7;
        EXPECT_EQ(GetEllipsoidIndex(row.code, index), row.bits) << (row.code ? row.code : "(null)");
        EXPECT_EQ(index, row.index);
    }
}

TEST_F(EllipsoidTable, ParametersAreAxisAndOneOverInverseFlatteningOrZeroOutsideTheTable)
{
    ASSERT_EQ(InitializeEllipsoids(), 0u);
    double a = -1, f = -1;
    EXPECT_EQ(GetEllipsoidParameters(4, a, f), 0u);
    EXPECT_EQ(a, 6378137.0);
    EXPECT_EQ(f, 1 / 298.257223563);
    EXPECT_EQ(GetWgs72EllipsoidParameters(a, f), 0u);
    EXPECT_EQ(f, 1 / 298.26);

    for (std::int32_t index : {0, 5, std::numeric_limits<std::int32_t>::min()})
    {
        a = f = -1;
        EXPECT_EQ(GetEllipsoidParameters(index, a, f), ELLIPSOID_INDEX_ERROR) << index;
        EXPECT_EQ(a, 0.0);
        EXPECT_EQ(f, 0.0);
    }

    const EllipsoidRecord before = *GetEllipsoidRecord(2);
    EXPECT_EQ(InitializeEllipsoids(), 0u); // a second call changes nothing
    EXPECT_EQ(std::memcmp(GetEllipsoidRecord(2), &before, sizeof before), 0);
}

TEST_F(EllipsoidTable, EveryLookupBeforeInitialisationReportsNotInitialised)
{
    std::int32_t index = -7;
    double a = -1, f = -1;
    EXPECT_EQ(GetEllipsoidIndex("WE", index), ELLIPSOID_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(GetEllipsoidParameters(1, a, f), ELLIPSOID_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(GetWgs84EllipsoidParameters(a, f), ELLIPSOID_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(GetWgs72EllipsoidParameters(a, f), ELLIPSOID_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(GetEllipsoidRecord(1), nullptr);
}

TEST_F(EllipsoidTable, ThirtyTwoLinesFitAndAThirtyThirdLeavesTheTableUnbuilt)
{
    std::vector<const char*> lines(31, WGS84_LINE);
    lines.push_back(WGS72_LINE);
    EXPECT_EQ(BuildFrom(lines), 0u);
    EXPECT_EQ(GetEllipsoidCount(), 32);
    EXPECT_EQ(GetWgs72EllipsoidIndex(), 32);

    lines.push_back(WGS84_LINE);
    // Not built, so the world codes cannot be found either.
    EXPECT_EQ(BuildFrom(lines), ELLIPSOID_OVERFLOW_ERROR | ELLIPSOID_WGS_CODE_ERROR);
    EXPECT_FALSE(IsEllipsoidTableInitialized());
    EXPECT_EQ(GetEllipsoidCount(), 0);

    // A missing world code alone does not stop the table being built.
    EXPECT_EQ(BuildFrom({WGS84_LINE}), ELLIPSOID_WGS_CODE_ERROR);
    EXPECT_TRUE(IsEllipsoidTableInitialized());
}

TEST_F(EllipsoidTable, ANameBeginningWithAStarIsUserDefinedAndLosesTheStar)
{
    ASSERT_EQ(
        BuildFrom({"*Test Sphere 6371 km          TS 6371000.000 6349715.0000 300.000000000", WGS84_LINE, WGS72_LINE}),
        0u);
    const EllipsoidRecord* record = GetEllipsoidRecord(1);
    EXPECT_EQ(record->UserDefined, 1);
    EXPECT_EQ(std::string(record->Name), "Test Sphere 6371 km          "); // line characters 2 to 30
}

TEST_F(EllipsoidTable, LinesThatDoNotScanLeaveTheTableUnbuilt)
{
    const char* const badLines[] = {
        "WGS 84 WE 6378137.000 6356752.3142 298.257223563",                          // name shorter than 30
        "WGS 84                         WGE 6378137.000 6356752.3142 298.257223563", // code too long for its field
        "WGS 84                         WE 6378137.000 6356752.3142",                // 1/f missing
        "WGS 84                         WE 6378137.000 6356752.3142 nan",
        "WGS 84                         WE +-6378137.0 6356752.3142 298.257223563",
        nullptr,
    };
    for (const char* line : badLines)
        EXPECT_EQ(BuildFrom({line, WGS72_LINE}), ELLIPSOID_LINE_ERROR | ELLIPSOID_WGS_CODE_ERROR)
            << (line ? line : "(null)");
}

// The desktop program runs with the user's numeric locale; the built-in lines
// must still read "298.257223563" as a decimal fraction.
TEST_F(EllipsoidTable, NumbersReadWithADotWhateverTheLocale)
{
    struct CommaDecimal : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string previousC = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed

    const std::uint32_t bits = InitializeEllipsoids();
    double a = 0, f = 0;
    GetEllipsoidParameters(4, a, f);

    std::setlocale(LC_NUMERIC, previousC.c_str());
    std::locale::global(previous);
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(f, 1 / 298.257223563);
}
