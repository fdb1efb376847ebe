#pragma once
// The whole program started as main() starts it, with the real reference
// dialog, in a settings sandbox with both help files, English texts and
// scripted file dialogs; and the user's gestures on the dialog and the map.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

#include "app/kartora_app.h"
#include "app/main_frame.h"
#include "mapview/kartora_view.h"
#include "messages/messages.h"
#include "platform/dialog.h"
#include "platform/file_dialog.h"
#include "support/scripted_file_dialogs.h"
#include "support/settings_sandbox.h"
#include "view_test_support.h"

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class AppTest : public SettingsTest
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KARTORA_HELP_DIR "/") + QLatin1String(name),
                                    m_dir.filePath(QLatin1String(name))));
        // An earlier run chose English and found the help file.
        QSettings settings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"));
        settings.setValue(QStringLiteral("Settings/HelpFile"), 1);
        settings.setValue(QStringLiteral("Settings/HelpFilePath"), m_dir.filePath(QStringLiteral("KartoraENG.hlp")));
        settings.setValue(QStringLiteral("Settings/CalDir"), QString(m_dir.path() + QLatin1Char('/')));
        SetFileDialogProvider(&m_files);
    }

    void TearDown() override
    {
        m_app.reset();
        SetFileDialogProvider(nullptr);
        g_nLanguage = 0;
    }

    /// Starts the program with `arguments` after the program's name.
    void Start(const QStringList& arguments = {})
    {
        m_app = std::make_unique<CKartoraApp>();
        ASSERT_TRUE(m_app->InitInstance(QStringList{QStringLiteral("kartora")} + arguments));
        ASSERT_NE(Dialog(), nullptr);
    }

    CMainFrame* Frame() const { return m_app->MainFrame(); }
    CKartoraView* View() const { return Frame()->GetActiveView(); }
    CDialog* Dialog() const { return qobject_cast<CDialog*>(m_app->m_pRefDlg.data()); }

    /// The frame's menu item with command `id`.
    QAction* MenuItem(int id) const
    {
        for (QAction* action : Frame()->menuBar()->findChildren<QAction*>())
            if (action->data().toInt() == id)
                return action;
        ADD_FAILURE() << "no menu item for command " << id;
        return nullptr;
    }

    void Activate(QWidget* window)
    {
        window->show();
        window->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    /// Types `text` into the dialog's field `id` in place of what it held and
    /// leaves the field, as the user does.
    void Enter(int id, const QString& text)
    {
        Activate(Dialog());
        auto* field = Dialog()->Item<QLineEdit>(id);
        ASSERT_NE(field, nullptr) << id;
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    /// Opens pop-up `index` of the frame's menu bar as a click on its title does.
    QMenu* OpenMenu(int index)
    {
        Activate(Frame());
        QMenuBar* bar = Frame()->menuBar();
        QAction* title = bar->actions().value(index);
        EXPECT_NE(title, nullptr);
        if (title == nullptr)
            return nullptr;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
        EXPECT_TRUE(title->menu()->isVisible());
        return title->menu();
    }
    /// Moves the mouse onto the menu's item with command `id`.
    void Hover(QMenu* menu, int id)
    {
        QAction* item = MenuItem(id);
        QTest::mouseMove(menu, menu->actionGeometry(item).center());
        EXPECT_TRUE(WaitFor([&] { return menu->activeAction() == item; }));
    }

    void Click(int id)
    {
        Activate(Dialog());
        auto* button = Dialog()->Item<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static void Deliver()
    {
        for (int i = 0; i < 3; ++i)
        {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    QTemporaryDir m_dir;
    CScriptedFileDialogs m_files;
    std::unique_ptr<CKartoraApp> m_app;
};
