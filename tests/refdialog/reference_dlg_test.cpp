// The reference dialog's start, data exchange, small handlers and closing.
#include "ref_dlg_fixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{

using ReferenceDialog = ReferenceDlgTest;

TEST_F(ReferenceDialog, FirstStartShowsTenEastFiftyThreeNorthInDecMinuteWgs84WithPointOneAndNoMap)
{
    CReferenceDlg& dlg = Start();
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_1));
    EXPECT_FALSE(dlg.IsDlgButtonChecked(IDC_REF_POINT_2));
    EXPECT_EQ(Shown({IDC_FORMAT, IDC_DATUM}), Texts({"dec.Minute", "WGS84"}));
    EXPECT_FALSE(dlg.GetDlgItem(IDC_SHOW_MAP)->isEnabled());
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(dlg.m_strCalDir, QDir::toNativeSeparators(QDir::homePath() + u'/'));
    EXPECT_FALSE(dlg.windowIcon().isNull());
    // Centred on the screen, up to the frame the window system adds (pixels).
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((dlg.frameGeometry().center() - screen.center()).manhattanLength(), 8);
    for (int id : {IDC_REF_POINT_1, IDC_REF_POINT_2})
    {
        Click(id);
        EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LONG_SIGN, IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SIGN,
                         IDC_PIXEL_X, IDC_HEIGHT_DIFF}),
                  Texts({"10", "0.0000", "E", "53", "0.0000", "N", "0", "0.00"}))
            << id;
    }
}

TEST_F(ReferenceDialog, StoredSettingsOfAnyKindStartTheDialogAndAFieldOutOfRangeIsReported)
{
    const QString section = QStringLiteral("Settings");
    m_app.WriteProfileString(section, QStringLiteral("LongDegree1"), QStringLiteral("200"));
    m_app.WriteProfileString(section, QStringLiteral("LatDegree1"), QStringLiteral("abc")); // not a number: default
    m_app.WriteProfileInt(section, QStringLiteral("Longitude1"), 7);                        // counts as west
    m_app.WriteProfileInt(section, QStringLiteral("LongDegree2"), -2147483647 - 1);
    m_app.WriteProfileInt(section, QStringLiteral("HelpFile"), 9); // no language: German
    m_app.m_pszHelpFilePath = Path("help/KartoraDEU.hlp");
    CReferenceDlg& dlg = *(m_dlg = std::make_unique<CReferenceDlg>(&m_view));
    Activate();
    EXPECT_EQ(g_nLanguage, kGerman);
    EXPECT_EQ(Shown({IDC_LONG_DEGREE, IDC_LONG_SIGN, IDC_LAT_DEGREE}), Texts({"200", "W", "53"}));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Wert zu groß!")) << "the first exchange checks the fields";
    Click(IDC_REF_POINT_2);
    EXPECT_EQ(Text(IDC_LONG_DEGREE), QStringLiteral("-2147483648"));
    EXPECT_EQ(dlg.m_nDegree[0][0], 200);
}

TEST_F(ReferenceDialog, LeavingTheNameFieldsCompletesTheBmpFileNameAndMarksTheDataModified)
{
    // Map name typed, BMP file name typed (null: untouched), BMP file name shown.
    const char* const rows[][3] = {
        {"harbour", nullptr, "harbour.bmp"}, {"harbour", "map.png", "map.png"}, {"", "map", "map.bmp"}};
    CReferenceDlg& dlg = Start();
    for (const auto& row : rows)
    {
        dlg.m_strBmpFileName.clear();
        dlg.UpdateData(false);
        dlg.m_bModified = false;
        if (row[1] != nullptr)
            Enter(IDC_BMP_FILE_NAME, QString::fromUtf8(row[1]));
        Enter(IDC_MAP_NAME, QString::fromUtf8(row[0]));
        EXPECT_EQ(dlg.m_strBmpFileName, QString::fromUtf8(row[2]));
        EXPECT_EQ(Text(IDC_BMP_FILE_NAME), QString::fromUtf8(row[2]));
        EXPECT_TRUE(dlg.m_bModified);
    }
}

