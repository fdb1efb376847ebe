// Save, Load and "Ref.from Map" through the dialog's buttons.
#include "ref_dlg_fixture.h"

#include "support/named_pipe.h"

#include <QRegularExpression>

#include <sstream>

#include "formats/cal_file.h"
#include "resources/settings_keys.h"

using namespace formats;

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
// The date line is the date of writing.
QByteArray ExpectedFile(const QByteArray& dateLine)
{
    return "TYPE:       RASTERMAP\r\nNAME:       harbour\r\n" + dateLine +
           "\r\nVISIBLE:    YES\r\n"
           "REFERENCE_POINT: (100,900) ==> (10\xB0"
           "30.1760'O,53\xB0"
           "33.2460'N)\r\n"
           "REFERENCE_POINT: (1500,120) ==> (10\xB0"
           "44.9670'O,53\xB0"
           "26.5765'N)\r\n"
           "HEIGHTDIFF:      12.5\r\nPROJECTION:      UTM\r\nELLIPSOID:       WGS84\r\n"
           "FILENAME:        harbour.bmp\r\n";
}

class FileWorkflows : public ReferenceDlgTest
{
protected:
    /// Map harbour, both points typed in "dec.Second" on the Potsdam datum.
    CReferenceDlg& TypePotsdamPoints()
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
};

TEST_F(FileWorkflows, SaveWritesTheWgs84FileOfPointsTypedOnPotsdamInSecondsAndStoresTheSettings)
{
    CReferenceDlg& dlg = TypePotsdamPoints();
    QDir().mkpath(Path("maps"));
    m_files.Answer(Path("maps/harbour.CAL"));
    EXPECT_TRUE(ClickAnswering(IDC_SAVE, {}).isEmpty());

    const QByteArray written = Read(Path("maps/harbour.CAL"));
    const QByteArray dateLine = written.split('\r').value(2).mid(1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^DATE:       \\d\\d/\\d\\d/\\d{4}$"))
                    .match(QString::fromLatin1(dateLine))
                    .hasMatch())
        << dateLine.constData();
    EXPECT_EQ(written, ExpectedFile(dateLine));

    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(Setting("CalDir"), QDir::toNativeSeparators(Path("maps/")));
    EXPECT_EQ(Setting("LongDegree2"), QStringLiteral("10"));
    EXPECT_EQ(Setting("HelpFile"), QStringLiteral("1"));
    // The user's datum and format are in force again.
    EXPECT_EQ(Text(IDC_DATUM), QStringLiteral("Potsdam"));
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM);
    EXPECT_EQ(Text(IDC_LONG_MINUTE), QStringLiteral("45"));
    ASSERT_EQ(m_files.Requests().size(), 1u);
    const FileDialogRequest& request = m_files.Requests().front();
    EXPECT_FALSE(request.bOpenFileDialog);
    EXPECT_EQ(Texts({"Kartora File", "Kartora File (*.CAL) | *.CAL||", "CAL", "harbour"}),
              (QStringList{request.title, request.filter, request.defaultExt, request.fileName}));
    EXPECT_EQ(request.initialDir, QDir::toNativeSeparators(QDir::homePath() + u'/'));
}

