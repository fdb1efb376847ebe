// Start-up, the frame's menus, accelerators and status bar, the About box,
// help, and the ways the program ends.
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QWhatsThis>

#include "app_fixture.h"
#include "platform/help.h"
#include "resources/resource.h"
#include "support/modal_answer.h"
#include "support/platform_observers.h"

TEST_F(AppTest, StartUpShowsTheFrameWithItsEmptyViewBehindTheReferenceDialog)
{
    Start();
    EXPECT_EQ(m_app->m_pszRegistryKey, QStringLiteral("Quarnby Applications"));
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_FALSE(View()->IsBitmapLoaded());
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Untitled - Kartora"));
    EXPECT_EQ(View()->ReferenceDialog(), Dialog());
    EXPECT_EQ(m_app->m_pMapView, View());
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(Dialog())) << "the dialog stays in front";

    // The status bar: the message pane and the three lock indicators.
    EXPECT_EQ(Frame()->StatusBar()->property("controlId").toInt(), AFX_IDW_STATUS_BAR);
    EXPECT_EQ(Frame()->PaneText(0), QStringLiteral("Ready"));
    QList<int> indicatorIds;
    for (const QLabel* pane : Frame()->StatusBar()->findChildren<QLabel*>())
        if (pane->property("controlId").isValid())
            indicatorIds.push_back(pane->property("controlId").toInt());
    EXPECT_EQ(indicatorIds, (QList<int>{ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}));
}

TEST_F(AppTest, SettingsOfAnEarlierRunAreReadFromQuarnbyApplicationsKartoraSettings)
{
    QSettings settings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"));
    settings.setValue(QStringLiteral("Settings/LatDegree1"), 47);
    settings.setValue(QStringLiteral("Settings/LongDegree1"), 12);
    settings.sync();
    Start();
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_LAT_DEGREE), QStringLiteral("47"));
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_LONG_DEGREE), QStringLiteral("12"));
    EXPECT_EQ(g_nLanguage, 1) << "HelpFile 1: English";
}

TEST_F(AppTest, AFileNamedOnTheCommandLineNamesTheDocumentAndIsLoadedIntoTheDialog)
{
    // The README's sample: point 1 at pixel 170,170, 10 52.35 E 54 3.12 N.
    const QString sample = QStringLiteral(KARTORA_SAMPLES_DIR "/harbour.CAL");
    const QString missing = m_dir.filePath(QStringLiteral("nowhere.cal"));

    struct Case
    {
        QStringList arguments;
        QString caption;
        QStringList point1; ///< map name, pixel and longitude as the dialog shows them
    };
    const std::vector<Case> cases = {
        {{sample},
         QStringLiteral("harbour.CAL - Kartora"),
         {QStringLiteral("harbour"), QStringLiteral("170"), QStringLiteral("170"), QStringLiteral("10"),
          QStringLiteral("52.3500")}},
        // A missing file leaves the dialog as a start without one does.
        {{missing}, QStringLiteral("nowhere.cal - Kartora"), {QString(), QStringLiteral("0"), QStringLiteral("0")}},
        // Flags are the framework's; Kartora has none and ignores them.
        {{QStringLiteral("-x"), sample, missing}, QStringLiteral("harbour.CAL - Kartora"), {QStringLiteral("harbour")}},
    };
    const int fields[] = {IDC_MAP_NAME, IDC_PIXEL_X, IDC_PIXEL_Y, IDC_LONG_DEGREE, IDC_LONG_MINUTE};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        Start(c.arguments);
        EXPECT_EQ(Frame()->windowTitle(), c.caption);
        EXPECT_FALSE(View()->IsBitmapLoaded());
        EXPECT_TRUE(Dialog()->isVisible());
        for (qsizetype i = 0; i < c.point1.size(); ++i)
            EXPECT_EQ(Dialog()->GetDlgItemText(fields[i]), c.point1[i]) << fields[i];
        m_app.reset();
    }
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(AppTest, ImportRefPointsInTheFileMenuStartsTheDialogsImport)
{
    Start();
    m_files.Cancel();
    MenuItem(ID_IMPORT_REFPOINTS)->trigger();
    Deliver();
    ASSERT_EQ(m_files.Requests().size(), 1u);
    EXPECT_EQ(m_files.Requests()[0].title, QStringLiteral("Import Ref.Coordinates from MagicMaps"));
}

