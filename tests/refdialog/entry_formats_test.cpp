// Switching entry formats and datums through the dialog's lists.
#include "ref_dlg_fixture.h"

#include <GeographicLib/UTMUPS.hpp>
#include <proj.h>

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
    QStringList Shown(std::initializer_list<int> ids) const
    {
        QStringList texts;
        for (int id : ids)
            texts += Text(id);
        return texts;
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
    std::vector<int> TabOrder() const
    {
        // The entry controls in the order the dialog's focus chain visits them.
        std::vector<int> order;
        QWidget* w = m_dlg->GetDlgItem(IDC_MAP_NAME);
        do
        {
            const int id = w->property("controlId").toInt();
            if (std::find(std::begin(g_entryTabOrder), std::end(g_entryTabOrder), id) != std::end(g_entryTabOrder))
                order.push_back(id);
            w = w->nextInFocusChain();
        } while (w != m_dlg->GetDlgItem(IDC_MAP_NAME));
        return order;
    }
};

TEST_F(EntryFormats, AWgs84PointIsCarriedIntoEveryFormatWithTheControlsOfThatFormatOnly)
{
    const std::vector<int> tabOrder(std::begin(g_entryTabOrder), std::end(g_entryTabOrder));
    StartAtHarbour();
    EXPECT_EQ(TabOrder(), tabOrder);

    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10.500000", "53.250000"}));
    EXPECT_FALSE(m_dlg->GetDlgItem(IDC_LONG_MINUTE)->isVisible());
    EXPECT_EQ(TabOrder(), tabOrder);

    Choose(IDC_FORMAT, FORMAT_DEC_SECOND);
    EXPECT_EQ(
        Shown({IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LONG_SECOND, IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SECOND}),
        Texts({"10", "30", "0.00", "53", "15", "0.00"}));
    EXPECT_EQ(TabOrder(), tabOrder);

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
    EXPECT_EQ(TabOrder(), tabOrder);
}

TEST_F(EntryFormats, ChoosingTheFormatInForceRoundsTheTypedDegreesToFiveDecimals)
{
    Start();
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    Enter(IDC_LONG_DEGREE, QStringLiteral("10.123456"));
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("10.123460"));
}

TEST_F(EntryFormats, AFieldFailingDuringASwitchIsReportedAndTheSwitchUsesItsLastValidValue)
{
    StartAtHarbour();
    Type(IDC_LONG_MINUTE, QStringLiteral("61"));
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE); // leaving the field reports it once more
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10.500000", "53.250000"}));
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
    PJ* toWgs84 = proj_create(nullptr, "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                       "+step +proj=cart +ellps=bessel +step +proj=helmert +x=587 +y=16 +z=393 "
                                       "+step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad "
                                       "+xy_out=deg");
    ASSERT_NE(toWgs84, nullptr);
    const PJ_COORD potsdam = proj_trans(toWgs84, PJ_INV, proj_coord(10.5, 53.25, 0, 0));
    proj_destroy(toWgs84);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LAT_DEGREE}), Texts({"10", "53"}));
    EXPECT_NEAR(Text(IDC_LONG_MINUTE).toDouble(), (potsdam.lpz.lam - 10) * 60, 0.0009); // arc minutes
    EXPECT_NEAR(Text(IDC_LAT_MINUTE).toDouble(), (potsdam.lpz.phi - 53) * 60, 0.0009);  // arc minutes
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);

    // Back in WGS84 the converter's positions show unchanged.
    Choose(IDC_DATUM, DATUM_WGS84);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE}),
              Texts({"10", "30.0000", "53", "15.0000"}));
}

TEST_F(EntryFormats, OpeningTheDatumListSelectsWgs84InTheListOnly)
{
    CReferenceDlg& dlg = Start();
    Choose(IDC_DATUM, DATUM_POTSDAM);
    auto* list = dlg.Item<CDropListCtrl>(IDC_DATUM);
    list->showPopup();
    EXPECT_EQ(list->currentText(), QStringLiteral("WGS84"));
    list->hidePopup(); // closed without a choice
    EXPECT_EQ(dlg.m_nDatum, DATUM_POTSDAM);
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);
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
