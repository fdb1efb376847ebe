// The MagicMaps import, the language button and context help.
#include "ref_dlg_fixture.h"

#include <QAccessible>
#include <QComboBox>

#include "platform/help.h"

#include <GeographicLib/UTMUPS.hpp>

#include <cmath>

namespace
{

class ImportAndLanguage : public ReferenceDlgTest
{
protected:
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
        return Shown(ids);
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
    Write(Path("harbour.TXT"), "47.8595,12.4687,Harbour mouth\r\n47.8002,-12.5750\r\n0,0\r\n");
    // Minutes and seconds by hand: 0.4687° = 28.122' = 28' 7.32";
    // 0.8595° = 51.57' = 51' 34.20"; 0.575° = 34.5'; 0.8002° = 48.012' = 48' 0.72".
    struct Format
    {
        int format;
        std::vector<int> ids;
        QStringList point1, point2;
    };
    int zone[2] = {};
    bool north[2] = {};
    double easting[2] = {}, northing[2] = {};
    GeographicLib::UTMUPS::Forward(47.8595, 12.4687, zone[0], north[0], easting[0], northing[0]);
    GeographicLib::UTMUPS::Forward(47.8002, -12.575, zone[1], north[1], easting[1], northing[1]);
    const auto utm = [&](int p) {
        return QStringList{Metres(easting[p]), Metres(northing[p]), QString::number(zone[p]), QStringLiteral("N")};
    };
    const Format formats[] = {
        {FORMAT_DEC_DEGREE,
         {IDC_LONG_DEGREE, IDC_LONG_SIGN, IDC_LAT_DEGREE},
         Texts({"12.468700", "E", "47.859500"}),
         Texts({"12.575000", "W", "47.800200"})},
        {FORMAT_DEC_MINUTE,
         {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SIGN},
         Texts({"12", "28.1220", "47", "51.5700", "N"}),
         Texts({"12", "34.5000", "47", "48.0120", "N"})},
        {FORMAT_DEC_SECOND,
         {IDC_LONG_MINUTE, IDC_LONG_SECOND, IDC_LAT_MINUTE, IDC_LAT_SECOND},
         Texts({"28", "7.32", "51", "34.20"}),
         Texts({"34", "30.00", "48", "0.72"})},
        {FORMAT_UTM, {IDC_EASTING, IDC_NORTHING, IDC_ZONE, IDC_LAT_SIGN}, utm(0), utm(1)},
    };
    for (const Format& row : formats)
    {
        CReferenceDlg& dlg = Start();
        Choose(IDC_FORMAT, row.format);
        dlg.m_bModified = false;
        dlg.hide();
        Import("harbour.TXT");
        EXPECT_TRUE(dlg.isVisible()) << row.format;
        // An import is a change: "Close" after a Save ended the program and lost it.
        EXPECT_TRUE(dlg.m_bModified) << row.format;
        EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME}), Texts({"harbour", "harbour.bmp"})) << row.format;
        EXPECT_EQ(Row(0, row.ids), row.point1) << row.format;
        EXPECT_EQ(Row(1, row.ids), row.point2) << row.format;
    }
    const FileDialogRequest& request = m_files.Requests().back();
    EXPECT_EQ(Texts({"Import Ref.Coordinates from MagicMaps", "Ref.Coordinates (*.TXT) | *.TXT||", "TXT"}),
              (QStringList{request.title, request.filter, request.defaultExt}));
}

