// The MagicMaps import, the language button and context help.
#include "ref_dlg_fixture.h"

#include "platform/help.h"

#include <GeographicLib/UTMUPS.hpp>
#include <proj.h>

#include <cmath>

namespace
{

class ImportAndLanguage : public ReferenceDlgTest
{
protected:
    void WriteExport(const char* name, const QByteArray& bytes)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    /// Runs the import of `name` as the map view's menu command does.
    void Import(const char* name)
    {
        m_files.Answer(Path(name));
        PostMessage(m_dlg.get(), WM_IMPORT_REFPOINTS);
        Deliver();
    }
    QStringList Row(int point, const std::vector<int>& ids)
    {
        Click(point == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2);
        QStringList texts;
        for (int id : ids)
            texts += Text(id);
        return texts;
    }
};

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;

QString Metres(double value)
{
    return QString::number(static_cast<long long>(std::floor(value)));
}

TEST_F(ImportAndLanguage, TheImportShowsBothPointsInEveryFormatAndFillsEmptyNames)
{
    // The worked export: point 1 47.8595° N 12.4687° E, point 2 47.8002° N
    // 12.575° W, with a name after the numbers on line 1 and a third line.
    WriteExport("harbour.TXT", "47.8595,12.4687,Harbour mouth\r\n47.8002,-12.5750\r\n0,0\r\n");
    // Minutes and seconds by hand: 0.4687° = 28.122' = 28' 7.32";
    // 0.8595° = 51.57' = 51' 34.20"; 0.575° = 34.5'; 0.8002° = 48.012' = 48' 0.72".
    struct Format
    {
        int format;
        std::vector<int> ids;
        QStringList point1, point2;
    };
    const std::vector<int> dm = {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LONG_SIGN,
                                 IDC_LAT_DEGREE,  IDC_LAT_MINUTE,  IDC_LAT_SIGN};
    const std::vector<int> dms = {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LONG_SECOND,
                                  IDC_LAT_DEGREE,  IDC_LAT_MINUTE,  IDC_LAT_SECOND};
    const std::vector<int> utm = {IDC_EASTING, IDC_NORTHING, IDC_ZONE, IDC_LAT_SIGN};
    int zone[2] = {};
    bool north[2] = {};
    double easting[2] = {}, northing[2] = {};
    GeographicLib::UTMUPS::Forward(47.8595, 12.4687, zone[0], north[0], easting[0], northing[0]);
    GeographicLib::UTMUPS::Forward(47.8002, -12.575, zone[1], north[1], easting[1], northing[1]);
    const Format formats[] = {
        {FORMAT_DEC_DEGREE,
         {IDC_LONG_DEGREE, IDC_LONG_SIGN, IDC_LAT_DEGREE},
         Texts({"12.468700", "E", "47.859500"}),
         Texts({"12.575000", "W", "47.800200"})},
        {FORMAT_DEC_MINUTE, dm, Texts({"12", "28.1220", "E", "47", "51.5700", "N"}),
         Texts({"12", "34.5000", "W", "47", "48.0120", "N"})},
        {FORMAT_DEC_SECOND, dms, Texts({"12", "28", "7.32", "47", "51", "34.20"}),
         Texts({"12", "34", "30.00", "47", "48", "0.72"})},
        {FORMAT_UTM, utm,
         QStringList{Metres(easting[0]), Metres(northing[0]), QString::number(zone[0]), QStringLiteral("N")},
         QStringList{Metres(easting[1]), Metres(northing[1]), QString::number(zone[1]), QStringLiteral("N")}},
    };
    for (const Format& row : formats)
    {
        CReferenceDlg& dlg = Start();
        Choose(IDC_FORMAT, row.format);
        dlg.m_bModified = false;
        dlg.hide();
        Import("harbour.TXT");
        EXPECT_TRUE(dlg.isVisible()) << row.format;
        EXPECT_FALSE(dlg.m_bModified) << row.format;
        EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("harbour")) << row.format;
        EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("harbour.bmp")) << row.format;
        EXPECT_EQ(Row(0, row.ids), row.point1) << row.format;
        EXPECT_EQ(Row(1, row.ids), row.point2) << row.format;
    }
    const FileDialogRequest& request = m_files.Requests().back();
    EXPECT_EQ(request.title, QStringLiteral("Import Ref.Coordinates from MagicMaps"));
    EXPECT_EQ(request.filter, QStringLiteral("Ref.Coordinates (*.TXT) | *.TXT||"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("TXT"));
}