TEST_F(FileWorkflows, AfterSaveTheSettingsHoldTheWrittenPointsWgs84HemispheresAndWholeDegrees)
{
    // In dec.Degree and UTM the stored whole degrees were not refreshed (the
    // next start showed 53 degrees for a point written at 52 degrees 20'),
    // and on a local datum the local degrees were stored. Rows: point 2 typed
    // in a format and datum, and its WGS84 whole latitude degrees.
    struct Row
    {
        InputFormat format;
        MapDatum datum;
        std::vector<std::pair<int, const char*>> fields;
        const char* latDegree;
    };
    const Row rows[] = {
        {FORMAT_DEC_DEGREE, DATUM_WGS84, {{IDC_LONG_DEGREE, "11.5"}, {IDC_LAT_DEGREE, "52.34118"}}, "52"},
        // GeographicLib's GeoConvert: 52.31384 N 11.93419 E.
        {FORMAT_UTM, DATUM_WGS84, {{IDC_EASTING, "700000"}, {IDC_NORTHING, "5800000"}, {IDC_ZONE, "32"}}, "52"},
        // 53 degrees 0.05' on Potsdam lies about 0.0015 degrees further south on WGS84.
        {FORMAT_DEC_MINUTE, DATUM_POTSDAM, {{IDC_LAT_DEGREE, "53"}, {IDC_LAT_MINUTE, "0.05"}}, "52"},
    };
    TypePotsdamPoints();
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.format);
        Choose(IDC_FORMAT, row.format);
        Choose(IDC_DATUM, row.datum);
        Click(IDC_REF_POINT_2);
        for (const auto& [id, text] : row.fields)
            Enter(id, QString::fromUtf8(text));
        QFile::remove(Path("harbour.CAL"));
        m_files.Answer(Path("harbour.CAL"));
        EXPECT_EQ(ClickAnswering(IDC_SAVE, {}), QStringList());

        CalValues written;
        std::istringstream file(Read(Path("harbour.CAL")).toStdString());
        ReadCalFile(file, written, [](MessageId, const std::string&) { ADD_FAILURE() << "unreadable file"; });
        EXPECT_EQ(Setting("LatDegree2"), QString::fromUtf8(row.latDegree));
        for (int p = 0; p < 2; ++p)
        {
            for (int axis = 0; axis < 2; ++axis)
            {
                EXPECT_EQ(Setting(kEntryHemisphere[p][axis]), QString::number(written.m_nHemisphere[p][axis]));
                EXPECT_EQ(Setting(kEntryWholeDegrees[p][axis]), QString::number(written.m_nDegree[p][axis]));
            }
        }
    }
}

TEST_F(FileWorkflows, EachQuestionOfSaveAnsweredNoWritesNothingAndTheFailedRelationStopsBeforeTheFileDialog)
{
    // Map name, BMP file name, file chosen (null: no file dialog), answers,
    // last question asked, whether the file old.CAL is then written.
    const std::tuple<const char*, const char*, const char*, std::vector<int>, const char*, bool> rows[] = {
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
    CReferenceDlg& dlg = TypePotsdamPoints();
    for (const auto& [mapName, bmpName, chosen, replies, question, bWritten] : rows)
    {
        Write(Path("old.CAL"), "old contents");
        dlg.m_bModified = true;
        dlg.m_strMapName = QString::fromUtf8(mapName);
        dlg.m_strBmpFileName = QString::fromUtf8(bmpName);
        dlg.UpdateData(false);
        const std::size_t requests = m_files.Requests().size();
        if (chosen != nullptr)
            m_files.Answer(Path(chosen));
        EXPECT_EQ(ClickAnswering(IDC_SAVE, replies).value(static_cast<qsizetype>(replies.size()) - 1),
                  QString::fromUtf8(question));
        EXPECT_EQ(m_files.Requests().size() - requests, chosen != nullptr ? 1u : 0u) << question;
        EXPECT_EQ(Read(Path("old.CAL")) != "old contents", bWritten) << question;
        EXPECT_EQ(dlg.m_bModified, !bWritten);
        EXPECT_EQ(Setting("CalDir") != QStringLiteral("-"), bWritten) << "settings only after a Save";
    }
    EXPECT_EQ(dlg.m_strCalDir, QDir::toNativeSeparators(m_dir.path() + u'/'));
    EXPECT_FALSE(QFile::exists(Path("any.CAL")) || QFile::exists(Path("new.CAL")));

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
    CReferenceDlg& dlg = TypePotsdamPoints();
    dlg.m_strMapName = dlg.m_strBmpFileName = QString(); // no name questions
    dlg.UpdateData(false);

    // A directory where the file should go is left as it is; the failure is
    // told, naming the file and the system's reason (it used to pass in silence).
    const QString taken = Path("taken.CAL");
    ASSERT_TRUE(QDir().mkpath(taken));
    Write(taken + QStringLiteral("/inside"), "old contents");
    m_files.Answer(taken);
    const QStringList boxes = ClickAnswering(IDC_SAVE, {IDC_YES, IDC_YES, IDOK});
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[2], QStringLiteral("The File ") + QDir::toNativeSeparators(taken) +
                            QStringLiteral(" could not be written!\nIs a directory"));
    EXPECT_EQ(Read(taken + QStringLiteral("/inside")), QByteArray("old contents"));
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(Setting("CalDir"), QStringLiteral("-"));
    EXPECT_EQ(dlg.Converter().GetDatum(), DATUM_POTSDAM) << "the user's datum back after the failure";

    // The directory vanished between the choice and the write; "Close" then
    // keeps the dialog open.
    m_files.Answer(Path("gone/harbour.CAL"));
    const QStringList closing = ClickAnswering(IDOK, {IDC_YES, IDOK});
    ASSERT_EQ(closing.size(), 2);
    EXPECT_TRUE(closing[1].endsWith(QStringLiteral(" could not be written!\nNo such file or directory")));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(QFile::exists(Path("gone/harbour.CAL")));

    // Fault pinned: a name of 244 to 255 bytes left no room for the temporary
    // file's name beside it, so Save failed; now its temporary name fits.
    const QString longName = m_dir.filePath(QString(246, u'h') + QStringLiteral(".CAL"));
    Write(longName, "old contents");
    m_files.Answer(longName);
    EXPECT_EQ(ClickAnswering(IDC_SAVE, {IDC_YES, IDC_YES}).size(), 2);
    EXPECT_TRUE(Read(longName).startsWith("TYPE:       RASTERMAP\r\n"));
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QFileInfo(longName).fileName()});
}

