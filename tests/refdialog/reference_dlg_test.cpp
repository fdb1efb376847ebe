// The reference dialog's start, data exchange, small handlers and closing.
#include "ref_dlg_fixture.h"

#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

namespace
{

class ReferenceDialog : public ReferenceDlgTest
{
};

TEST_F(ReferenceDialog, FirstStartShowsTenEastFiftyThreeNorthInDecMinuteWgs84WithPointOneAndNoMap)
{
    CReferenceDlg& dlg = Start();
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_1));
    EXPECT_FALSE(dlg.IsDlgButtonChecked(IDC_REF_POINT_2));
    EXPECT_EQ(Text(IDC_FORMAT), QStringLiteral("dec.Minute"));
    EXPECT_EQ(Text(IDC_DATUM), QStringLiteral("WGS84"));
    EXPECT_FALSE(dlg.GetDlgItem(IDC_SHOW_MAP)->isEnabled());
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(dlg.m_strCalDir, QDir::toNativeSeparators(QDir::homePath() + u'/'));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Kartora for Wayloft"));
    EXPECT_FALSE(dlg.windowIcon().isNull());
    // Started at the desktop's origin, the dialog ends up centred, up to the
    // frame the window system adds once it shows (pixels).
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(dlg.frameGeometry().center().x(), screen.center().x(), 4);
    EXPECT_NEAR(dlg.frameGeometry().center().y(), screen.center().y(), 4);

    for (int id : {IDC_REF_POINT_1, IDC_REF_POINT_2})
    {
        Click(id);
        EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("10")) << id;
        EXPECT_EQ(Text(IDC_LONG_MINUTE), QStringLiteral("0.0000")) << id;
        EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("E")) << id;
        EXPECT_EQ(Text(IDC_LAT_DEGREE), QStringLiteral("53")) << id;
        EXPECT_EQ(Text(IDC_LAT_MINUTE), QStringLiteral("0.0000")) << id;
        EXPECT_EQ(Text(IDC_LAT_SIGN), QStringLiteral("N")) << id;
        EXPECT_EQ(Text(IDC_PIXEL_X), QStringLiteral("0")) << id;
        EXPECT_EQ(Text(IDC_HEIGHT_DIFF), QStringLiteral("0.00")) << id;
    }
}

TEST_F(ReferenceDialog, StoredSettingsOfAnyKindStartTheDialogAndAFieldOutOfRangeIsReported)
{
    const QString section = QStringLiteral("Settings");
    m_app.WriteProfileString(section, QStringLiteral("LongDegree1"), QStringLiteral("200"));
    m_app.WriteProfileString(section, QStringLiteral("LatDegree1"), QStringLiteral("abc")); // not a number: default
    m_app.WriteProfileInt(section, QStringLiteral("Longitude1"), 7);                        // counts as west
    m_app.WriteProfileInt(section, QStringLiteral("LongDegree2"), -2147483647 - 1);
    m_app.WriteProfileInt(section, QStringLiteral("Latitude2"), -3);
    m_app.WriteProfileString(section, QStringLiteral("CalDir"), QStringLiteral("no such place"));
    m_app.WriteProfileInt(section, QStringLiteral("HelpFile"), 9); // no language: German
    m_app.m_pszHelpFilePath = Path("help/KartoraDEU.hlp");
    CReferenceDlg& dlg = *(m_dlg = std::make_unique<CReferenceDlg>(&m_view));
    Activate();

    EXPECT_EQ(dlg.m_nLanguage, kGerman);
    EXPECT_EQ(g_nLanguage, kGerman);
    EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("200"));
    EXPECT_EQ(Text(IDC_LONG_SIGN), QStringLiteral("W"));
    EXPECT_EQ(Text(IDC_LAT_DEGREE), QStringLiteral("53"));
    EXPECT_EQ(dlg.m_strCalDir, QStringLiteral("no such place"));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Wert zu groß!")) << "the first exchange checks the fields";
    Click(IDC_REF_POINT_2);
    EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("-2147483648"));
    EXPECT_EQ(Text(IDC_LAT_SIGN), QStringLiteral("S"));
}

TEST_F(ReferenceDialog, LeavingTheNameFieldsCompletesTheBmpFileNameAndMarksTheDataModified)
{
    struct Row
    {
        const char* mapName;
        const char* typedBmpName; ///< null: the field is not touched
        const char* shownBmpName;
    };
    const Row rows[] = {
        {"harbour", nullptr, "harbour.bmp"},
        {"harbour", "map.png", "map.png"},
        {"", "map", "map.bmp"},
        {"", "harbour.old", "harbour.old"},
    };
    CReferenceDlg& dlg = Start();
    for (const Row& row : rows)
    {
        dlg.m_strMapName.clear();
        dlg.m_strBmpFileName.clear();
        dlg.UpdateData(false);
        dlg.m_bModified = false;
        if (row.typedBmpName != nullptr)
            Enter(IDC_BMP_FILE_NAME, QString::fromUtf8(row.typedBmpName));
        Enter(IDC_MAP_NAME, QString::fromUtf8(row.mapName));
        EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QString::fromUtf8(row.shownBmpName)) << row.mapName;
        EXPECT_EQ(dlg.m_strBmpFileName, QString::fromUtf8(row.shownBmpName));
        EXPECT_TRUE(dlg.m_bModified);
    }
}

