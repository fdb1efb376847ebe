// The error beep and its counter.
#include "platform/beep.h"

#include <QApplication>

namespace
{
int s_nBeepCount = 0;
}

void MessageBeep(UINT /*type: every sound is the platform's one beep*/)
{
    ++s_nBeepCount;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        QApplication::beep();
}

int MessageBeepCount()
{
    return s_nBeepCount;
}

void ResetMessageBeepCount()
{
    s_nBeepCount = 0;
}
