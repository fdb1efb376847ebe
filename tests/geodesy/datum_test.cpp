// The datum table: built-in content, lookups, state before and after
// initialisation, capacities, and the reading of lines.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "geodesy_test_support.h"

using namespace geodesy;

namespace
{

const char* const SEVEN_LINE =
    "EUR-7 \"EUROPEAN 1950, Mean (7 Param)\" IN -102 -102 -129 0.413 -0.184 0.385 0.0000024664";
const char* const THREE_LINE = "DHDN \"Potsdam Datum\" BR 587 -1 16 -1 393 -1 47 55 6 24 ";

std::uint32_t BuildFrom(std::vector<const char*> seven, std::vector<const char*> three)
{
    geodesy_test::ResetGeodesyState(false);
    return test_hooks::InitializeDatumsFromLines(seven.data(), static_cast<std::int32_t>(seven.size()), three.data(),
                                                 static_cast<std::int32_t>(three.size()));
}

class DatumTable : public ::testing::Test
{
protected:
    void SetUp() override { geodesy_test::ResetGeodesyState(false); }
};

} // namespace

TEST_F(DatumTable, BuiltInTableHoldsTheWorldSystemsThenEuropeanThenPotsdam)
{
    ASSERT_EQ(InitializeDatums(), 0u);
    ASSERT_EQ(GetDatumCount(), 4);
    struct Row
    {
        DatumType type;
        const char* code;
        const char* name;
        const char* ellipsoid;
    };
    const Row rows[] = {
        {Wgs84Datum, "WGE", "World Geodetic System 1984", "WE"},
        {Wgs72Datum, "WGC", "World Geodetic System 1972", "WD"},
        {SevenParamDatum, "EUR-7", "EUROPEAN 1950, Mean (7 Param)", "IN"},
        {ThreeParamDatum, "DHDN", "Potsdam Datum", "BR"},
    };
    for (std::int32_t index = 1; index <= 4; ++index)
    {
        const DatumRecord* d = GetDatumRecord(index);
        EXPECT_EQ(d->Type, rows[index - 1].type);
        EXPECT_STREQ(d->Code, rows[index - 1].code);
        EXPECT_STREQ(d->Name, rows[index - 1].name);
        EXPECT_STREQ(d->EllipsoidCode, rows[index - 1].ellipsoid);
    }
    EXPECT_EQ(GetDatumRecord(2)->ScaleFactor, 1.0);
    EXPECT_EQ(GetDatumRecord(2)->WestLongitude, -PI);

    // Rotations in arc-seconds stored in radians; the scale as written.
    const DatumRecord* eur = GetDatumRecord(3);
    EXPECT_EQ(eur->DeltaZ, -129.0);
    EXPECT_EQ(eur->RotationX, 0.413 * 4.848136811095274e-06);
    EXPECT_NEAR(eur->RotationX, 2.0022805e-06, 1e-13); // rad
    EXPECT_EQ(eur->RotationY, -0.184 * 4.848136811095274e-06);
    EXPECT_EQ(eur->ScaleFactor, 0.0000024664);
    EXPECT_EQ(eur->SouthLatitude, -PI / 2);

    // Area in degrees stored in radians; sigmas as written.
    const DatumRecord* dhdn = GetDatumRecord(4);
    EXPECT_EQ(dhdn->DeltaX, 587.0);
    EXPECT_EQ(dhdn->DeltaY, 16.0);
    EXPECT_EQ(dhdn->DeltaZ, 393.0);
    EXPECT_EQ(dhdn->SigmaZ, -1.0);
    EXPECT_EQ(dhdn->SouthLatitude, 47 * 0.017453292519943295);
    EXPECT_EQ(dhdn->WestLongitude, 6 * 0.017453292519943295);
    EXPECT_EQ(dhdn->EastLongitude, 24 * 0.017453292519943295);
    EXPECT_EQ(dhdn->ScaleFactor, 1.0);

    const DatumRecord before = *dhdn;
    EXPECT_EQ(InitializeDatums(), 0u); // a second call changes nothing
    EXPECT_EQ(std::memcmp(GetDatumRecord(4), &before, sizeof before), 0);
}

