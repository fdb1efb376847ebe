// The help window and context-help mode.
#include "platform/dialog.h"
#include "platform/help.h"
#include "platform/winapp.h"

#include "messages/messages.h"
#include "support/named_pipe.h"
#include "support/platform_observers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QWhatsThis>

#include <vector>

namespace
{

// A help file as we ship them: HTML in Windows-1252 ("für" has the single
// byte 0xFC), the contents at the top, one topic far below.
QByteArray HelpFileBytes()
{
    QByteArray html = "<html><head><title>Hilfe f\xfcr Kartora</title></head><body>"
                      "<h1><a name=\"contents\"></a>Contents</h1>";
    for (int i = 0; i < 80; ++i)
        html += "<p>Filler paragraph " + QByteArray::number(i) + "</p>";
    html += "<h2><a name=\"0x808203EC\"></a>Coordinates</h2><p>Type the degrees.</p>";
    for (int i = 0; i < 80; ++i)
        html += "<p>More filler " + QByteArray::number(i) + "</p>";
    return html + "</body></html>";
}

// The text of the block shown at the top of the help window.
QString TopBlockText()
{
    QTextBrowser* browser = HelpWindow();
    return browser->cursorForPosition(QPoint(4, 4)).block().text();
}

class HelpWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strHelpFile = m_dir.filePath(QStringLiteral("KartoraENG.hlp"));
        QFile file(m_strHelpFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(HelpFileBytes());
    }

    QTemporaryDir m_dir;
    QString m_strHelpFile;
};

TEST(HelpAnchor, ContextNumbersAreNamedWithEightUpperCaseHexDigits)
{
    EXPECT_EQ(HelpAnchorName(0x808203EC), QStringLiteral("0x808203EC"));
    EXPECT_EQ(HelpAnchorName(0x20082), QStringLiteral("0x00020082"));
}

TEST_F(HelpWindowTest, AContextNumberScrollsToItsTopicAndTheFinderToTheContents)
{
    const int before = LastHelpRequest().count;
    ASSERT_TRUE(WinHelp(m_strHelpFile, HELP_CONTEXT, 0x808203EC));
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->windowTitle(), QStringLiteral("Hilfe für Kartora"));
    const int topicScroll = HelpWindow()->verticalScrollBar()->value();
    EXPECT_GT(topicScroll, 0);
    EXPECT_EQ(TopBlockText(), QStringLiteral("Coordinates"));
    EXPECT_EQ(LastHelpRequest().helpFile, m_strHelpFile);
    EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT);
    EXPECT_EQ(LastHelpRequest().data, 0x808203ECu);
    EXPECT_EQ(LastHelpRequest().count, before + 1);

    ASSERT_TRUE(WinHelp(m_strHelpFile, HELP_FINDER, 0));
    EXPECT_LT(HelpWindow()->verticalScrollBar()->value(), topicScroll);
    EXPECT_EQ(TopBlockText(), QStringLiteral("Contents"));

    WinHelp(QString(), HELP_QUIT, 0);
    EXPECT_FALSE(HelpWindow()->isVisible());
}

TEST_F(HelpWindowTest, HelpOpensBesideTheWindowThatAskedAndClosesWithEscapeOrCtrlW)
{
    // It opened over the dialog and had no key to close it.
    WinHelp(QString(), HELP_QUIT, 0);
    QWidget asker;
    asker.setGeometry(0, 60, 100, 200); // room to its right on the 800-pixel offscreen screen
    asker.show();
    asker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&asker));
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
    {
        ASSERT_TRUE(WinHelp(m_strHelpFile, HELP_FINDER, 0));
        EXPECT_FALSE(HelpWindow()->frameGeometry().intersects(asker.frameGeometry()));
        EXPECT_GE(HelpWindow()->frameGeometry().left(), asker.frameGeometry().right());
        ASSERT_TRUE(QTest::qWaitForWindowActive(HelpWindow()));
        QTest::keySequence(HelpWindow(), key);
        EXPECT_FALSE(HelpWindow()->isVisible()) << key.toString().toStdString();
        asker.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&asker));
    }
}

