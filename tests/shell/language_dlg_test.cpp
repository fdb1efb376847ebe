#include "shell/language_dlg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "messages/messages.h"
#include "platform/dialog.h"
#include "platform/file_dialog.h"
#include "platform/winapp.h"
#include "resources/resource.h"
#include "support/modal_answer.h"
#include "support/named_pipe.h"
#include "support/scripted_file_dialogs.h"
#include "support/settings_sandbox.h"

namespace
{

const QString kSection = QStringLiteral("Settings");
const QString kGermanTitle = QStringLiteral("Suchen und Auswählen des Hilfe-Files");

class LanguageTest : public SettingsTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_programDir.isValid());
        m_app.SetRegistryKey(QStringLiteral("Quarnby Applications"));
        m_app.m_pszHelpFilePath = Program("kartora.HLP"); // the framework's: the program's path with ".HLP"
        SetFileDialogProvider(&m_dialogs);
        g_nLanguage = 0; // start-up asks before the stored language is taken
    }
    void TearDown() override
    {
        SetFileDialogProvider(nullptr);
        g_nLanguage = 0;
    }

    QString Program(const char* name) const { return m_programDir.filePath(QString::fromLatin1(name)); }
    QString ProgramDir() const { return m_programDir.path() + u'/'; }
    QString Touch(const char* name) const
    {
        QFile file(Program(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        return file.fileName();
    }
    static QString NotFound(const QString& path)
    {
        return QDir::toNativeSeparators(path) + QStringLiteral(" nicht gefunden. Pfad- und Filenamen prüfen!");
    }

    QTemporaryDir m_programDir;
    CWinApp m_app{QStringLiteral("Kartora")};
    CScriptedFileDialogs m_dialogs;
};

/// Answers a message box with Ok, keeping its text in `text`.
ModalAction AnswerOk(QString* text)
{
    return [text](QWidget* modal)
    {
        *text = qobject_cast<CDialog*>(modal)->GetDlgItemText(IDC_MESSAGE);
        ClickControl(modal, IDOK);
    };
}

} // namespace

