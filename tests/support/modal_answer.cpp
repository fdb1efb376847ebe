#include "support/modal_answer.h"

#include <QAbstractButton>
#include <QApplication>

#include <gtest/gtest.h>

namespace
{
constexpr int kPollIntervalMs = 10;
}

ModalAnswers::ModalAnswers(std::vector<ModalAction> actions, int timeoutMs)
    : m_actions(std::move(actions)), m_nTimeoutMs(timeoutMs)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::Poll);
    m_timer.start(kPollIntervalMs);
    m_stepClock.start();
    if (m_actions.empty())
        Stop();
}

ModalAnswers::~ModalAnswers()
{
    if (!m_bStopped && !AllAnswered())
        ADD_FAILURE() << "expected " << m_actions.size() << " modal dialog(s), answered " << m_nNext;
}

void ModalAnswers::Stop()
{
    m_bStopped = true;
    m_timer.stop();
}

void ModalAnswers::Poll()
{
    if (m_bStopped || m_bInAction)
        return;

    if (m_pAnswered)
    {
        // Waiting for the dialog just answered to close.
        if (!m_pAnswered->isVisible() || QApplication::activeModalWidget() != m_pAnswered)
        {
            m_pAnswered = nullptr;
            m_stepClock.restart();
            if (AllAnswered())
                Stop();
        }
        else if (m_stepClock.elapsed() > m_nTimeoutMs)
        {
            ADD_FAILURE() << "modal dialog " << m_nNext << " still open " << m_nTimeoutMs << " ms after its answer";
            m_pAnswered->hide(); // ends its exec()
            Stop();
        }
        return;
    }

    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
    {
        if (m_stepClock.elapsed() > m_nTimeoutMs)
        {
            ADD_FAILURE() << "modal dialog " << m_nNext + 1 << " did not appear within " << m_nTimeoutMs << " ms";
            Stop();
        }
        return;
    }

    m_pAnswered = modal;
    m_stepClock.restart();
    const ModalAction& act = m_actions[static_cast<std::size_t>(m_nNext)];
    ++m_nNext;
    m_bInAction = true; // an action may spin an event loop of its own
    act(modal);
    m_bInAction = false;
}

std::unique_ptr<ModalAnswers> AnswerNextModal(ModalAction act, int timeoutMs)
{
    return AnswerModals({std::move(act)}, timeoutMs);
}

std::unique_ptr<ModalAnswers> AnswerModals(std::vector<ModalAction> acts, int timeoutMs)
{
    return std::make_unique<ModalAnswers>(std::move(acts), timeoutMs);
}

void ClickControl(QWidget* dialog, int controlId)
{
    ASSERT_NE(dialog, nullptr);
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    {
        const QVariant id = button->property("controlId");
        if (!id.isValid() || id.toInt() != controlId)
            continue;
        if (!button->isVisible() || !button->isEnabled())
        {
            ADD_FAILURE() << "control " << controlId << " cannot be clicked: hidden or disabled";
            return;
        }
        button->click();
        return;
    }
    ADD_FAILURE() << "no button with control id " << controlId;
}
