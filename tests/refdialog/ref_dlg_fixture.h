#pragma once
// Shared by the reference dialog tests: a dialog started the way the program
// starts it, with empty settings, both help files in a temporary directory,
// scripted file dialogs and a map view that records what it is sent; and the
// user's gestures (typing into a field and leaving it, choosing from a list,
// clicking, answering a message box).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>
#include <proj.h>

#include <memory>
#include <utility>
#include <vector>

#include "messages/messages.h"
#include "platform/file_dialog.h"
#include "platform/user_message.h"
#include "platform/winapp.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "shell/error_message_dlg.h"
#include "shell/message_box_dlg.h"
#include "shell/window_messages.h"
#include "support/modal_answer.h"
#include "support/platform_observers.h"
#include "support/scripted_file_dialogs.h"
#include "support/settings_sandbox.h"

/// A map view that keeps every message the dialog posts, with the values
/// its pointers pointed to when the message arrived.
class CRecordingView final : public QObject
{
public:
    struct Message
    {
        UINT nMessage;
        WPARAM wParam;
        std::uint32_t values[4]; ///< WM_REFPOINT_MOVED: x, y; WM_MAP_LOAD: x1, y1, x2, y2
        QString strPath;         ///< WM_MAP_LOAD; WM_MAP_CONVERT: the scan
        QString strDevicePath;   ///< WM_MAP_CONVERT: the device BMP to write
    };
    std::vector<Message> m_messages;

protected:
    bool event(QEvent* e) override
    {
        const UserMessageEvent* msg = UserMessageEvent::From(e);
        if (msg == nullptr)
            return QObject::event(e);
        Message record{msg->Message(), msg->WParam(), {}, {}, {}};
        const auto* values = reinterpret_cast<const std::uint32_t*>(msg->LParam());
        if (msg->Message() == WM_REFPOINT_MOVED)
            std::copy(values, values + 2, record.values);
        if (msg->Message() == WM_MAP_LOAD)
        {
            std::copy(values, values + 4, record.values);
            record.strPath = *reinterpret_cast<const QString*>(msg->WParam());
        }
        if (msg->Message() == WM_MAP_CONVERT)
        {
            std::copy(values, values + 4, record.values);
            const auto& conversion = *reinterpret_cast<const MapConversion*>(msg->WParam());
            record.strPath = conversion.scanPath;
            record.strDevicePath = conversion.bmpPath;
        }
        m_messages.push_back(record);
        return true;
    }
};

/// Answers the message box's next showings in order, one button id each,
/// keeping their texts. The one box of the process may show again at once
/// after an answer, so each showing is caught as it happens. A showing with
/// no answer left, or an answer never used, fails the test.
class CMessageBoxAnswers final : public QObject
{
public:
    explicit CMessageBoxAnswers(std::vector<int> replies) : m_replies(std::move(replies))
    {
        CMessageBoxDlg::Instance().installEventFilter(this);
    }
    ~CMessageBoxAnswers() override
    {
        CMessageBoxDlg::Instance().removeEventFilter(this);
        EXPECT_EQ(m_nNext, m_replies.size()) << "message boxes answered";
    }
    QStringList m_texts;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this, box = static_cast<CDialog*>(watched)] { Answer(box); });
        return false;
    }

private:
    void Answer(CDialog* box)
    {
        m_texts += box->GetDlgItemText(IDC_MESSAGE);
        if (m_nNext == m_replies.size())
        {
            ADD_FAILURE() << "unexpected message: " << m_texts.back().toStdString();
            box->hide(); // ends its exec()
            return;
        }
        ClickControl(box, m_replies[m_nNext++]);
    }

    std::vector<int> m_replies;
    std::size_t m_nNext = 0;
};