TEST_F(FileWorkflows, AFieldThatFailsItsCheckStopsSaveAndCloseBeforeAnyQuestion)
{
    CReferenceDlg& dlg = TypePotsdamPoints();
    Write(Path("harbour.CAL"), "old contents");
    Type(IDC_LAT_MINUTE, QStringLiteral("61")); // still in the field, not yet checked
    m_files.Answer(Path("harbour.CAL"));
    for (const int button : {IDC_SAVE, IDOK})
    {
        SCOPED_TRACE(button);
        EXPECT_EQ(ClickAnswering(button, {}), QStringList()) << "no question, no file dialog";
        EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
        EXPECT_EQ(dlg.focusWidget(), Field(IDC_LAT_MINUTE));
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(dlg.m_bModified);
    }
    EXPECT_EQ(Read(Path("harbour.CAL")), QByteArray("old contents"));
}

TEST_F(FileWorkflows, SaveOfAPointWithoutPositionWritesNothingAndShowsTheValueToMend)
{
    // Save used to write such a point's previous position and report
    // success. Each row: format, datum, the field texts of point 2, the
    // field that gets the focus and the message.
    struct Row
    {
        InputFormat format;
        MapDatum datum;
        std::vector<std::pair<int, const char*>> fields;
        int focus;
        const char* message;
    };
    const Row rows[] = {
        {FORMAT_UTM, DATUM_WGS84, {{IDC_EASTING, "56711"}}, IDC_EASTING, "Value too small!"},
        {FORMAT_UTM, DATUM_WGS84, {{IDC_ZONE, "0"}}, IDC_ZONE, "Value too small!"},
        {FORMAT_UTM, DATUM_EUROPEAN, {{IDC_NORTHING, "9999000"}}, IDC_NORTHING, "Value too large!"},
        {FORMAT_DEC_MINUTE,
         DATUM_POTSDAM,
         {{IDC_LAT_DEGREE, "90"}, {IDC_LAT_MINUTE, "30"}},
         IDC_LAT_DEGREE,
         "No position in this datum!"},
    };
    CReferenceDlg& dlg = TypePotsdamPoints();
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.focus);
        Choose(IDC_FORMAT, row.format);
        Choose(IDC_DATUM, row.datum);
        Click(IDC_REF_POINT_2);
        for (const auto& [id, text] : row.fields)
            Enter(id, QString::fromUtf8(text));
        Click(IDC_REF_POINT_2); // the typed values as the fields show them after an exchange
        const QStringList pointTwo = Shown({IDC_PIXEL_X, IDC_EASTING, IDC_NORTHING, IDC_ZONE, IDC_LAT_MINUTE});
        Click(IDC_REF_POINT_1); // the failing point need not be the current one
        Write(Path("harbour.CAL"), "old contents");
        m_files.Answer(Path("harbour.CAL"));
        EXPECT_EQ(ClickAnswering(IDC_SAVE, {}), QStringList()) << "no question, no file dialog";
        EXPECT_EQ(Read(Path("harbour.CAL")), QByteArray("old contents"));
        EXPECT_TRUE(dlg.m_bModified);
        EXPECT_TRUE(ErrorWindow().isVisible());
        EXPECT_EQ(ErrorWindow().Message(), QString::fromUtf8(row.message));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_2));
        EXPECT_EQ(dlg.focusWidget(), Field(row.focus));
        EXPECT_EQ(Shown({IDC_PIXEL_X, IDC_EASTING, IDC_NORTHING, IDC_ZONE, IDC_LAT_MINUTE}), pointTwo)
            << "the typed values stay";
        m_files.Cancel(); // the unused answer
        QFile::remove(Path("harbour.CAL"));
        // Mend the point for the next row: back to the first row's position.
        Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
        Choose(IDC_DATUM, DATUM_WGS84);
        Enter(IDC_LONG_DEGREE, QStringLiteral("10.75"));
        Enter(IDC_LAT_DEGREE, QStringLiteral("53.44"));
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(FileWorkflows, SaveWithAPointPickedBelowTheMapWritesNothingAndShowsItsPixel)
{
    // With the other point current, Save wrote the pixel y of a point picked
    // 40 rows below the map as 4294967256.
    CReferenceDlg& dlg = TypePotsdamPoints();
    dlg.OnPointPicked2(1500, static_cast<LPARAM>(-40));
    Click(IDC_REF_POINT_1);
    Write(Path("harbour.CAL"), "old contents");
    m_files.Answer(Path("harbour.CAL"));
    EXPECT_EQ(ClickAnswering(IDC_SAVE, {}), QStringList()) << "no question, no file dialog";
    EXPECT_EQ(Read(Path("harbour.CAL")), QByteArray("old contents"));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_2));
    EXPECT_EQ(Text(IDC_PIXEL_Y), QStringLiteral("-40"));
    EXPECT_EQ(dlg.focusWidget(), Field(IDC_PIXEL_Y));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Forbidden characters!"));
    m_files.Cancel(); // the unused answer
}

