// Save's checks as both programs meet them: which questions and stops, in
// which order, with which insert.
#include "formats/cal_save.h"

#include <gtest/gtest.h>

using namespace formats;

namespace
{

// Both points at pixels and positions that run the same way: point 2 east
// and north of point 1 and further right and up.
CalValues Harbour(std::string_view mapName, std::string_view bmpName)
{
    CalValues values;
    values.m_strMapName = std::string(mapName);
    values.m_strBmpFileName = std::string(bmpName);
    values.m_nPixel[1][0] = values.m_nPixel[1][1] = 100;
    return values;
}

void Convert(CCoordConverter& converter, double lon2, double lat2)
{
    const std::int32_t hemi[2][2] = {};
    const double deg[2][2] = {{10.0, 53.0}, {lon2, lat2}};
    converter.DegreesToWgs84(hemi, deg);
}

} // namespace

TEST(SaveChecks, TheNameQuestionComesBeforeTheRelationStopAndTheFileNamesAreCheckedAfterTheChoice)
{
    CCoordConverter converter;
    Convert(converter, 10.5, 53.5);
    EXPECT_TRUE(formats::ChecksBeforeFileChoice(Harbour("harbour", "harbour.old.bmp"), converter).empty());

    Convert(converter, 9.5, 53.5); // point 2 west of point 1 but further right
    const auto checks = formats::ChecksBeforeFileChoice(Harbour("Harbour", "harbour.bmp"), converter);
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_TRUE(checks[0].bQuestion);
    EXPECT_EQ(checks[0].message, MSG_FILE_AND_MAP_NAME);
    EXPECT_FALSE(checks[1].bQuestion);
    EXPECT_EQ(checks[1].message, MSG_PIXEL_COORD_RELATION);

    EXPECT_FALSE(formats::OverwriteCheck("/maps/a.CAL", false));
    const auto overwrite = formats::OverwriteCheck("/maps/a.CAL", true);
    ASSERT_TRUE(overwrite);
    EXPECT_EQ(overwrite->message, MSG_FILE_EXISTS);
    EXPECT_EQ(overwrite->insert, "a.CAL") << "the name without its directory";

    EXPECT_FALSE(formats::CalNameCheck(Harbour("", "harbour.bmp"), "/maps/harbour.old.CAL"));
    EXPECT_EQ(formats::CalNameCheck(Harbour("", "harbour.bmp"), "/maps/Harbour.CAL")->message, MSG_CAL_AND_BMP_NAME);
}
