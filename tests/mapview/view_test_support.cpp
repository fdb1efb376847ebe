#include "view_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/user_message.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"
#include "support/modal_answer.h"

void WriteFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

// ---- CRecordingDialog ------------------------------------------------------

CRecordingDialog::CRecordingDialog()
{
    setWindowTitle(QStringLiteral("recording dialog"));
    resize(200, 100);
}

std::vector<RecordedMessage> CRecordingDialog::Received(UINT message) const
{
    std::vector<RecordedMessage> found;
    for (const RecordedMessage& m : m_messages)
        if (m.message == message)
            found.push_back(m);
    return found;
}

bool CRecordingDialog::event(QEvent* event)
{
    if (const UserMessageEvent* msg = UserMessageEvent::From(event))
    {
        const QWidget* modal = QApplication::activeModalWidget();
        m_messages.push_back({msg->Message(), msg->WParam(), msg->LParam(), modal != nullptr && modal->isVisible()});
        return true;
    }
    return QWidget::event(event);
}

// ---- CMessageBoxWatch ------------------------------------------------------

CMessageBoxWatch::CMessageBoxWatch(int answerId) : m_nAnswerId(answerId)
{
    connect(&m_timer, &QTimer::timeout, this, &CMessageBoxWatch::Poll);
    m_timer.start(10);
}

void CMessageBoxWatch::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (m_bAnswering || modal == nullptr || !modal->isVisible())
        return;
    m_bAnswering = true;
    m_texts.push_back(CMessageBoxDlg::s_strText);
    if (m_onBox)
        m_onBox();
    // A box with Ok only is answered with Ok whatever answer was asked for.
    // The box's Yes and No buttons have control ids of their own.
    const bool okOnly = CMessageBoxDlg::s_nButtons == MB_OK;
    const int answer = okOnly ? IDOK : m_nAnswerId;
    ClickControl(modal, answer == IDYES ? IDC_YES : answer == IDNO ? IDC_NO : answer);
    if (modal->isVisible())
        modal->hide(); // a failed click must not leave the test waiting forever
    m_bAnswering = false;
}

// ---- CMenuChoice -----------------------------------------------------------

CMenuChoice::CMenuChoice(int commandId) : m_nCommandId(commandId)
{
    connect(&m_timer, &QTimer::timeout, this, &CMenuChoice::Poll);
    m_timer.start(10);
}

CMenuChoice::~CMenuChoice()
{
    if (!m_bDone)
        ADD_FAILURE() << "no pop-up menu was answered with command " << m_nCommandId;
}

void CMenuChoice::Poll()
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible())
    {
        if (++m_nPolls > 500)
        {
            m_timer.stop();
            ADD_FAILURE() << "no pop-up menu opened within 5 s";
            m_bDone = true;
        }
        return;
    }
    m_timer.stop();
    m_bDone = true;
    m_ptMenu = menu->pos();
    for (QAction* action : menu->actions())
    {
        if (action->data().toInt() == m_nCommandId)
        {
            // A click on a disabled item leaves the menu open; the user then
            // closes it.
            m_bWasEnabled = action->isEnabled();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            if (!m_bWasEnabled)
                menu->close();
            return;
        }
    }
    ADD_FAILURE() << "the menu has no item with command " << m_nCommandId;
    menu->close();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition())
    {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