TEST_F(HelpWindowTest, AMissingFileADirectoryOrANamedPipeIsReportedInTheWindowInOneLine)
{
    const std::int32_t language = g_nLanguage;
    g_nLanguage = 1;
    const QString directory = m_dir.filePath(QStringLiteral("folder.hlp"));
    ASSERT_TRUE(QDir().mkdir(directory));
    // A pipe stored as the help file hung the program: its open waited for a writer.
    const CNamedPipe pipe(m_dir.filePath(QStringLiteral("pipe.hlp")));
    ASSERT_TRUE(pipe.IsValid());
    for (const QString& path :
         {m_dir.filePath(QStringLiteral("gone.hlp")), directory, m_dir.filePath(QStringLiteral("pipe.hlp"))})
    {
        EXPECT_FALSE(WinHelp(path, HELP_CONTEXT, 0x808203EC));
        EXPECT_EQ(HelpWindow()->toPlainText(), path + QStringLiteral(" not found. Check the path and file name!"));
        EXPECT_EQ(HelpWindow()->windowTitle(), QStringLiteral("Help"));
    }
    EXPECT_FALSE(pipe.ReaderWaited());
    g_nLanguage = language;
}

// clang-format off
DialogTemplate HelpTemplate()
{
    return {300, "Help", 100, 40, "Arial", 10, DS_CAPTION | DS_CONTEXTHELP, 0x0002012C,
        {
            {301, ControlKind::Edit, "", 7, 7, 50, 13, CS_TABSTOP, 0x812C012D},
            {IDCANCEL, ControlKind::PushButton, "Cancel", 60, 7, 35, 14, CS_TABSTOP, 0},
        }};
}
// clang-format on

class CHelpDlg final : public CDialog
{
public:
    CHelpDlg() : CDialog(HelpTemplate()) {}
    std::vector<std::uint32_t> m_helpIds;
    int m_nCancels = 0;

    bool OnHelpInfo(std::uint32_t helpId) override
    {
        m_helpIds.push_back(helpId);
        return true;
    }

protected:
    void OnCancel() override { ++m_nCancels; }
};

// The mode ends after the event that asked for help has been handled.
void LetTheModeEnd()
{
    QCoreApplication::processEvents();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
}

TEST(ContextHelp, AClickInContextHelpModeAsksForHelpInsteadOfActing)
{
    CHelpDlg dlg;
    dlg.Create();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    QTest::keyClick(dlg.GetDlgItem(301), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode()) << "Shift+F1 starts the mode in a dialog with a help button";
    QTest::mouseClick(dlg.GetDlgItem(301), Qt::LeftButton);
    LetTheModeEnd();
    EnterContextHelpMode();
    QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton); // no number of its own: the dialog's
    LetTheModeEnd();
    EXPECT_EQ(dlg.m_nCancels, 0) << "the click asked for help, it did not press the button";

    EnterContextHelpMode();
    QHelpEvent request(QEvent::WhatsThis, QPoint(2, 2), dlg.GetDlgItem(301)->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(dlg.GetDlgItem(301), &request);
    LetTheModeEnd();

    const std::vector<std::uint32_t> expected = {0x812C012D, 0x0002012C, 0x812C012D};
    EXPECT_EQ(dlg.m_helpIds, expected);

    QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(dlg.m_nCancels, 1) << "out of the mode a click acts again";
}

TEST(ContextHelp, AWidgetOutsideADialogOpensTheApplicationsHelpFileAtItsNumber)
{
    CWinApp app(QStringLiteral("Kartora"));
    app.m_pszHelpFilePath = QStringLiteral("/nowhere/Kartora.HLP");
    QWidget view;
    view.setProperty("helpId", 0x00020080u);
    QWidget child(&view);
    child.resize(20, 20);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    EnterContextHelpMode();
    QTest::mouseClick(&child, Qt::LeftButton);
    LetTheModeEnd();
    EXPECT_EQ(LastHelpRequest().helpFile, QStringLiteral("/nowhere/Kartora.HLP"));
    EXPECT_EQ(LastHelpRequest().command, HELP_CONTEXT);
    EXPECT_EQ(LastHelpRequest().data, 0x00020080u);
    WinHelp(QString(), HELP_QUIT, 0);
}

} // namespace