TEST_F(LanguageTest, AFirstRunWithTheHelpFileNextToTheProgramAsksNothingAndSpeaksGerman)
{
    // Installed read-only: reading is all the help needs.
    const QString help = Touch("kartora.HLP");
    ASSERT_TRUE(QFile::setPermissions(help, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    CLanguageDlg language;
    EXPECT_TRUE(m_dialogs.Requests().empty());
    EXPECT_EQ(language.GetLanguage(), 0);
    EXPECT_EQ(m_app.m_pszHelpFilePath, help);
}

TEST_F(LanguageTest, AMissingHelpFileOpensTheGermanSearchDialogInTheProgramsDirectory)
{
    const QString found = Touch("KartoraDEU.hlp");
    m_dialogs.Answer(found);

    CLanguageDlg language;

    ASSERT_EQ(m_dialogs.Requests().size(), 1u);
    const FileDialogRequest& request = m_dialogs.Requests()[0];
    EXPECT_TRUE(request.bOpenFileDialog);
    EXPECT_EQ(request.title, kGermanTitle);
    EXPECT_EQ(request.filter, QStringLiteral("Help File (*.HLP) | *.HLP||"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("HLP"));
    EXPECT_EQ(request.fileName, QStringLiteral("kartora.HLP"));
    EXPECT_EQ(request.initialDir, ProgramDir());
    EXPECT_EQ(language.HelpPath(), found);
    EXPECT_EQ(m_app.m_pszHelpFilePath, found);
}

TEST_F(LanguageTest, ADirectoryOrANamedPipeStoredAsTheHelpFileCountsAsNotFound)
{
    // A pipe stored as "HelpFilePath" hung the start: its open waited for a writer.
    ASSERT_TRUE(QDir().mkdir(Program("folder.hlp")));
    const CNamedPipe pipe(Program("pipe.hlp"));
    ASSERT_TRUE(pipe.IsValid());
    for (const char* name : {"folder.hlp", "pipe.hlp"})
    {
        m_app.WriteProfileString(kSection, QStringLiteral("HelpFilePath"), Program(name));
        m_dialogs.Cancel();
        CLanguageDlg language;
        EXPECT_EQ(m_dialogs.Requests().back().fileName, QString::fromLatin1(name)) << "the search dialog";
        EXPECT_EQ(m_app.m_pszHelpFilePath, Program("kartora.HLP")) << name;
    }
    EXPECT_EQ(m_dialogs.Requests().size(), 2u);
    EXPECT_FALSE(pipe.ReaderWaited());
}

TEST_F(LanguageTest, TheSearchStartsInTheNearestDirectoryThatStillExistsAndCancelKeepsBothPaths)
{
    const struct
    {
        QString stored;
        QString initialDir;
    } rows[] = {
        {Program("gone/deeper/KartoraENG.hlp"), ProgramDir()},
        {QStringLiteral("/kartora-no-such-dir-4711/help/KartoraENG.hlp"), QDir::rootPath()},
        {QStringLiteral("KartoraENG.hlp"), QDir::currentPath() + u'/'}, // no directory: where the program started
    };
    for (const auto& row : rows)
    {
        m_app.WriteProfileString(kSection, QStringLiteral("HelpFilePath"), row.stored);
        m_dialogs.Cancel();
        CLanguageDlg language;
        EXPECT_EQ(m_dialogs.Requests().back().initialDir, row.initialDir) << row.stored.toStdString();
        EXPECT_EQ(m_dialogs.Requests().back().fileName, QStringLiteral("KartoraENG.hlp"));
        EXPECT_EQ(language.HelpPath(), row.stored);
        EXPECT_EQ(m_app.m_pszHelpFilePath, Program("kartora.HLP"));
    }
}

TEST_F(LanguageTest, AChosenFileThatDoesNotExistIsReportedAndTheSearchRunsAgainUntilFoundOrCancelled)
{
    const QString missing = Program("KartoraXYZ.hlp");
    const QString found = Touch("KartoraDEU.hlp");
    m_dialogs.Answer(missing);
    m_dialogs.Answer(found);
    QString report;
    {
        const auto answer = AnswerNextModal(AnswerOk(&report));
        CLanguageDlg language;
        EXPECT_EQ(language.HelpPath(), found);
    }
    EXPECT_EQ(report, NotFound(missing));
    ASSERT_EQ(m_dialogs.Requests().size(), 2u);
    EXPECT_EQ(m_dialogs.Requests()[1].initialDir, ProgramDir());
    EXPECT_EQ(m_app.m_pszHelpFilePath, found);

    m_app.m_pszHelpFilePath = Program("kartora.HLP");
    m_dialogs.Answer(missing);
    m_dialogs.Cancel();
    const auto answer = AnswerNextModal(AnswerOk(&report));
    CLanguageDlg cancelled;
    EXPECT_EQ(m_dialogs.Requests().size(), 4u);
    EXPECT_EQ(cancelled.HelpPath(), Program("kartora.HLP"));
    EXPECT_EQ(m_app.m_pszHelpFilePath, Program("kartora.HLP"));
}

TEST_F(LanguageTest, SwitchingLanguageTakesTheOtherFileBesideTheOneInUseOrAsksForIt)
{
    const QString german = Touch("KartoraDEU.hlp");
    m_app.m_pszHelpFilePath = german;
    CLanguageDlg language;

    g_nLanguage = 1;
    m_dialogs.Cancel();
    EXPECT_FALSE(language.SetLanguageHelpPath());
    ASSERT_EQ(m_dialogs.Requests().size(), 1u);
    EXPECT_EQ(m_dialogs.Requests()[0].title, QStringLiteral("Search and Select Help File"));
    EXPECT_EQ(language.HelpPath(), Program("KartoraENG.hlp"));
    EXPECT_EQ(m_app.m_pszHelpFilePath, german);

    const QString english = Touch("KartoraENG.hlp");
    EXPECT_TRUE(language.SetLanguageHelpPath());
    EXPECT_EQ(m_app.m_pszHelpFilePath, english);
    g_nLanguage = 0;
    EXPECT_TRUE(language.SetLanguageHelpPath());
    EXPECT_EQ(m_app.m_pszHelpFilePath, german);
    EXPECT_EQ(m_dialogs.Requests().size(), 1u);
}

TEST_F(LanguageTest, OnlyZeroAndOneAreLanguagesAndTheSettingsCarryThemToTheNextStart)
{
    Touch("kartora.HLP");
    const QString english = Touch("KartoraENG.hlp");
    for (const auto& [stored, language] : {std::pair{0, 0}, {1, 1}, {2, 0}, {-1, 0}})
    {
        m_app.WriteProfileInt(kSection, QStringLiteral("HelpFile"), stored);
        EXPECT_EQ(CLanguageDlg().GetLanguage(), language) << stored;
    }
    {
        CLanguageDlg language;
        g_nLanguage = 1;
        ASSERT_TRUE(language.SetLanguageHelpPath());
        language.SaveLanguageSettings(1);
    }
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("HelpFile"), -1), 1);
    EXPECT_EQ(m_app.GetProfileString(kSection, QStringLiteral("HelpFilePath")), english);

    m_app.m_pszHelpFilePath = Program("kartora.HLP"); // as every start begins
    CLanguageDlg next;
    EXPECT_EQ(next.GetLanguage(), 1);
    EXPECT_EQ(m_app.m_pszHelpFilePath, english);
    EXPECT_TRUE(m_dialogs.Requests().empty());
}
