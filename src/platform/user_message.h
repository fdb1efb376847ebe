#pragma once
// Posted window messages: the one way Kartora's map view and reference
// dialog talk to each other. A message is queued with the receiver and
// handled after the sender's current handler has returned, never sent
// synchronously. Receivers dispatch it in their event() override:
//
//     bool CMyWindow::event(QEvent* e)
//     {
//         if (const auto* msg = UserMessageEvent::From(e))
//             return Dispatch(msg->Message(), msg->WParam(), msg->LParam()), true;
//         return QWidget::event(e);
//     }

#include <QEvent>

#include "platform/win_types.h"

class QObject;

class UserMessageEvent final : public QEvent
{
public:
    UserMessageEvent(UINT message, WPARAM wParam, LPARAM lParam);

    /// The one event type of all posted user messages.
    static QEvent::Type EventType();
    /// `event` as a user message, or null when it is another event.
    static const UserMessageEvent* From(const QEvent* event);

    UINT Message() const { return m_nMessage; }
    WPARAM WParam() const { return m_wParam; }
    LPARAM LParam() const { return m_lParam; }

private:
    UINT m_nMessage;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

/// Queues `message` for `receiver` (ignored when receiver is null). Pointers
/// passed in wParam or lParam must stay valid until the receiver has handled
/// the message: they point to storage that outlives it, never to the stack.
void PostMessage(QObject* receiver, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
