// Save, Load and "Ref.from Map" through the dialog's buttons.
#include "ref_dlg_fixture.h"

#include <QRegularExpression>

namespace
{

// The file Save writes for the points typed in SaveTypedPotsdamPoints. The
// WGS84 minutes are PROJ's geocentric translation of the Potsdam points
// (587, 16, 393 m on Bessel 1841), rounded by hand as the dialog rounds:
// degrees to five decimals, then minutes in steps of 0.0005'.
//   10° 30' 15.50" E -> 10.502928190° -> 10.50293° -> 30.1758' -> 30.1760'
//   53° 33' 20.25" N -> 53.554101439° -> 53.55410° -> 33.2460'
//   10° 45'  3.10" E -> 10.749449790° -> 10.74945° -> 44.9670'
//   53° 26' 40.00" N -> 53.442935924° -> 53.44294° -> 26.5764' -> 26.5765'
// None lies within 0.09 of a rounding step of the five decimals, that is
// 10 cm, against the 3 cm by which the Molodensky shift differs from PROJ's.
const char* const kExpectedLines[] = {
    "TYPE:       RASTERMAP",
    "NAME:       harbour",
    nullptr, // the date of writing
    "VISIBLE:    YES",
    "REFERENCE_POINT: (100,900) ==> (10\xB0"
    "30.1760'O,53\xB0"
    "33.2460'N)",
    "REFERENCE_POINT: (1500,120) ==> (10\xB0"
    "44.9670'O,53\xB0"
    "26.5765'N)",
    "HEIGHTDIFF:      12.5",
    "PROJECTION:      UTM",
    "ELLIPSOID:       WGS84",
    "FILENAME:        harbour.bmp",
};

class FileWorkflows : public ReferenceDlgTest
{
protected:
    /// Map harbour, both points typed in "dec.Second" on the Potsdam datum.
    CReferenceDlg& SaveTypedPotsdamPoints()
    {
        CReferenceDlg& dlg = Start();
        Enter(IDC_MAP_NAME, QStringLiteral("harbour")); // the BMP file name follows
        Choose(IDC_FORMAT, FORMAT_DEC_SECOND);
        Choose(IDC_DATUM, DATUM_POTSDAM);
        const char* const points[2][8] = {{"100", "900", "10", "30", "15.50", "53", "33", "20.25"},
                                          {"1500", "120", "10", "45", "3.10", "53", "26", "40"}};
        const int ids[8] = {IDC_PIXEL_X,     IDC_PIXEL_Y,    IDC_LONG_DEGREE, IDC_LONG_MINUTE,
                            IDC_LONG_SECOND, IDC_LAT_DEGREE, IDC_LAT_MINUTE,  IDC_LAT_SECOND};
        for (int p = 0; p < 2; ++p)
        {
            Click(p == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2);
            for (int i = 0; i < 8; ++i)
                Enter(ids[i], QString::fromUtf8(points[p][i]));
        }
        Enter(IDC_HEIGHT_DIFF, QStringLiteral("12.5"));
        return dlg;
    }
    QByteArray Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    void Write(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString Setting(const char* entry) const
    {
        return m_app.GetProfileString(QStringLiteral("Settings"), QString::fromUtf8(entry), QStringLiteral("-"));
    }
};

TEST_F(FileWorkflows, SaveWritesTheWgs84FileOfPointsTypedOnPotsdamInSecondsAndStoresTheSettings)
{
    CReferenceDlg& dlg = SaveTypedPotsdamPoints();
    QDir().mkpath(Path("maps"));
    m_files.Answer(Path("maps/harbour.CAL"));
    EXPECT_TRUE(ClickAnswering(IDC_SAVE, {}).isEmpty());

    const QList<QByteArray> lines = Read(Path("maps/harbour.CAL")).split('\n');
    ASSERT_EQ(lines.size(), 11); // ten lines, each ending in CR LF
    for (int i = 0; i < 10; ++i)
    {
        ASSERT_TRUE(lines[i].endsWith('\r')) << i;
        const QByteArray line = lines[i].chopped(1);
        if (kExpectedLines[i] != nullptr)
            EXPECT_EQ(line, QByteArray(kExpectedLines[i])) << i;
        else
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^DATE:       \\d\\d/\\d\\d/\\d{4}$"))
                            .match(QString::fromLatin1(line))
                            .hasMatch())
                << line.constData();
    }
    EXPECT_TRUE(lines[10].isEmpty());

    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(Setting("CalDir"), QDir::toNativeSeparators(Path("maps/")));
    EXPECT_EQ(Setting("LongDegree2"), QStringLiteral("10"));
    EXPECT_EQ(Setting("LatDegree1"), QStringLiteral("53"));
    EXPECT_EQ(Setting("HelpFile"), QStringLiteral("1"));
    // The user's datum and format are in force again.
    EXPECT_EQ(Text(IDC_DATUM), QStringLiteral("Potsdam"));
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);
    EXPECT_EQ(Text(IDC_LONG_MINUTE), QStringLiteral("45"));