TEST_F(ReferenceDialog, PixelFieldsMoveTheMarkerAndAPickedPointShowsTheHiddenDialogAndCountsAsAChange)
{
    CReferenceDlg& dlg = Start();
    Click(IDC_REF_POINT_2);
    Enter(IDC_PIXEL_X, QStringLiteral("250"));
    Type(IDC_PIXEL_Y, QStringLiteral("0"));       // unchanged, still moves the marker
    Enter(IDC_LAT_MINUTE, QStringLiteral("1.5")); // no marker for a coordinate
    Deliver();
    ASSERT_EQ(m_view.m_messages.size(), 2u);
    for (const CRecordingView::Message& msg : m_view.m_messages)
    {
        EXPECT_EQ(msg.nMessage, WM_REFPOINT_MOVED);
        EXPECT_EQ(msg.wParam, 1u);
        EXPECT_EQ(std::vector<std::uint32_t>(msg.values, msg.values + 2), (std::vector<std::uint32_t>{250, 0}));
    }

    Click(IDC_REF_POINT_2);
    dlg.m_bModified = false;
    PostMessage(&dlg, WM_MAP_STATE, 1);
    Deliver();
    dlg.GetDlgItem(IDC_SHOW_MAP)->setFocus(); // the way to the map
    dlg.hide();
    PostMessage(&dlg, WM_REFPOINT1_PICKED, 321, 654);
    Deliver();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_REF_POINT_1));
    EXPECT_EQ(Shown({IDC_PIXEL_X, IDC_PIXEL_Y}), Texts({"321", "654"}));
    // A pick is a change: "Close" after a Save ended the program and lost it.
    EXPECT_TRUE(dlg.m_bModified);
    // The focus came back on "Show Map", ten tab stops before the position to type.
    const auto* longitude = dlg.Item<CEditCtrl>(IDC_LONG_DEGREE);
    EXPECT_EQ(dlg.focusWidget(), longitude);
    EXPECT_EQ(longitude->selectedText(), QStringLiteral("10"));
    // Enter in the field presses "Close", as in every field, not the button used last.
    EXPECT_TRUE(dlg.Item<QPushButton>(IDOK)->isDefault());
    EXPECT_FALSE(dlg.Item<QPushButton>(IDC_SHOW_MAP)->isDefault());

    // A pixel beyond the signed range keeps its bits: it shows as negative,
    // is refused as text, and stays as it came.
    PostMessage(&dlg, WM_REFPOINT1_PICKED, 0xFFFFFFFFu, 7);
    Deliver();
    EXPECT_EQ(Text(IDC_PIXEL_X), QStringLiteral("-1"));
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nPixel[0][0], 0xFFFFFFFFu);
}

