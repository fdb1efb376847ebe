// The error beep and its observer.
#include "platform/beep.h"

#include <QApplication>

namespace
{
MessageBeepObserver s_pObserver = nullptr;
}

void MessageBeep(UINT type)
{
    if (s_pObserver != nullptr)
        s_pObserver(type);
    // Every sound is the platform's one beep.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        QApplication::beep();
}

void SetMessageBeepObserver(MessageBeepObserver observer)
{
    s_pObserver = observer;
}