    // The file dialog as the user sees it.
    ASSERT_EQ(m_files.Requests().size(), 1u);
    const FileDialogRequest& request = m_files.Requests().front();
    EXPECT_FALSE(request.bOpenFileDialog);
    EXPECT_EQ(request.title, QStringLiteral("Kartora File"));
    EXPECT_EQ(request.filter, QStringLiteral("Kartora File (*.CAL) | *.CAL||"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("CAL"));
    EXPECT_EQ(request.fileName, QStringLiteral("harbour"));
    EXPECT_EQ(request.initialDir, QDir::toNativeSeparators(QDir::homePath() + u'/'));
}

TEST_F(FileWorkflows, EachQuestionOfSaveAnsweredNoWritesNothingAndTheFailedRelationStopsBeforeTheFileDialog)
{
    struct Row
    {
        const char* mapName;
        const char* bmpName;
        const char* chosenFile; ///< null: no file dialog expected
        std::vector<int> replies;
        const char* lastQuestion;
        bool bWritten;
    };
    const Row rows[] = {
        {"Harbour", "harbour.bmp", nullptr, {IDC_NO}, "File and map should have the same name! Continue?", false},
        {"harbour",
         "harbour.old.bmp",
         "new.CAL",
         {IDC_NO},
         "CAL-File and BMP-File should have the same name! Continue?",
         false},
        {"", "", "any.CAL", {IDC_NO}, "CAL-File and BMP-File should have the same name! Continue?", false},
        {"Harbour", "harbour.bmp", "old.CAL", {IDC_YES, IDC_NO}, "The File old.CAL already exists! Continue?", false},
        {"Harbour",
         "harbour.bmp",
         "old.CAL",
         {IDC_YES, IDC_YES, IDC_YES},
         "CAL-File and BMP-File should have the same name! Continue?",
         true},
    };
    CReferenceDlg& dlg = SaveTypedPotsdamPoints();
    for (const Row& row : rows)
    {
        Write(Path("old.CAL"), "old contents");
        dlg.m_bModified = true;
        dlg.m_strMapName = QString::fromUtf8(row.mapName);
        dlg.m_strBmpFileName = QString::fromUtf8(row.bmpName);
        dlg.UpdateData(false);
        const std::size_t requests = m_files.Requests().size();
        if (row.chosenFile != nullptr)
            m_files.Answer(Path(row.chosenFile));
        const QStringList texts = ClickAnswering(IDC_SAVE, row.replies);
        ASSERT_FALSE(texts.isEmpty()) << row.mapName;
        EXPECT_EQ(texts.back(), QString::fromUtf8(row.lastQuestion)) << row.mapName;
        EXPECT_EQ(m_files.Requests().size() - requests, row.chosenFile != nullptr ? 1u : 0u);
        EXPECT_EQ(Read(Path("old.CAL")) != "old contents", row.bWritten) << row.mapName;
        EXPECT_EQ(dlg.m_bModified, !row.bWritten);
        EXPECT_EQ(Setting("CalDir") != QStringLiteral("-"), row.bWritten) << "settings only after a Save";
    }
    EXPECT_EQ(dlg.m_strCalDir, QDir::toNativeSeparators(m_dir.path() + u'/'));
    EXPECT_FALSE(QFile::exists(Path("any.CAL")));
    EXPECT_FALSE(QFile::exists(Path("new.CAL")));

    // Both points on the same pixel column: no relation, no file dialog.
    dlg.m_strMapName = QStringLiteral("harbour");
    dlg.m_nPixel[1][0] = dlg.m_nPixel[0][0];
    dlg.UpdateData(false);
    const std::size_t requests = m_files.Requests().size();
    EXPECT_EQ(ClickAnswering(IDC_SAVE, {IDOK}), Texts({"Pixel and Coordinates in wrong Relation!"}));
    EXPECT_EQ(m_files.Requests().size(), requests);
}

TEST_F(FileWorkflows, AFailedWriteReportsFailureAndLeavesTheOldFileAsItWas)
{
    CReferenceDlg& dlg = SaveTypedPotsdamPoints();
    dlg.m_strMapName = dlg.m_strBmpFileName = QString(); // no name questions
    dlg.UpdateData(false);

    // A name of 250 bytes leaves no room for the temporary file beside it.
    const QString longName = QString(246, u'h') + QStringLiteral(".CAL");
    Write(m_dir.filePath(longName), "old contents");
    m_files.Answer(m_dir.filePath(longName));
    EXPECT_EQ(ClickAnswering(IDC_SAVE, {IDC_YES, IDC_YES}).size(), 2);
    EXPECT_EQ(Read(m_dir.filePath(longName)), QByteArray("old contents"));
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(Setting("CalDir"), QStringLiteral("-"));
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM) << "the user's datum back after the failure";