TEST_F(FileWorkflows, SaveOfAPointBeyondAWholeTurnWritesNothingAndReportsTheValueTooLarge)
{
    // Stored degrees are taken unchecked; these pass the relation test. Save
    // used to write 0°0.0000' for both points and report success; the degree
    // fields' check now stops it before any question.
    for (const auto& [entry, degrees] :
         {std::pair{"LongDegree1", 5}, {"LatDegree1", 99999}, {"LongDegree2", 99999}, {"LatDegree2", 5}})
        m_app.WriteProfileInt(QStringLiteral("Settings"), QString::fromLatin1(entry), degrees);
    CReferenceDlg& dlg = Start();
    // Set, not typed: the focus stays in the degree field that fails its check.
    dlg.m_strMapName = QStringLiteral("harbour");
    dlg.m_strBmpFileName = QStringLiteral("harbour.bmp");
    const std::uint32_t pixels[2][2] = {{100, 900}, {1500, 120}};
    std::copy(&pixels[0][0], &pixels[0][0] + 4, &dlg.m_nPixel[0][0]);
    dlg.m_bModified = true; // as a Load leaves it; focus changes alone no longer count
    dlg.UpdateData(false);
    Write(Path("harbour.CAL"), "old contents");
    EXPECT_EQ(ClickAnswering(IDOK, {}), QStringList());
    EXPECT_EQ(Read(Path("harbour.CAL")), QByteArray("old contents"));
    EXPECT_TRUE(dlg.isVisible()) << "Close stays open";
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_TRUE(ErrorWindow().isVisible());
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("harbour.CAL")});
}

