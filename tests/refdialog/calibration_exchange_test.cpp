// File > "Export calibration..." and "Import calibration...": the dialog's
// wiring to the exchange library, once per command; the formats' rules are
// tested with the library.
#include "ref_dlg_fixture.h"

#include "support/bmp_writer.h"

namespace
{

// samples/harbour.CAL, dated.
const QByteArray kHarbourCal = "TYPE:       RASTERMAP\r\nNAME:       harbour\r\nDATE:       09/12/2026\r\n"
                               "VISIBLE:    YES\r\n"
                               "REFERENCE_POINT: (170,170) ==> (10\xB0"
                               "52.3500'O,54\xB0"
                               "3.1200'N)\r\n"
                               "REFERENCE_POINT: (640,460) ==> (10\xB0"
                               "55.5900'O,54\xB0"
                               "4.2900'N)\r\n"
                               "HEIGHTDIFF:      0.0\r\nPROJECTION:      UTM\r\nELLIPSOID:       WGS84\r\n"
                               "FILENAME:        harbour.bmp\r\n";

class CalibrationExchange : public ReferenceDlgTest
{
protected:
    void SetUp() override
    {
        ReferenceDlgTest::SetUp();
        // Only the header counts: an 800 x 600 map.
        BmpRecipe recipe;
        recipe.width = 800, recipe.height = 600;
        const BmpBytes header = WriteBmpHeaders(recipe, 0);
        Write(Path("harbour.bmp"), QByteArray(reinterpret_cast<const char*>(header.data()), qsizetype(header.size())));
    }
    void Post(UINT message)
    {
        PostMessage(m_dlg.get(), message);
        Deliver();
    }
};

} // namespace

TEST_F(CalibrationExchange, ExportWritesTheLoadedCalibrationInTheFormatOfTheChosenExtension)
{
    Write(Path("harbour.CAL"), kHarbourCal);
    Start();
    m_files.Answer(Path("harbour.CAL"));
    ClickAnswering(IDC_LOAD, {});
    m_files.Answer(Path("harbour.map"));
    Post(WM_EXPORT_CALIBRATION);

    const FileDialogRequest& request = m_files.Requests().back();
    EXPECT_EQ(request.title, QStringLiteral("Export calibration"));
    EXPECT_EQ(QtNameFiltersFromWindowsFilter(request.filter).size(), 6);
    // The lighthouse's pixel corner, half a pixel up and left of it (see the
    // library's test for the figures).
    EXPECT_TRUE(Read(Path("harbour.map"))
                    .contains("\r\nPoint01,xy,  170,  430,in, deg,  54,  3.12201724,N,  10, 52.34655319,E,"))
        << Read(Path("harbour.map")).left(600).constData();
}

TEST_F(CalibrationExchange, ImportFillsTheDialogAsLoadDoesOrNamesTheReason)
{
    // A world file of the sample (pixel sizes and the top-left pixel's centre).
    Write(Path("harbour.bpw"), "0.000114893617021276\n0\n0\n-0.0000672413793103448\n10.852968085106383\n"
                               "54.08091379310345\n");
    CReferenceDlg& dlg = Start(kGerman);
    Choose(IDC_FORMAT, FORMAT_DEC_DEGREE);
    m_files.Answer(Path("harbour.bpw"));
    {
        CMessageBoxAnswers none({});
        Post(WM_IMPORT_CALIBRATION);
    }
    EXPECT_EQ(m_files.Requests().back().title, QString::fromUtf8("Kalibrierung importieren"));
    // At 10 % and 90 % of the map: pixel 80, 60 lies 90 columns left of and
    // 110 rows below the lighthouse, 10°52.35' - 90 x 3.24'/470 = 10.86216° (five decimals)
    // and 54°3.12' - 110 x 1.17'/290 = 54.04460°, as the field shows them.
    EXPECT_EQ(Shown({IDC_MAP_NAME, IDC_BMP_FILE_NAME, IDC_PIXEL_X, IDC_PIXEL_Y, IDC_LONG_DEGREE, IDC_LAT_DEGREE}),
              Texts({"harbour", "harbour.bmp", "80", "60", "10.862160", "54.044600"}));
    EXPECT_TRUE(dlg.m_bModified);

    Write(Path("broken.kml"), "<kml><GroundOverlay>");
    m_files.Answer(Path("broken.kml"));
    CMessageBoxAnswers answers({IDOK});
    Post(WM_IMPORT_CALIBRATION);
    ASSERT_EQ(answers.m_texts.size(), 1);
    EXPECT_TRUE(answers.m_texts[0].contains(QString::fromUtf8("keine KML-Datei"))) << answers.m_texts[0].toStdString();
    EXPECT_EQ(Text(IDC_PIXEL_X), QStringLiteral("80"));
}