TEST_F(DatumTable, LookupIgnoresCaseAndWhiteSpaceButRefusesLongCodesFirst)
{
    std::int32_t index = -7;
    EXPECT_EQ(GetDatumIndex("WGE", index), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(index, 0);

    ASSERT_EQ(InitializeDatums(), 0u);
    struct Row
    {
        const char* code;
        std::uint32_t bits;
        std::int32_t index;
    };
    const Row rows[] = {
        {"dhdn", 0, 4},
        {"DH DN", 0, 4},
        {"\tDHDN\n", 0, 4},
        {"eur-7", 0, 3},
        {"wgc", 0, 2},
        {"DHDN123", DATUM_CODE_ERROR, 0},  // 7 characters
        {"  DHDN  ", DATUM_CODE_ERROR, 0}, // too long before the blanks go
        {"XYZ", DATUM_CODE_ERROR, 0},
        {"", DATUM_CODE_ERROR, 0},
        {nullptr, DATUM_CODE_ERROR, 0},
    };
    for (const Row& row : rows)
    {
        index = -7;
        EXPECT_EQ(GetDatumIndex(row.code, index), row.bits) << (row.code ? row.code : "(null)");
        EXPECT_EQ(index, row.index);
    }
}

TEST_F(DatumTable, CapacitiesAre25SevenAnd250ThreeParameterDatums)
{
    struct Row
    {
        std::size_t seven, three;
        std::uint32_t bits;
        std::int32_t count;
    };
    const Row rows[] = {
        {25, 250, 0, 277},
        {26, 1, DATUM_SEVEN_PARAM_OVERFLOW_ERROR | DATUM_TABLE_NOT_BUILT_ERROR, 0},
        {1, 251, DATUM_THREE_PARAM_OVERFLOW_ERROR | DATUM_TABLE_NOT_BUILT_ERROR, 0},
    };
    for (const Row& row : rows)
    {
        EXPECT_EQ(
            BuildFrom(std::vector<const char*>(row.seven, SEVEN_LINE), std::vector<const char*>(row.three, THREE_LINE)),
            row.bits)
            << row.seven << " + " << row.three;
        EXPECT_EQ(GetDatumCount(), row.count);
        EXPECT_EQ(IsDatumTableInitialized(), row.bits == 0);
    }
    BuildFrom(std::vector<const char*>(25, SEVEN_LINE), std::vector<const char*>(250, THREE_LINE));
    EXPECT_EQ(GetDatumRecord(27)->Type, SevenParamDatum);
    EXPECT_EQ(GetDatumRecord(28)->Type, ThreeParamDatum);
    EXPECT_EQ(GetDatumRecord(277)->Type, ThreeParamDatum);
}

TEST_F(DatumTable, FieldsThatDoNotFitTheirRecordMakeTheLineFail)
{
    ASSERT_EQ(BuildFrom({}, {"ABCDEF \"12345678901234567890123456789012\" BR 1 0 2 0 3 0 47 55 6 24"}), 0u);
    EXPECT_STREQ(GetDatumRecord(3)->Name, "12345678901234567890123456789012"); // 32 characters fit

    const char* const badSeven[] = {
        "EUROPE7 \"EUROPEAN 1950\" IN -102 -102 -129 0.413 -0.184 0.385 0.0000024664", // code of 7
        "EUR-7 \"123456789012345678901234567890123\" IN -102 -102 -129 0.413 -0.184 0.385 0.0000024664",
        "EUR-7 \"EUROPEAN 1950\" INT -102 -102 -129 0.413 -0.184 0.385 0.0000024664", // ellipsoid code of 3
        "EUR-7 \"\" IN -102 -102 -129 0.413 -0.184 0.385 0.0000024664",
        "EUR-7 \"EUROPEAN 1950\" IN -102 -102 -129 0.413 -0.184 0.385", // scale missing
    };
    for (const char* line : badSeven)
        EXPECT_EQ(BuildFrom({line}, {THREE_LINE}), DATUM_LINE_ERROR | DATUM_TABLE_NOT_BUILT_ERROR) << line;
    EXPECT_EQ(BuildFrom({SEVEN_LINE}, {"DHDN \"Potsdam Datum\" BR 587 -1 16 -1 393 -1 47 55 6"}),
              DATUM_LINE_ERROR | DATUM_TABLE_NOT_BUILT_ERROR);
}
