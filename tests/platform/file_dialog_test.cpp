// The file-dialog seam: filters, default extension, what the dialogs are
// asked to show, and Qt's real dialog without prompts of its own.
#include "platform/file_dialog.h"
#include "platform/win_types.h"

#include "support/modal_answer.h"
#include "support/scripted_file_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

namespace
{

TEST(FileDialogFilter, WindowsFiltersBecomeQtFiltersWithTheirOwnTexts)
{
    EXPECT_EQ(QtNameFiltersFromWindowsFilter(QStringLiteral("Kartora File (*.CAL) | *.CAL||")),
              QStringList{QStringLiteral("Kartora File (*.CAL)")});
    EXPECT_EQ(QtNameFiltersFromWindowsFilter(QStringLiteral("Bitmaps|*.bmp;*.DIB|All Files (*.*)|*.*||")),
              (QStringList{QStringLiteral("Bitmaps (*.bmp *.DIB)"), QStringLiteral("All Files (*)")}))
        << "*.* is every file, dot or not";
    EXPECT_TRUE(QtNameFiltersFromWindowsFilter(QString()).isEmpty());
}

class FileDialogSeam : public ::testing::Test
{
protected:
    FileDialogSeam() { SetFileDialogProvider(&m_script); }
    ~FileDialogSeam() override { SetFileDialogProvider(nullptr); }
    CScriptedFileDialogs m_script;
};

TEST_F(FileDialogSeam, TheScriptedProviderRecordsWhatEachDialogWasAskedToShow)
{
    m_script.Cancel();
    CFileDialog dialog(false, QStringLiteral(".CAL"), QStringLiteral("harbour"),
                       QStringLiteral("Kartora File (*.CAL) | *.CAL||"));
    dialog.m_request.title = QStringLiteral("Kartora File");
    dialog.m_request.initialDir = QStringLiteral("/maps/");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    ASSERT_EQ(m_script.Requests().size(), 1u);
    const FileDialogRequest& asked = m_script.Requests().front();
    EXPECT_FALSE(asked.bOpenFileDialog);
    EXPECT_EQ(asked.title, QStringLiteral("Kartora File"));
    EXPECT_EQ(asked.defaultExt, QStringLiteral("CAL")) << "stored without its dot";
    EXPECT_EQ(asked.fileName, QStringLiteral("harbour"));
    EXPECT_EQ(asked.filter, QStringLiteral("Kartora File (*.CAL) | *.CAL||"));
    EXPECT_EQ(asked.initialDir, QStringLiteral("/maps/"));

    CFileDialog unanswered(true, QStringLiteral("BMP"));
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL) << "an empty script answers Cancel";
}

TEST_F(FileDialogSeam, ANameWithoutExtensionGetsTheDefaultOneAndTheNamePartsFollow)
{
    struct Row
    {
        const char* answer;
        const char* path;
        const char* name;
        const char* title;
        const char* ext;
    };
    const Row rows[] = {
        {"/maps/harbour", "/maps/harbour.CAL", "harbour.CAL", "harbour", "CAL"},
        {"/maps/harbour.cal", "/maps/harbour.cal", "harbour.cal", "harbour", "cal"},
        {"/maps/harbour.old.bmp", "/maps/harbour.old.bmp", "harbour.old.bmp", "harbour.old", "bmp"},
        {"/maps.d/harbour", "/maps.d/harbour.CAL", "harbour.CAL", "harbour", "CAL"},
    };
    for (const Row& row : rows)
    {
        m_script.Answer(QString::fromUtf8(row.answer));
        CFileDialog dialog(true, QStringLiteral("CAL"));
        ASSERT_EQ(dialog.DoModal(), IDOK) << row.answer;
        EXPECT_EQ(dialog.GetPathName(), QString::fromUtf8(row.path));
        EXPECT_EQ(dialog.GetFileName(), QString::fromUtf8(row.name));
        EXPECT_EQ(dialog.GetFileTitle(), QString::fromUtf8(row.title));
        EXPECT_EQ(dialog.GetFileExt(), QString::fromUtf8(row.ext));
    }
}

TEST(QtFileDialog, OpensWhereAskedAndAcceptsAnExistingNameWithoutAPrompt)
{
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("harbour.CAL")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    QString shownTitle;
    QString shownDir;
    QStringList shownFilters;
    auto answer = AnswerNextModal(
        [&](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            shownTitle = dialog->windowTitle();
            shownDir = dialog->directory().absolutePath();
            shownFilters = dialog->nameFilters();
            auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameField, nullptr);
            nameField->setText(QStringLiteral("harbour")); // typed without extension
            static_cast<QDialog*>(dialog)->accept();       // as the Save button does
        });
    CFileDialog dialog(false, QStringLiteral("CAL"), QString(), QStringLiteral("Kartora File (*.CAL) | *.CAL||"));
    dialog.m_request.title = QStringLiteral("Kartora File");
    dialog.m_request.initialDir = dir.path();
    ASSERT_EQ(dialog.DoModal(), IDOK) << "saving over an existing file asks nothing here";

    EXPECT_EQ(dialog.GetPathName(), QDir(dir.path()).absoluteFilePath(QStringLiteral("harbour.CAL")));
    EXPECT_EQ(shownTitle, QStringLiteral("Kartora File"));
    EXPECT_EQ(shownDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(shownFilters, QStringList{QStringLiteral("Kartora File (*.CAL)")});
}

TEST(QtFileDialog, ShowsTheFiltersTextAndListsItsExtensionInAnyLetterCase)
{
    // The filter read "(*.[Bb][Mm][Pp])" so that harbour.bmp was listed as well as HARBOUR.BMP.
    QTemporaryDir dir;
    for (const char* name : {"harbour.bmp", "HARBOUR.Bmp", "harbour.CAL"})
    {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString shownFilter;
    QStringList listed;
    auto answer = AnswerNextModal(
        [&](QWidget* modal)
        {
            shownFilter = modal->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
            const auto* view = modal->findChild<QListView*>(QStringLiteral("listView"));
            // The directory is read in the background.
            EXPECT_TRUE(QTest::qWaitFor([view] { return view->model()->rowCount(view->rootIndex()) >= 2; }));
            QTest::qWait(50);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed += view->model()->index(row, 0, view->rootIndex()).data().toString();
            static_cast<QDialog*>(modal)->reject();
        });
    CFileDialog dialog(true, QStringLiteral(".BMP"), QString(), QStringLiteral("BitMap-File (*.BMP) | *.BMP||"));
    dialog.m_request.initialDir = dir.path();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(shownFilter, QStringLiteral("BitMap-File (*.BMP)"));
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("HARBOUR.Bmp"), QStringLiteral("harbour.bmp")}));
}

} // namespace