class ReferenceDlgTest : public SettingsTest
{
protected:
    static constexpr int kGerman = 0;
    static constexpr int kEnglish = 1;

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_app.SetRegistryKey(QStringLiteral("Quarnby Applications"));
        QDir().mkpath(Path("help"));
        for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KARTORA_HELP_DIR "/") + QLatin1String(name),
                                    Path("help/") + QLatin1String(name)));
        SetFileDialogProvider(&m_files);
        g_nLanguage = 0;
        ResetMessageBeepCount();
    }
    void TearDown() override
    {
        m_dlg.reset();
        SetFileDialogProvider(nullptr);
        g_nLanguage = 0;
    }

    /// Starts the dialog as the program does, in `language`, and waits until
    /// it is the active window (focus tests need that).
    CReferenceDlg& Start(int language = kEnglish)
    {
        m_app.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("HelpFile"), language);
        m_app.m_pszHelpFilePath = Path(language == kEnglish ? "help/KartoraENG.hlp" : "help/KartoraDEU.hlp");
        m_dlg = std::make_unique<CReferenceDlg>(&m_view);
        Activate();
        return *m_dlg;
    }
    void Activate()
    {
        m_dlg->show();
        // Not QWidget::activateWindow: it does nothing while a window that
        // stands above the dialog (the error window) has the activation.
        m_dlg->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_dlg.get())) << "focus tests need an active window";
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString Setting(const char* entry) const
    {
        return m_app.GetProfileString(QStringLiteral("Settings"), QString::fromUtf8(entry), QStringLiteral("-"));
    }
    QString Text(int id) const { return m_dlg->GetDlgItemText(id); }
    QLineEdit* Field(int id) const { return m_dlg->Item<QLineEdit>(id); }
    QStringList Shown(const std::vector<int>& ids) const
    {
        QStringList texts;
        for (int id : ids)
            texts += Text(id);
        return texts;
    }

    /// Types `text` into field `id` in place of what it held, as the user does.
    void Type(int id, const QString& text)
    {
        Activate();
        QLineEdit* field = Field(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    /// Types and leaves the field (the focus goes to the format list).
    void Enter(int id, const QString& text)
    {
        Type(id, text);
        m_dlg->GetDlgItem(IDC_FORMAT)->setFocus();
    }
    /// The user picks entry `index` of list `id` (1039 formats, 1040 datums).
    void Choose(int id, int index)
    {
        Activate();
        auto* list = m_dlg->Item<CDropListCtrl>(id);
        list->setFocus();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    void Click(int id)
    {
        Activate();
        QTest::mouseClick(m_dlg->Item<QAbstractButton>(id), Qt::LeftButton);
    }
    void Deliver() { QCoreApplication::sendPostedEvents(); }
    /// Clicks `button` and answers the message boxes it shows with `replies`;
    /// returns their texts.
    QStringList ClickAnswering(int button, std::vector<int> replies)
    {
        CMessageBoxAnswers answers(std::move(replies));
        Click(button);
        return answers.m_texts;
    }

    CErrorMessageDlg& ErrorWindow() { return dynamic_cast<CErrorMessageDlg&>(m_dlg->Converter().ErrorWindow()); }

    QTemporaryDir m_dir;
    CWinApp m_app{QStringLiteral("Kartora")};
    CScriptedFileDialogs m_files;
    CRecordingView m_view;
    std::unique_ptr<CReferenceDlg> m_dlg;
};

/// PROJ's figure for a point (degrees) on the Potsdam datum taken to WGS84
/// (`toWgs84`) or back: the geocentric translation 587, 16, 393 m from
/// Bessel 1841. Returns {longitude, latitude}.
inline std::pair<double, double> ProjPotsdam(double lon, double lat, bool toWgs84)
{
    PJ* pipeline = proj_create(nullptr, "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                        "+step +proj=cart +ellps=bessel +step +proj=helmert +x=587 +y=16 +z=393 "
                                        "+step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad "
                                        "+xy_out=deg");
    EXPECT_NE(pipeline, nullptr);
    const PJ_COORD out = proj_trans(pipeline, toWgs84 ? PJ_FWD : PJ_INV, proj_coord(lon, lat, 0, 0));
    proj_destroy(pipeline);
    return {out.lpz.lam, out.lpz.phi};
}

/// Texts written as plain ASCII literals.
inline QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list += QString::fromUtf8(text);
    return list;
}