TEST_F(ImportAndLanguage, ImportedNumbersCountInTheChosenDatumAndAShortFileChangesNothing)
{
    WriteExport("points.TXT", "47.8595,12.4687\n47.8002,-12.5750\n");
    WriteExport("one.TXT", "10,20\n");
    WriteExport("empty.TXT", "");
    CReferenceDlg& dlg = Start();
    Enter(IDC_MAP_NAME, QStringLiteral("kept"));
    Choose(IDC_DATUM, DATUM_POTSDAM);
    Import("points.TXT");
    EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("kept"));
    EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("kept.bmp"));

    // PROJ's geocentric translation of the Potsdam numbers to WGS84; within
    // 1e-6° (11 cm; the Molodensky formulas differ by 3 cm at most).
    PJ* toWgs84 = proj_create(nullptr, "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                       "+step +proj=cart +ellps=bessel +step +proj=helmert +x=587 +y=16 +z=393 "
                                       "+step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad "
                                       "+xy_out=deg");
    ASSERT_NE(toWgs84, nullptr);
    const double points[2][2] = {{12.4687, 47.8595}, {-12.575, 47.8002}};
    for (int p = 0; p < 2; ++p)
    {
        const PJ_COORD wgs84 = proj_trans(toWgs84, PJ_FWD, proj_coord(points[p][0], points[p][1], 0, 0));
        const double* position = dlg.Converter().Wgs84Position(p);
        EXPECT_NEAR(position[0] * kRadToDeg, wgs84.lpz.lam, 1e-6) << p; // degrees
        EXPECT_NEAR(position[1] * kRadToDeg, wgs84.lpz.phi, 1e-6) << p; // degrees
    }
    proj_destroy(toWgs84);

    const QStringList shown = Row(0, {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE});
    for (const char* name : {"one.TXT", "empty.TXT"})
    {
        Import(name);
        EXPECT_EQ(Row(0, {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE}), shown) << name;
        EXPECT_EQ(dlg.m_dDegree[0][0], 12.4687) << name;
    }
}

TEST_F(ImportAndLanguage, TheLanguageButtonSwitchesEveryLabelTheEastLetterAndTheHelpFile)
{
    CReferenceDlg& dlg = Start(kEnglish);
    QStringList english, german;
    for (const LanguageText& row : g_languageTexts)
    {
        english += QString::fromUtf8(row.pszEnglish);
        german += QString::fromUtf8(row.pszGerman);
    }
    const auto labels = [this]
    {
        QStringList texts;
        for (const LanguageText& row : g_languageTexts)
            texts += Text(row.nControlId);
        return texts;
    };
    EXPECT_EQ(labels(), english);
    EXPECT_EQ(Text(IDC_DATUM_LABEL), QStringLiteral("Input Map Datum"));
    EXPECT_EQ(Text(IDC_FORMAT_LABEL), QStringLiteral("Input Format"));
    EXPECT_EQ(Text(IDC_LANGUAGE), QStringLiteral("English"));
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("E"));

    Click(IDC_LANGUAGE);
    EXPECT_EQ(labels(), german);
    EXPECT_EQ(Text(IDC_LANGUAGE), QStringLiteral("Deutsch"));
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("O"));
    EXPECT_EQ(Text(IDC_REF_POINTS_GROUP), QStringLiteral("Referenzpunkte"));
    EXPECT_EQ(Text(IDC_HEIGHT_DIFF_LABEL), QStringLiteral("Höhendifferenz"));
    EXPECT_EQ(g_nLanguage, kGerman);
    EXPECT_EQ(m_app.m_pszHelpFilePath, Path("help/KartoraDEU.hlp"));
    EXPECT_EQ(dlg.m_nLanguage, kGerman);

    Click(IDC_LANGUAGE);
    EXPECT_EQ(labels(), english);
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("E"));
    EXPECT_EQ(m_app.m_pszHelpFilePath, Path("help/KartoraENG.hlp"));
}

TEST_F(ImportAndLanguage, HelpOnAControlOpensItsGroupsTopicInTheCurrentLanguagesFile)
{
    struct Row
    {
        int id;
        std::uint32_t topic;
    };
    const Row rows[] = {
        {IDC_LAT_MINUTE, 0x808203EC},  {IDC_LONG_DEGREE, 0x808203EC}, {IDC_PIXEL_Y, 0x808203EA},
        {IDC_REF_POINT_2, 0x80820414}, {IDC_MAP_NAME, 0x808203E8},    {IDC_SAVE, 0x808203FC},
    };
    Start(kGerman);
    Click(IDC_LANGUAGE); // English, and its help file
    for (const Row& row : rows)
    {
        QWidget* control = m_dlg->GetDlgItem(row.id);
        Activate();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        EXPECT_EQ(LastHelpRequest().data, row.topic) << row.id;
        EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT) << row.id;
        EXPECT_EQ(LastHelpRequest().helpFile, Path("help/KartoraENG.hlp")) << row.id;
    }
    // The "Long" heading has no focus of its own: help on it comes by the
    // title bar's help button and a click.
    RequestContextHelp(m_dlg->GetDlgItem(IDC_LONG_LABEL));
    EXPECT_EQ(LastHelpRequest().data, 0x808203ECu);
}

} // namespace