TEST_F(ReferenceDialog, LeavingAPixelFieldMovesTheMarkerOfTheCurrentPointEvenWhenUnchanged)
{
    CReferenceDlg& dlg = Start();
    Click(IDC_REF_POINT_2);
    Enter(IDC_PIXEL_X, QStringLiteral("250"));
    Type(IDC_PIXEL_Y, QStringLiteral("0"));
    Enter(IDC_LAT_MINUTE, QStringLiteral("1.5")); // no marker for a coordinate
    Deliver();
    ASSERT_EQ(m_view.m_messages.size(), 2u);
    for (const CRecordingView::Message& msg : m_view.m_messages)
    {
        EXPECT_EQ(msg.nMessage, WM_REFPOINT_MOVED);
        EXPECT_EQ(msg.wParam, 1u);
        EXPECT_EQ(msg.values[0], 250u);
        EXPECT_EQ(msg.values[1], 0u);
    }
    EXPECT_EQ(dlg.m_nPixel[0][0], 0u) << "point 1 untouched";
}

TEST_F(ReferenceDialog, APickedPointShowsTheHiddenDialogWithThatPointCurrentAndLeavesItUnmodified)
{
    CReferenceDlg& dlg = Start();
    Click(IDC_REF_POINT_1); // the focus off the map name field, whose leaving counts as a change
    dlg.m_bModified = false;
    dlg.hide();
    PostMessage(&dlg, WM_REFPOINT2_PICKED, 321, 654);
    Deliver();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_2));
    EXPECT_EQ(Text(IDC_PIXEL_X), QStringLiteral("321"));
    EXPECT_EQ(Text(IDC_PIXEL_Y), QStringLiteral("654"));
    EXPECT_FALSE(dlg.m_bModified);

    // A pixel beyond the signed range keeps its bits: it shows as negative,
    // is refused as text, and stays as it came.
    PostMessage(&dlg, WM_REFPOINT1_PICKED, 0xFFFFFFFFu, 7);
    Deliver();
    EXPECT_EQ(Text(IDC_PIXEL_X), QStringLiteral("-1"));
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Forbidden characters!"));
    EXPECT_EQ(dlg.m_nPixel[0][0], 0xFFFFFFFFu);
}

TEST_F(ReferenceDialog, AFieldThatFailsItsCheckKeepsTheFocusWithItsTextSelectedAndBeepsOnce)
{
    struct Row
    {
        int id;
        const char* text;
        const char* message; ///< null: accepted
    };
    const Row rows[] = {
        {IDC_PIXEL_X, "-5", "Forbidden characters!"},
        {IDC_PIXEL_Y, "", "Forbidden characters!"},
        {IDC_PIXEL_Y, "   ", nullptr},
        {IDC_LAT_DEGREE, "91", "Value too large!"},
        {IDC_LONG_MINUTE, "60", nullptr},
        {IDC_LONG_MINUTE, "60.0001", "Value too large!"},
        {IDC_HEIGHT_DIFF, "-10000.00", nullptr},
        {IDC_HEIGHT_DIFF, "10000.00", nullptr},
        {IDC_HEIGHT_DIFF, "-10000.01", "Value too small!"},
        {IDC_HEIGHT_DIFF, "12,5", "Forbidden characters!"},
        {IDC_HEIGHT_DIFF, " 12.5 ", nullptr},
    };
    CReferenceDlg& dlg = Start();
    for (const Row& row : rows)
    {
        const QString text = QString::fromUtf8(row.text);
        ResetMessageBeepCount();
        Enter(row.id, text);
        if (row.message == nullptr)
        {
            EXPECT_EQ(MessageBeepCount(), 0) << row.text;
            EXPECT_FALSE(ErrorWindow().isVisible()) << row.text;
            continue;
        }
        EXPECT_EQ(ErrorWindow().Message(), QString::fromUtf8(row.message)) << row.text;
        EXPECT_TRUE(ErrorWindow().isVisible()) << row.text;
        EXPECT_EQ(QApplication::focusWidget(), Field(row.id)) << row.text;
        EXPECT_EQ(Field(row.id)->selectedText(), text) << row.text;
        // Also once the error window's showing is handled: should the window
        // system give it the activation, the field is not checked again.
        QTest::qWait(20);
        EXPECT_EQ(dlg.focusWidget(), Field(row.id)) << row.text;
        EXPECT_EQ(MessageBeepCount(), 1) << row.text;
        dlg.UpdateData(false); // the field's valid value back for the next row
    }
    EXPECT_EQ(dlg.m_dHeightDiff, 12.5);

    // In UTM the zone stops at 60.
    Choose(IDC_FORMAT, FORMAT_UTM);
    Enter(IDC_ZONE, QStringLiteral("61"));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
}

