#pragma once
// How the dialog's file workflows (Save, Export calibration) meet the user:
// Save's questions and stops in message boxes, and a file that could not be
// written.

#include <QString>

#include "formats/cal_save.h"
#include "platform/file_writer.h"

/// A check of Save as the user meets it: a question goes on only on Yes; a
/// stop shows its message and ends the workflow (false).
bool PassesSaveCheck(const formats::SaveCheck& check);

/// Tells the user that `path` was not written, and why. A file that could
/// not be written is never passed over in silence: the user would take the
/// old file (or none) for the new one.
void ReportWriteFailure(const QString& path, const platform::FileWriteError& error);