TEST_F(AppTest, TheAboutBoxShowsTitleAndVersionAndClosesWithOk)
{
    Start();
    QString title;
    QStringList lines;
    const auto answer = AnswerNextModal(
        [&](QWidget* box)
        {
            title = box->windowTitle();
            for (const QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    lines.push_back(label->text());
            ClickControl(box, IDOK);
        });
    MenuItem(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(answer->AllAnswered());
    EXPECT_EQ(title, QStringLiteral("About Kartora"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Tesselo Version 2.2.9")));
    EXPECT_EQ(lines.size(), 2) << "the version and one more line";
}

TEST_F(AppTest, HelpOpensTheIndexTheFramesTopicOrTheHighlightedCommandsTopic)
{
    Start();
    const QString helpFile = m_dir.filePath(QStringLiteral("KartoraENG.hlp"));
    ASSERT_EQ(m_app->m_pszHelpFilePath, helpFile);

    MenuItem(ID_HELP_FINDER)->trigger();
    EXPECT_EQ(LastHelpRequest().helpFile, helpFile);
    EXPECT_EQ(LastHelpRequest().command, HELP_FINDER);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    HelpWindow()->close();

    Activate(Frame());
    QTest::keyClick(Frame(), Qt::Key_F1);
    EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT);
    EXPECT_EQ(LastHelpRequest().data, 0x20080u); // the frame, resource 128

    // F1 on "Import Ref.Points" in the open File menu: the command's topic.
    QMenu* file = OpenMenu(0);
    ASSERT_NE(file, nullptr);
    Hover(file, ID_IMPORT_REFPOINTS);
    QTest::keyClick(file, Qt::Key_F1);
    EXPECT_EQ(LastHelpRequest().data, 0x103FAu); // 0x10000 + 1018
    EXPECT_FALSE(file->isVisible());
    HelpWindow()->close();
}

TEST_F(AppTest, ShiftF1StartsContextHelpAndSaysSoInTheStatusBar)
{
    Start();
    Activate(Frame());
    QTest::keyClick(Frame(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(Frame()->PaneText(0), QStringLiteral("Select the Object for Help"));

    const int before = LastHelpRequest().count;
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(WaitFor([] { return !QWhatsThis::inWhatsThisMode(); }));
    EXPECT_EQ(LastHelpRequest().count, before + 1);
    EXPECT_EQ(LastHelpRequest().data, 0x20080u);
    EXPECT_EQ(Frame()->PaneText(0), QStringLiteral("Ready"));
    if (HelpWindow() != nullptr)
        HelpWindow()->close();
}

TEST_F(AppTest, InContextHelpModeTheMenuOpensAndTheChosenCommandShowsItsTopicInsteadOfRunning)
{
    // A click on the menu bar in Shift+F1 mode showed the frame's topic and opened no menu.
    Start();
    Activate(Frame());
    QTest::keyClick(Frame(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    const int before = LastHelpRequest().count;
    QMenu* file = OpenMenu(0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(LastHelpRequest().count, before) << "opening the menu asks for no help";

    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(MenuItem(ID_IMPORT_REFPOINTS)).center());
    Deliver();
    EXPECT_EQ(LastHelpRequest().count, before + 1);
    EXPECT_EQ(LastHelpRequest().data, 0x103FAu); // 0x10000 + 1018
    EXPECT_TRUE(m_files.Requests().empty()) << "the import did not run";
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());

    // From the keyboard: "Help" in the "&?" menu, chosen with Return.
    Activate(Frame());
    QTest::keyClick(Frame(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QMenu* help = OpenMenu(1);
    ASSERT_NE(help, nullptr);
    QTest::keyClick(help, Qt::Key_Down);
    ASSERT_EQ(help->activeAction(), MenuItem(ID_HELP_FINDER));
    QTest::keyClick(help, Qt::Key_Return);
    EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT) << "not the help index itself";
    EXPECT_EQ(LastHelpRequest().data, 0x1E143u); // 0x10000 + 0xE143
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    if (HelpWindow() != nullptr)
        HelpWindow()->close();
}

TEST_F(AppTest, TheHighlightedMenuItemsPromptShowsInTheStatusBarUntilTheMenuCloses)
{
    Start();
    QMenu* file = OpenMenu(0);
    ASSERT_NE(file, nullptr);
    Hover(file, ID_APP_EXIT);
    EXPECT_EQ(Frame()->PaneText(0), QStringLiteral("Quit the application; prompts to save documents"));
    QTest::keyClick(file, Qt::Key_Escape);
    QMenu* help = OpenMenu(1);
    ASSERT_NE(help, nullptr);
    Hover(help, ID_APP_ABOUT);
    EXPECT_EQ(Frame()->PaneText(0), QStringLiteral("Display program information, version number and copyright"));
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(WaitFor([&] { return Frame()->PaneText(0) == QStringLiteral("Ready"); }))
        << Frame()->PaneText(0).toStdString();
}

// The dialog's Close ends the program at the end of the road test, after a Save.
TEST_F(AppTest, TheProgramEndsWithItsFrameAndOnlyThen)
{
    struct Case
    {
        const char* name;
        std::function<void(AppTest&)> end;
    };
    const std::vector<Case> cases = {
        {"Exit in the File menu", [](AppTest& t) { t.MenuItem(ID_APP_EXIT)->trigger(); }},
        {"the frame's close box", [](AppTest& t) { t.Frame()->close(); }},
        {"the dialog's Cancel", [](AppTest& t) { t.Click(IDCANCEL); }},
        {"the dialog's close box", [](AppTest& t) { t.Dialog()->close(); }},
        {"Cancel while the help and error windows are open",
         [](AppTest& t)
         {
             t.m_app->WinHelp(0, HELP_FINDER);
             t.Enter(IDC_PIXEL_X, QStringLiteral("-5")); // "Forbidden characters!" in the error window
             CMessageBoxWatch discard(IDC_YES);          // the typed value is a change: "Discard the changes and quit?"
             t.Click(IDCANCEL);
         }},
        {"Cancel after the help window was closed while the frame was hidden",
         [](AppTest& t)
         {
             t.Frame()->hide();
             t.m_app->WinHelp(0, HELP_FINDER);
             HelpWindow()->close();
             QTest::qWait(200);
             ASSERT_TRUE(t.Dialog()->isVisible()) << "closing the help window ended the program";
             t.Click(IDCANCEL);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Start();
        bool ran = false;
        QTimer::singleShot(0, [&] { c.end(*this), ran = true; });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        EXPECT_EQ(QApplication::exec(), 0) << "the program did not end";
        EXPECT_TRUE(ran);
        m_app.reset();
        if (HelpWindow() != nullptr)
            HelpWindow()->close();
    }
}

TEST_F(AppTest, ClosingTheFrameSavesTypedWorkFirstAndStaysOpenWhenTheSaveIsCancelled)
{
    // The frame's close box and Exit ended the program at once, and the
    // points typed since the last Save were lost.
    Start();
    Enter(IDC_MAP_NAME, QStringLiteral("harbour"));
    Click(IDC_REF_POINT_2); // east and north of point 1 (10 E, 53 N at pixel 0, 0)
    Enter(IDC_PIXEL_X, QStringLiteral("100"));
    Enter(IDC_PIXEL_Y, QStringLiteral("100"));
    Enter(IDC_LONG_MINUTE, QStringLiteral("30"));
    Enter(IDC_LAT_MINUTE, QStringLiteral("30"));
    const std::pair<const char*, std::function<bool()>> ways[] = {
        {"the close box", [this] { return Frame()->close(); }},
        {"Exit",
         [this]
         {
             MenuItem(ID_APP_EXIT)->trigger();
             return !Frame()->isVisible();
         }},
    };
    for (const auto& [way, close] : ways)
    {
        SCOPED_TRACE(way);
        Dialog()->hide(); // as while the map shows
        m_files.Cancel();
        const std::size_t requests = m_files.Requests().size();
        EXPECT_FALSE(close()) << "the program ended";
        EXPECT_EQ(m_files.Requests().size(), requests + 1) << "Save ran";
        EXPECT_TRUE(Frame()->isVisible());
        EXPECT_TRUE(Dialog()->isVisible()) << "the dialog comes back in front";
    }
    const QString path = m_dir.filePath(QStringLiteral("harbour.CAL"));
    m_files.Answer(path);
    EXPECT_TRUE(Frame()->close());
    EXPECT_TRUE(QFile::exists(path));
}
