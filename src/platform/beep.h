#pragma once
// MessageBeep: the error sound, behind a seam that tests count.

#include "platform/win_types.h"

/// Sounds the system's beep for `type` (MB_ICONHAND for errors).
void MessageBeep(UINT type);
/// Number of MessageBeep calls since the start or the last reset.
int MessageBeepCount();
void ResetMessageBeepCount();