TEST_F(FileWorkflows, SaveOfAnInfiniteHeightDifferenceWritesNothingAndShowsTheField)
{
    // A loaded number beyond every double is infinite; Save used to write
    // "HEIGHTDIFF:      inf", which reads back as 0. The field shows "inf",
    // which its check refuses before any question.
    for (const char* height : {"1e400", "-1e400"})
    {
        SCOPED_TRACE(height);
        const QByteArray file = QByteArray("NAME:       harbour\r\nREFERENCE_POINT: (120,840) ==> (12\xB0"
                                           "28.1235'O,47\xB0"
                                           "51.5675'N)\r\nREFERENCE_POINT: (1530,95) ==> (12\xB0"
                                           "34.5000'O,47\xB0"
                                           "48.0120'N)\r\nHEIGHTDIFF:      ") +
                                height + "\r\nFILENAME:        harbour.bmp\r\n";
        Write(Path("harbour.CAL"), file);
        CReferenceDlg& dlg = Start();
        m_files.Answer(Path("harbour.CAL"));
        EXPECT_EQ(ClickAnswering(IDC_LOAD, {IDOK}), Texts({"Too less Keywords found!"}));
        EXPECT_EQ(ClickAnswering(IDC_SAVE, {}), QStringList());
        EXPECT_EQ(Read(Path("harbour.CAL")), file);
        EXPECT_TRUE(dlg.m_bModified);
        EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Forbidden characters!"));
        EXPECT_TRUE(ErrorWindow().isVisible());
        EXPECT_EQ(dlg.focusWidget(), Field(IDC_HEIGHT_DIFF));
        EXPECT_EQ(Field(IDC_HEIGHT_DIFF)->selectedText(),
                  height[0] == '-' ? QStringLiteral("-inf") : QStringLiteral("inf"));
    }
}

TEST_F(FileWorkflows, LoadShowsTheFilesWgs84PointsInTheUsersDatumAndFormat)
{
    Write(Path("harbour.CAL"), ExpectedFile("DATE:       05/03/2009"));
    CReferenceDlg& dlg = Start();
    Choose(IDC_FORMAT, FORMAT_UTM);
    Choose(IDC_DATUM, DATUM_POTSDAM);
    Click(IDC_REF_POINT_2);
    m_files.Answer(Path("harbour.CAL"));
    EXPECT_TRUE(ClickAnswering(IDC_LOAD, {}).isEmpty());

    // PROJ's inverse translation to Potsdam, then GeographicLib's exact
    // Transverse Mercator on Bessel 1841 (zone 32), cut to whole metres:
    // point 1 599638.49 5934521.75, point 2 616271.29 5922529.93.
    EXPECT_EQ(Shown({IDC_FORMAT, IDC_DATUM}), Texts({"UTM", "Potsdam"}));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_1));
    EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME, IDC_PIXEL_X, IDC_PIXEL_Y, IDC_EASTING, IDC_NORTHING, IDC_ZONE,
                     IDC_LAT_SIGN, IDC_HEIGHT_DIFF}),
              Texts({"harbour", "harbour.bmp", "100", "900", "599638", "5934521", "32", "N", "12.50"}));
    Click(IDC_REF_POINT_2);
    EXPECT_EQ(Shown({IDC_EASTING, IDC_NORTHING}), Texts({"616271", "5922529"}));
    EXPECT_TRUE(dlg.m_bModified);
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

    // A long file that is no reference file: ten boxes about ignored lines,
    // not one per line (the file has 500), and what it does hold still counts.
    std::string junk = "FILENAME:        junk.bmp\n";
    for (int line = 0; line < 500; ++line)
        junk += "junk " + std::to_string(line) + "\n";
    Write(Path("junk.CAL"), QByteArray::fromStdString(junk));
    m_files.Answer(Path("junk.CAL"));
    const QStringList boxes = ClickAnswering(IDC_LOAD, std::vector<int>(10, IDOK));
    ASSERT_EQ(boxes.size(), 10);
    EXPECT_EQ(boxes.back(), QStringLiteral("No Keyword found in <junk 9>! Line ignored!"));
    EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QStringLiteral("junk.bmp"));
}

