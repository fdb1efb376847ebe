#pragma once
// How Save's questions and stops meet the user, in message boxes.

#include <QString>

#include "formats/cal_save.h"

/// A check of Save as the user meets it: a question goes on only on Yes; a
/// stop shows its message and ends the workflow (false).
bool PassesSaveCheck(const formats::SaveCheck& check);
