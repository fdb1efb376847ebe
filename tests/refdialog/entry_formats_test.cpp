// Switching entry formats and datums through the dialog's lists.
#include "ref_dlg_fixture.h"

#include <GeographicLib/UTMUPS.hpp>

#include <cmath>

namespace
{

class EntryFormats : public ReferenceDlgTest
{
protected:
    // 10° 30' E, 53° 15' N typed in "dec.Minute" and taken into the converter
    // (choosing the format in force runs the whole switch).
    CReferenceDlg& StartAtHarbour()
    {
        CReferenceDlg& dlg = Start();
        Enter(IDC_LONG_MINUTE, QStringLiteral("30"));
        Enter(IDC_LAT_MINUTE, QStringLiteral("15"));
        Choose(IDC_FORMAT, FORMAT_DEC_MINUTE);
        return dlg;
    }
    std::vector<int> VisibleCoordControls() const
    {
        std::vector<int> ids;
        for (int id : g_coordControlIds)
        {
            if (m_dlg->GetDlgItem(id)->isVisible())
                ids.push_back(id);
        }
        return ids;
    }
    // The entry controls (1000 to 1014) in the order Tab visits them.
    std::vector<int> TabOrder() const
    {
        std::vector<int> order;
        QWidget* w = m_dlg->GetDlgItem(IDC_MAP_NAME);
        do
        {
            const int id = w->property("controlId").toInt();
            if (id >= IDC_MAP_NAME && id <= IDC_ZONE)
                order.push_back(id);
            w = w->nextInFocusChain();
        } while (w != m_dlg->GetDlgItem(IDC_MAP_NAME));
        return order;
    }
};

// The zone comes before the northing.
const std::vector<int> kTabOrder = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007,
                                    1008, 1009, 1010, 1011, 1012, 1014, 1013};

TEST_F(EntryFormats, AWgs84PointIsCarriedIntoEveryFormatWithTheControlsOfThatFormatOnly)
{
    StartAtHarbour();
    EXPECT_EQ(TabOrder(), kTabOrder);

    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10.500000", "53.250000"}));
    EXPECT_FALSE(m_dlg->GetDlgItem(IDC_LONG_MINUTE)->isVisible());
    EXPECT_EQ(TabOrder(), kTabOrder);

    Choose(IDC_FORMAT, FORMAT_DEC_SECOND);
    EXPECT_EQ(
        Shown({IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LONG_SECOND, IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SECOND}),
        Texts({"10", "30", "0.00", "53", "15", "0.00"}));
    EXPECT_EQ(TabOrder(), kTabOrder);

    // UTM figures: GeographicLib's, cut to whole metres (600079.89, 5901131.33).
    int zone = 0;
    bool north = false;
    double easting = 0, northing = 0;
    GeographicLib::UTMUPS::Forward(53.25, 10.5, zone, north, easting, northing);
    Choose(IDC_FORMAT, FORMAT_UTM);
    EXPECT_EQ(Shown({IDC_EASTING, IDC_NORTHING, IDC_ZONE, IDC_LAT_SIGN}),
              (QStringList{QString::number(static_cast<long long>(std::floor(easting))),
                           QString::number(static_cast<long long>(std::floor(northing))), QString::number(zone),
                           QStringLiteral("N")}));
    EXPECT_EQ(VisibleCoordControls(),
              (std::vector<int>{IDC_LAT_SIGN, IDC_EASTING, IDC_NORTHING, IDC_EASTING_LABEL, IDC_NORTHING_LABEL,
                                IDC_ZONE, IDC_ZONE_LABEL, IDC_HEMISPHERE_LABEL}));
    // The hemisphere button stands in row 2, right under the zone field.
    const QRect zoneField = m_dlg->GetDlgItem(IDC_ZONE)->geometry();
    const QRect hemisphere = m_dlg->GetDlgItem(IDC_LAT_SIGN)->geometry();
    EXPECT_EQ(hemisphere.left(), zoneField.left());
    EXPECT_GT(hemisphere.top(), zoneField.bottom());
    EXPECT_EQ(TabOrder(), kTabOrder);
}

TEST_F(EntryFormats, ASwitchRoundsToFiveDecimalsAndTakesAFailingFieldsLastValidValue)
{
    StartAtHarbour();
    Type(IDC_LONG_MINUTE, QStringLiteral("61"));
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE); // leaving the field reports it once more
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10.500000", "53.250000"}));
    // Choosing the format in force still runs the whole switch.
    Enter(IDC_LONG_DEGREE, QStringLiteral("10.123456"));
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("10.123460"));
}

TEST_F(EntryFormats, ADatumSwitchShowsTheConvertersPositionsInTheNewDatumReplacingTypedValues)
{
    CReferenceDlg& dlg = StartAtHarbour();
    Enter(IDC_LONG_DEGREE, QStringLiteral("11"));
    Choose(IDC_DATUM, DATUM_POTSDAM);

    // PROJ's geocentric translation (587, 16, 393 m on Bessel 1841) from
    // WGS84 10.5° E 53.25° N gives 10° 30.0820' E 53° 15.0894' N on Potsdam.
    // Tolerance: one display step (0.0005') plus the five-decimal rounding
    // of the degrees (0.0003') plus the difference between the Molodensky
    // formulas and the exact translation (below 3 cm, 0.00002').
    const auto [lon, lat] = ProjPotsdam(10.5, 53.25, false);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10", "53"}));
    EXPECT_NEAR(Text(IDC_LONG_MINUTE).toDouble(), (lon - 10) * 60, 0.0009); // arc minutes
    EXPECT_NEAR(Text(IDC_LAT_MINUTE).toDouble(), (lat - 53) * 60, 0.0009);  // arc minutes
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);

    // Opening the list shows "WGS84" selected but changes nothing until a
    // choice is made.
    auto* list = dlg.Item<CDropListCtrl>(IDC_DATUM);
    list->showPopup();
    EXPECT_EQ(list->currentText(), QStringLiteral("WGS84"));
    list->hidePopup();
    EXPECT_EQ(dlg.m_nDatum, DATUM_POTSDAM);
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);

    // Back in WGS84 the converter's positions show unchanged.
    Choose(IDC_DATUM, DATUM_WGS84);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE}),
              Texts({"10", "30.0000", "53", "15.0000"}));
}

TEST_F(EntryFormats, TheHemisphereButtonsFlipOnlyTheCurrentPointAndSurviveUtm)
{
    CReferenceDlg& dlg = Start(kGerman);
    Click(IDC_REF_POINT_2);
    dlg.m_bModified = false;
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("O"));
    Click(IDC_LONG_SIGN);
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("W"));
    Click(IDC_LAT_SIGN);
    EXPECT_EQ(Text(IDC_LAT_SIGN), QStringLiteral("S"));
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(dlg.m_nHemisphere[1][0], 1);
    EXPECT_EQ(dlg.m_nHemisphere[0][0], 0) << "point 1 untouched";
    Click(IDC_LAT_SIGN);

    // UTM neither shows nor changes the east/west flag; the way back takes
    // it from the western position.
    Choose(IDC_FORMAT, FORMAT_UTM);
    Choose(IDC_FORMAT, FORMAT_DEC_MINUTE);
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("W"));
    Click(IDC_REF_POINT_1);
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("O"));
}

} // namespace