TEST_F(FileWorkflows, ADirectoryOrANamedPipeChosenForLoadOrTheImportEndsItSilently)
{
    // A pipe chosen as the reference file or the export hung the program:
    // its open waited for a writer.
    CReferenceDlg& dlg = Start();
    ASSERT_TRUE(QDir().mkdir(Path("folder.CAL")));
    const CNamedPipe pipe(Path("pipe.CAL"));
    ASSERT_TRUE(pipe.IsValid());
    for (const char* name : {"folder.CAL", "pipe.CAL"})
    {
        SCOPED_TRACE(name);
        m_files.Answer(Path(name));
        EXPECT_TRUE(ClickAnswering(IDC_LOAD, {}).isEmpty()) << "no message";
        m_files.Answer(Path(name));
        const CMessageBoxAnswers noMessage({});
        PostMessage(&dlg, WM_IMPORT_REFPOINTS);
        Deliver();
        EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME}), Texts({"", ""}));
    }
    EXPECT_EQ(m_files.Requests().size(), 4u);
    EXPECT_FALSE(pipe.ReaderWaited());
}

TEST_F(FileWorkflows, RefFromMapOffersADeviceBmpBesideAScanAndUsesItsName)
{
    CReferenceDlg& dlg = Start();
    // A true-colour PNG: the device reads none; its BMP name is taken already.
    QImage scan(20, 10, QImage::Format_RGB32);
    scan.fill(qRgb(10, 120, 200));
    ASSERT_TRUE(scan.save(Path("harbour.png")));
    Write(Path("harbour.bmp"), "someone's file");
    const QString question = QStringLiteral("The device reads only BMP-Files with 4 or 8 bpp! Write the map as "
                                            "harbour-2.bmp with 256 colors beside it and use that?");
    m_files.Answer(Path("harbour.png"));
    EXPECT_EQ(ClickAnswering(IDC_REF_FROM_MAP, {IDC_YES}), QStringList{question});
    Deliver();
    ASSERT_EQ(m_view.m_messages.size(), 1u);
    const auto& sent = m_view.m_messages[0];
    EXPECT_EQ(sent.nMessage, WM_MAP_CONVERT);
    EXPECT_EQ((QStringList{sent.strPath, sent.strDevicePath}),
              (QStringList{Path("harbour.png"), Path("harbour-2.bmp")}));
    EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME}), Texts({"harbour-2", "harbour-2.bmp"}));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(Read(Path("harbour.bmp")), QByteArray("someone's file"));
}

TEST_F(FileWorkflows, RefFromMapHandsTheBitmapToTheViewAndTheViewsFailureRestoresTheNames)
{
    CReferenceDlg& dlg = Start();
    PostMessage(&dlg, WM_REFPOINT2_PICKED, 1500, 120);
    Deliver();
    m_files.Answer(Path("harbour.bmp"));
    EXPECT_TRUE(ClickAnswering(IDC_REF_FROM_MAP, {}).isEmpty()) << "both names empty: no question";
    EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME}), Texts({"harbour", "harbour.bmp"}));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.GetDlgItem(IDC_SHOW_MAP)->isEnabled());
    const FileDialogRequest& request = m_files.Requests().back();
    EXPECT_EQ(Texts({"Kartora File",
                     "BitMap-File (*.BMP) | *.BMP|Scan (*.PNG;*.JPG;*.JPEG;*.TIF;*.TIFF;*.GIF) | "
                     "*.PNG;*.JPG;*.JPEG;*.TIF;*.TIFF;*.GIF||",
                     "BMP"}),
              (QStringList{request.title, request.filter, request.defaultExt}));
    Deliver();
    ASSERT_EQ(m_view.m_messages.size(), 1u);
    EXPECT_EQ(m_view.m_messages[0].nMessage, WM_MAP_LOAD);
    EXPECT_EQ(m_view.m_messages[0].strPath, Path("harbour.bmp"));
    EXPECT_EQ(std::vector<std::uint32_t>(m_view.m_messages[0].values, m_view.m_messages[0].values + 4),
              (std::vector<std::uint32_t>{0, 0, 1500, 120}));
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
    PostMessage(&dlg, WM_MAP_STATE, 0);
    Deliver();
    EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME}), Texts({"harbour", "harbour.bmp"}));
    // Nothing to show: "Show Map" showed an empty window after a failed load.
    EXPECT_FALSE(dlg.GetDlgItem(IDC_SHOW_MAP)->isEnabled());

    // No stops before anything changes.
    m_files.Answer(Path("third.bmp"));
    EXPECT_EQ(ClickAnswering(IDC_REF_FROM_MAP, {IDC_NO}).size(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_strBmpFileName, QStringLiteral("harbour.bmp"));
}

} // namespace
