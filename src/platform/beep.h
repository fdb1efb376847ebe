#pragma once
// MessageBeep: the error sound, with a seam through which tests hear every beep.

#include "platform/win_types.h"

/// Sounds the system's beep for `type` (MB_ICONHAND for errors).
void MessageBeep(UINT type);

/// Told of every MessageBeep call, with its type, whether or not a sound
/// can be made (there is none without a QApplication).
using MessageBeepObserver = void (*)(UINT type);
/// Installs `observer` for all later MessageBeep calls; null removes it.
void SetMessageBeepObserver(MessageBeepObserver observer);
