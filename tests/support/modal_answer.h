#pragma once
// Answering modal dialogs in GUI tests. The code under test waits in the
// dialog's exec(); a timer started beforehand finds the dialog through
// QApplication::activeModalWidget() and acts on it (clicks a button, types
// into a field). Every wait has a timeout, so a dialog that never appears,
// or one that stays open after its answer, fails the test instead of
// hanging it.
//
//     auto answer = AnswerNextModal([](QWidget* box) { ClickControl(box, IDYES); });
//     EXPECT_EQ(ShowMessage(MSG_FILE_EXISTS, MB_YESNO), IDYES);

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

using ModalAction = std::function<void(QWidget* modal)>;

/// Answers the next modal dialogs in a row: action i acts on the i-th
/// showing of a modal dialog after construction (the same dialog object
/// shown again is a new showing). A step fails the test when no modal
/// dialog appears within `timeoutMs`, or when the dialog is still open
/// `timeoutMs` after its action (it is then hidden, which ends its exec()).
/// Destroying the object before every action ran fails the test too.
class ModalAnswers final : public QObject
{
public:
    explicit ModalAnswers(std::vector<ModalAction> actions, int timeoutMs = 5000);
    ~ModalAnswers() override;

    /// Number of dialogs answered so far.
    int Answered() const { return m_nNext; }
    bool AllAnswered() const { return m_nNext == static_cast<int>(m_actions.size()); }

private:
    void Poll();
    void Stop();

    std::vector<ModalAction> m_actions;
    int m_nTimeoutMs;
    int m_nNext = 0;
    QPointer<QWidget> m_pAnswered; ///< the dialog acted on, until it closes
    bool m_bStopped = false;
    bool m_bInAction = false;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
};

/// Answers the next modal dialog with `act`. Keep the result alive until
/// the dialog has been shown.
[[nodiscard]] std::unique_ptr<ModalAnswers> AnswerNextModal(ModalAction act, int timeoutMs = 5000);

/// Answers the next modal dialogs, one action each, in order.
[[nodiscard]] std::unique_ptr<ModalAnswers> AnswerModals(std::vector<ModalAction> acts, int timeoutMs = 5000);

/// Clicks the button whose "controlId" property is `controlId` in `dialog`;
/// fails the test when there is none, or it is hidden or disabled.
void ClickControl(QWidget* dialog, int controlId);