TEST_F(ImportAndLanguage, ImportedNumbersCountInTheChosenDatumAndAShortFileChangesNothing)
{
    Write(Path("points.TXT"), "47.8595,12.4687\n47.8002,-12.5750\n");
    Write(Path("one.TXT"), "10,20\n");
    Write(Path("empty.TXT"), "");
    CReferenceDlg& dlg = Start();
    Enter(IDC_MAP_NAME, QStringLiteral("kept"));
    Choose(IDC_DATUM, DATUM_POTSDAM);
    Import("points.TXT");
    EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("kept"));
    EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("kept.bmp"));

    // PROJ's geocentric translation of the Potsdam numbers to WGS84; within
    // 1e-6° (11 cm; the Molodensky formulas differ by 3 cm at most).
    const double points[2][2] = {{12.4687, 47.8595}, {-12.575, 47.8002}};
    for (int p = 0; p < 2; ++p)
    {
        const auto [lon, lat] = ProjPotsdam(points[p][0], points[p][1], true);
        const double* position = dlg.Converter().Wgs84Position(p);
        EXPECT_NEAR(position[0] * kRadToDeg, lon, 1e-6) << p; // degrees
        EXPECT_NEAR(position[1] * kRadToDeg, lat, 1e-6) << p; // degrees
    }

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
    const std::vector<int> ids = {1066, 1067, 1025, 1044, 1045, 1071, 1072, 1068, 1069, 1037, 1038,
                                  1057, 1059, 1061, 1063, 1070, 1024, 1017, 1019, 1020, 1,    2};
    const QStringList english = Texts({"Map Name",
                                       "BMP-File Name",
                                       "Reference Points",
                                       "Ref.Point 1",
                                       "Ref.Point 2",
                                       "Input Map Datum",
                                       "Input Format",
                                       "X-Pixel",
                                       "Y-Pixel",
                                       "Long",
                                       "Lat",
                                       "Easting",
                                       "Northing",
                                       "Zone",
                                       "Hemisphere",
                                       "Height Difference",
                                       "Ref.from Map",
                                       "Show Map",
                                       "Load",
                                       "Save",
                                       "Close",
                                       "Cancel"});
    const QStringList german = Texts(
        {"Kartenname",    "BMP-Filename", "Referenzpunkte", "Ref.Punkt 1",    "Ref.Punkt 2",   "Eingabe-Kartendatum",
         "Eingabeformat", "X-Pixel",      "Y-Pixel",        "Länge",          "Breite",        "Rechtswert",
         "Hochwert",      "Zone",         "Hemisphäre",     "Höhendifferenz", "Ref.von Karte", "Zeige Karte",
         "Laden",         "Sichern",      "Schließen",      "Abbrechen"});
    const auto labels = [&] { return Shown(ids); };
    EXPECT_EQ(labels(), english);
    EXPECT_EQ(Shown({IDC_LANGUAGE, IDC_LONG_SIGN}), Texts({"English", "E"}));

    Click(IDC_LANGUAGE);
    EXPECT_EQ(labels(), german);
    EXPECT_EQ(Shown({IDC_LANGUAGE, IDC_LONG_SIGN}), Texts({"Deutsch", "O"}));
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
    const std::pair<int, std::uint32_t> rows[] = {
        {IDC_LAT_MINUTE, 0x808203EC},  {IDC_LONG_DEGREE, 0x808203EC}, {IDC_PIXEL_Y, 0x808203EA},
        {IDC_REF_POINT_2, 0x80820414}, {IDC_MAP_NAME, 0x808203E8},    {IDC_SAVE, 0x808203FC},
    };
    Start(kGerman);
    Click(IDC_LANGUAGE); // English, and its help file
    for (const auto& [id, topic] : rows)
    {
        QWidget* control = m_dlg->GetDlgItem(id);
        Activate();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        EXPECT_EQ(LastHelpRequest().data, topic) << id;
        EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT) << id;
        EXPECT_EQ(LastHelpRequest().helpFile, Path("help/KartoraENG.hlp")) << id;
    }
    // The "Long" heading has no focus of its own: help on it comes by the
    // title bar's help button and a click.
    RequestContextHelp(m_dlg->GetDlgItem(IDC_LONG_LABEL));
    EXPECT_EQ(LastHelpRequest().data, 0x808203ECu);
}

} // namespace

TEST_F(ImportAndLanguage, EveryFieldHasAnAccessibleNameInTheDialogsLanguageFormatAndPoint)
{
    // A screen reader could announce none of the fields: they have no caption.
    const auto name = [this](int id)
    {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_dlg->GetDlgItem(id));
        return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
    };
    const auto description = [this](int id)
    {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_dlg->GetDlgItem(id));
        return accessible != nullptr ? accessible->text(QAccessible::Description) : QString();
    };
    CReferenceDlg& dlg = Start(kGerman);
    for (QObject* child : dlg.children())
    {
        auto* field = qobject_cast<QWidget*>(child);
        const bool bInput = qobject_cast<QLineEdit*>(child) != nullptr || qobject_cast<QComboBox*>(child) != nullptr;
        if (field != nullptr && bInput)
        {
            EXPECT_FALSE(name(field->property("controlId").toInt()).isEmpty()) << field->property("controlId").toInt();
        }
    }
    EXPECT_EQ(name(IDC_LAT_MINUTE), QStringLiteral("Breite Dezimalminuten"));
    EXPECT_EQ(description(IDC_LAT_MINUTE), QStringLiteral("Ref.Punkt 1"));
    Click(IDC_LANGUAGE);
    Click(IDC_REF_POINT_2);
    EXPECT_EQ(name(IDC_LAT_MINUTE), QStringLiteral("Latitude decimal minutes"));
    EXPECT_EQ(description(IDC_LAT_MINUTE), QStringLiteral("Ref.Point 2"));
    Choose(IDC_FORMAT, FORMAT_UTM);
    EXPECT_EQ(name(IDC_LAT_SIGN), QStringLiteral("Hemisphere"));
    EXPECT_EQ(name(IDC_NORTHING), QStringLiteral("Northing in metres"));
}
