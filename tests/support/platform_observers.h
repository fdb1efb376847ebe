#pragma once
// What the platform's beep and help seams were asked for, as the GUI tests
// read it. The test main installs the observers before the first test.

#include <QString>

#include <cstdint>

#include "platform/win_types.h"

/// Installs the observers behind MessageBeepCount and LastHelpRequest.
void ObservePlatformCalls();

/// Number of MessageBeep calls since the start or the last reset.
int MessageBeepCount();
void ResetMessageBeepCount();

/// What the last WinHelp call asked for.
struct HelpRequest
{
    QString helpFile;
    UINT command = 0;
    std::uintptr_t data = 0;
    int count = 0; ///< number of WinHelp calls so far
};
const HelpRequest& LastHelpRequest();