TEST_F(ReferenceDialog, AFieldThatFailsItsCheckKeepsTheFocusAndItsOldValueAndBeepsOnce)
{
    // Field, text typed, message (null: accepted).
    const std::tuple<int, const char*, const char*> rows[] = {
        {IDC_PIXEL_X, "-5", "Forbidden characters!"},
        {IDC_PIXEL_Y, "", "Forbidden characters!"},
        {IDC_PIXEL_Y, "   ", nullptr},
        {IDC_LAT_DEGREE, "91", "Value too large!"},
        // Faults pinned: minutes past 180 degrees were taken, and only the first 63 characters were read.
        {IDC_LONG_DEGREE, "180", nullptr},
        {IDC_LONG_MINUTE, "0.0001", "Value too large!"},
        {IDC_LONG_DEGREE, "10", nullptr},
        {IDC_HEIGHT_DIFF, "00000000000000000000000000000000000000000000000000000000000012.5",
         "The String is too long!"},
        {IDC_LONG_MINUTE, "60", nullptr},
        {IDC_LONG_MINUTE, "60.0001", "Value too large!"},
        {IDC_HEIGHT_DIFF, "-10000.00", nullptr},
        {IDC_HEIGHT_DIFF, "10000.00", nullptr},
        {IDC_HEIGHT_DIFF, "-10000.01", "Value too small!"},
        {IDC_HEIGHT_DIFF, "12,5", "Forbidden characters!"},
    };
    CReferenceDlg& dlg = Start();
    for (const auto& [id, typed, message] : rows)
    {
        const QString text = QString::fromUtf8(typed);
        ResetMessageBeepCount();
        Enter(id, text);
        // Also once the error window's showing is handled: should the window
        // system give it the activation, the field is not checked again.
        QTest::qWait(20);
        EXPECT_EQ(MessageBeepCount(), message != nullptr ? 1 : 0) << typed;
        if (message == nullptr)
            continue;
        EXPECT_EQ(ErrorWindow().Message(), QString::fromUtf8(message)) << typed;
        EXPECT_EQ(dlg.focusWidget(), Field(id)) << typed;
        EXPECT_EQ(Field(id)->selectedText(), text) << typed;
        dlg.UpdateData(false); // the field's valid value back for the next row
    }
    EXPECT_EQ(dlg.m_nDegree[0][1], 53);
    EXPECT_EQ(dlg.m_dHeightDiff, 10000.0);
    Choose(IDC_FORMAT, FORMAT_UTM);
    Enter(IDC_ZONE, QStringLiteral("61"));
    EXPECT_EQ(ErrorWindow().Message(), QStringLiteral("Value too large!"));
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

TEST_F(ReferenceDialog, CloseSavesChangesFirstAndCancelEscapeAndTheCloseBoxAskBeforeDiscardingThem)
{
    QWidget frame;
    frame.setAttribute(Qt::WA_QuitOnClose, false);
    m_app.m_pMainWnd = &frame;
    const auto errorWindowX = [this]
    { return m_app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("ErrorWindowX"), -1); };
    CReferenceDlg& dlg = Start();
    Enter(IDC_BMP_FILE_NAME, QStringLiteral("other.bmp"));
    Enter(IDC_MAP_NAME, QStringLiteral("harbour"));
    frame.show();
    EXPECT_EQ(ClickAnswering(IDOK, {IDC_NO}), Texts({"File and map should have the same name! Continue?"}));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(errorWindowX(), -1);

    // Escape while the error window shows takes only the error away.
    Enter(IDC_PIXEL_X, QStringLiteral("-5"));
    ASSERT_TRUE(ErrorWindow().isVisible());
    QTest::keyClick(dlg.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(ErrorWindow().isVisible());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), Field(IDC_PIXEL_X));
    Enter(IDC_PIXEL_X, QStringLiteral("5"));

    // With unsaved changes Cancel, Escape and the close box ask before the
    // work is thrown away (they used to end the program at once); No stays.
    for (int way = 0; way < 3; ++way)
    {
        for (const int reply : {IDC_NO, IDC_YES})
        {
            Activate();
            frame.show();
            CMessageBoxAnswers answers({reply});
            if (way == 0)
                Click(IDCANCEL);
            else if (way == 1)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                dlg.close();
            EXPECT_EQ(answers.m_texts, Texts({"Discard the changes and quit?"})) << way;
            EXPECT_EQ(dlg.isVisible(), reply == IDC_NO) << way;
            EXPECT_EQ(frame.isVisible(), reply == IDC_NO) << way;
        }
    }
    EXPECT_TRUE(m_files.Requests().empty());
    EXPECT_EQ(errorWindowX(), -1);

    // Without changes "Close" ends at once and stores the error window's place.
    Activate();
    frame.show();
    Click(IDC_REF_POINT_1); // the focus off the map name, whose leaving counts as a change
    dlg.m_bModified = false;
    ErrorWindow().move(123, 321);
    Click(IDOK);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(errorWindowX(), 123);
    m_app.m_pMainWnd = nullptr;
}

} // namespace