    // The directory vanished between the choice and the write; "Close" then
    // keeps the dialog open.
    QDir().mkpath(Path("gone"));
    m_files.Answer(Path("gone/harbour.CAL"));
    QDir(Path("gone")).removeRecursively();
    EXPECT_EQ(ClickAnswering(IDOK, {IDC_YES}).size(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(QFile::exists(Path("gone/harbour.CAL")));
}

TEST_F(FileWorkflows, LoadShowsTheFilesWgs84PointsInTheUsersDatumAndFormat)
{
    QByteArray file;
    for (const char* line : kExpectedLines)
        file += QByteArray(line != nullptr ? line : "DATE:       05/03/2009") + "\r\n";
    Write(Path("harbour.CAL"), file);
    CReferenceDlg& dlg = Start();
    Choose(IDC_FORMAT, FORMAT_UTM);
    Choose(IDC_DATUM, DATUM_POTSDAM);
    Click(IDC_REF_POINT_2);
    m_files.Answer(Path("harbour.CAL"));
    EXPECT_TRUE(ClickAnswering(IDC_LOAD, {}).isEmpty());

    // PROJ's inverse translation to Potsdam, then GeographicLib's exact
    // Transverse Mercator on Bessel 1841 (zone 32), cut to whole metres:
    // point 1 599638.49 5934521.75, point 2 616271.29 5922529.93.
    EXPECT_EQ(Text(IDC_FORMAT), QStringLiteral("UTM"));
    EXPECT_EQ(Text(IDC_DATUM), QStringLiteral("Potsdam"));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_1));
    EXPECT_EQ(Texts({"harbour", "harbour.bmp", "100", "900", "599638", "5934521", "32", "N", "12.50"}),
              (QStringList{Text(IDC_MAP_NAME), Text(IDC_BMP_FILE_NAME), Text(IDC_PIXEL_X), Text(IDC_PIXEL_Y),
                           Text(IDC_EASTING), Text(IDC_NORTHING), Text(IDC_ZONE), Text(IDC_LAT_SIGN),
                           Text(IDC_HEIGHT_DIFF)}));
    Click(IDC_REF_POINT_2);
    EXPECT_EQ(Texts({"616271", "5922529"}), (QStringList{Text(IDC_EASTING), Text(IDC_NORTHING)}));
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(m_files.Requests().front().bOpenFileDialog, true);
}

