#include "support/platform_observers.h"

#include "platform/beep.h"
#include "platform/help.h"

namespace
{

int s_nBeepCount = 0;
HelpRequest s_lastHelpRequest;

void CountBeep(UINT)
{
    ++s_nBeepCount;
}

void KeepHelpRequest(const QString& helpFile, UINT command, std::uintptr_t data)
{
    s_lastHelpRequest.helpFile = helpFile;
    s_lastHelpRequest.command = command;
    s_lastHelpRequest.data = data;
    ++s_lastHelpRequest.count;
}

} // namespace

void ObservePlatformCalls()
{
    SetMessageBeepObserver(CountBeep);
    SetHelpRequestObserver(KeepHelpRequest);
}

int MessageBeepCount()
{
    return s_nBeepCount;
}

void ResetMessageBeepCount()
{
    s_nBeepCount = 0;
}

const HelpRequest& LastHelpRequest()
{
    return s_lastHelpRequest;
}