TEST_F(ReferenceDialog, OfTwoWrongFieldsOnlyTheFirstIsReportedAndLaterFieldsKeepTheirValues)
{
    CReferenceDlg& dlg = Start();
    dlg.SetDlgItemText(IDC_MAP_NAME, QStringLiteral("harbour"));
    dlg.SetDlgItemText(IDC_PIXEL_Y, QStringLiteral("abc"));
    dlg.SetDlgItemText(IDC_LAT_MINUTE, QStringLiteral("7.5"));
    dlg.SetDlgItemText(IDC_HEIGHT_DIFF, QStringLiteral("99999"));
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strMapName, QStringLiteral("harbour")) << "exchanged before the failing field";
    EXPECT_EQ(dlg.m_dMinute[0][1], 0.0);
    EXPECT_EQ(dlg.m_dHeightDiff, 0.0);
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Forbidden characters!"));
    EXPECT_EQ(QApplication::focusWidget(), Field(IDC_PIXEL_Y));
}

TEST_F(ReferenceDialog, CloseWithoutChangesEndsAtOnceAndStoresTheErrorWindowPlace)
{
    QWidget frame;
    frame.setAttribute(Qt::WA_QuitOnClose, false);
    m_app.m_pMainWnd = &frame;
    frame.show();
    CReferenceDlg& dlg = Start();
    Click(IDC_REF_POINT_1); // the focus off the map name field, whose leaving counts as a change
    dlg.m_bModified = false;
    ErrorWindow().move(123, 321);
    Click(IDOK);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(frame.isVisible()) << "the program ends with the main window";
    EXPECT_TRUE(m_files.Requests().empty());
    EXPECT_EQ(m_app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("ErrorWindowX"), -1), 123);
    m_app.m_pMainWnd = nullptr;
}

// Enter in a field presses "Close" while the field still has the focus: the
// typed value must count as a change and be saved, not lost.
TEST_F(ReferenceDialog, EnterInAFieldSavesWhatWasJustTypedBeforeTheProgramEnds)
{
    CReferenceDlg& dlg = Start();
    PostMessage(&dlg, WM_REFPOINT1_PICKED, 0, 800);
    PostMessage(&dlg, WM_REFPOINT2_PICKED, 500, 0);
    Deliver();
    Enter(IDC_LONG_DEGREE, QStringLiteral("11"));
    Enter(IDC_LAT_DEGREE, QStringLiteral("52"));
    Click(IDC_REF_POINT_1);
    dlg.m_bModified = false; // as after a Save
    Type(IDC_LONG_MINUTE, QStringLiteral("31.5"));
    m_files.Answer(Path("harbour.CAL"));
    {
        CMessageBoxAnswers answers({IDC_YES}); // no BMP name to match the file's
        QTest::keyClick(Field(IDC_LONG_MINUTE), Qt::Key_Return);
    }
    EXPECT_FALSE(dlg.isVisible());
    QFile file(Path("harbour.CAL"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("(0,800) ==> (10\xB0"
                                        "31.5000'O,53\xB0"
                                        "0.0000'N)"));
}

TEST_F(ReferenceDialog, CloseWithUnsavedChangesStaysOpenWhenAQuestionIsDeclinedAndCancelNeverAsks)
{
    QWidget frame;
    frame.setAttribute(Qt::WA_QuitOnClose, false);
    m_app.m_pMainWnd = &frame;
    frame.show();
    CReferenceDlg& dlg = Start();
    Enter(IDC_BMP_FILE_NAME, QStringLiteral("other.bmp"));
    Enter(IDC_MAP_NAME, QStringLiteral("harbour"));
    EXPECT_EQ(ClickAnswering(IDOK, {IDC_NO}), Texts({"File and map should have the same name! Continue?"}));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(m_app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("ErrorWindowX"), -1), -1);

    // Escape and the close box are "Cancel" too: none asks, none saves.
    for (int way = 0; way < 3; ++way)
    {
        Activate();
        frame.show();
        if (way == 0)
            Click(IDCANCEL);
        else if (way == 1)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            dlg.close();
        EXPECT_FALSE(dlg.isVisible()) << way;
        EXPECT_FALSE(frame.isVisible()) << way;
    }
    EXPECT_TRUE(m_files.Requests().empty());
    EXPECT_EQ(m_app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("ErrorWindowX"), -1), -1);
    m_app.m_pMainWnd = nullptr;
}

} // namespace