TEST_F(FileWorkflows, LoadReportsUnknownLinesAndShortFilesAndKeepsWhatItRead)
{
    Write(Path("odd.CAL"), "NAME:       odd\r\n  NAME: indented\r\nHEIGHTDIFF:      20000\n");
    Write(Path("empty.CAL"), "");
    CReferenceDlg& dlg = Start();

    m_files.Cancel();
    dlg.m_bModified = false;
    Click(IDC_LOAD);
    EXPECT_TRUE(dlg.m_bModified) << "set although the dialog was cancelled";

    m_files.Answer(Path("odd.CAL"));
    EXPECT_EQ(ClickAnswering(IDC_LOAD, {IDOK, IDOK}),
              Texts({"No Keyword found in <  NAME: indented>! Line ignored!", "Too less Keywords found!"}));
    EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("odd"));
    EXPECT_EQ(dlg.m_dHeightDiff, 20000.0) << "out of range, reported, kept";
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));

    m_files.Answer(Path("empty.CAL"));
    EXPECT_EQ(ClickAnswering(IDC_LOAD, {IDOK}), Texts({"Too less Keywords found!"}));
    EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("odd"));
}

TEST_F(FileWorkflows, RefFromMapHandsTheBitmapToTheViewAndTheViewsFailureRestoresTheNames)
{
    CReferenceDlg& dlg = Start();
    PostMessage(&dlg, WM_REFPOINT2_PICKED, 1500, 120);
    Deliver();
    m_files.Answer(Path("harbour.bmp"));
    EXPECT_TRUE(ClickAnswering(IDC_REF_FROM_MAP, {}).isEmpty()) << "both names empty: no question";
    EXPECT_EQ(dlg.m_strMapName, QStringLiteral("harbour"));
    EXPECT_EQ(dlg.m_strBmpFileName, QStringLiteral("harbour.bmp"));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.GetDlgItem(IDC_SHOW_MAP)->isEnabled());
    const FileDialogRequest& request = m_files.Requests().back();
    EXPECT_EQ(request.filter, QStringLiteral("BitMap-File (*.BMP) | *.BMP||"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("BMP"));
    EXPECT_EQ(request.title, QStringLiteral("Kartora File"));
    Deliver();
    ASSERT_EQ(m_view.m_messages.size(), 1u);
    EXPECT_EQ(m_view.m_messages[0].nMessage, WM_MAP_LOAD);
    EXPECT_EQ(m_view.m_messages[0].strPath, Path("harbour.bmp"));
    EXPECT_EQ(std::vector<std::uint32_t>(m_view.m_messages[0].values, m_view.m_messages[0].values + 4),
              (std::vector<std::uint32_t>{0, 0, 1500, 120}));

    Activate();
    Click(IDC_SHOW_MAP);
    Deliver();
    EXPECT_EQ(m_view.m_messages.back().nMessage, WM_MAP_SHOW);

    // Another bitmap: both names differ from it; the view then fails to load it.
    m_files.Answer(Path("other.bmp"));
    EXPECT_EQ(ClickAnswering(IDC_REF_FROM_MAP, {IDC_YES, IDC_YES}),
              Texts({"File and map should have the same name! Continue?",
                     "The name of the loading file is different to the input BMP-file name! Continue?"}));
    EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("other.bmp"));
    PostMessage(&dlg, WM_MAP_LOAD_FAILED);
    Deliver();
    EXPECT_EQ(Text(IDC_MAP_NAME), QStringLiteral("harbour"));
    EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("harbour.bmp"));

    // No stops before anything changes.
    Activate();
    m_files.Answer(Path("third.bmp"));
    EXPECT_EQ(ClickAnswering(IDC_REF_FROM_MAP, {IDC_NO}).size(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_strBmpFileName, QStringLiteral("harbour.bmp"));
}

} // namespace
