// Posted user messages as one registered Qt event type.
#include "platform/user_message.h"

#include <QCoreApplication>

UserMessageEvent::UserMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
    : QEvent(EventType()), m_nMessage(message), m_wParam(wParam), m_lParam(lParam)
{
}

QEvent::Type UserMessageEvent::EventType()
{
    // Registered once per process; the number itself carries no meaning.
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

const UserMessageEvent* UserMessageEvent::From(const QEvent* event)
{
    if (event == nullptr || event->type() != EventType())
        return nullptr;
    return static_cast<const UserMessageEvent*>(event);
}

void PostMessage(QObject* receiver, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (receiver == nullptr)
        return;
    // The event queue takes ownership and deletes the event after delivery
    // (or with the receiver, when it dies first).
    QCoreApplication::postEvent(receiver, new UserMessageEvent(message, wParam, lParam));
}
