#pragma once
// The desktop texts of the calibration's checks and grid: the report window,
// the known-position dialog's caption and prompt, the status bar's readout
// and the messages, in German and English, chosen by g_nLanguage.

#include <QString>

enum ToolTextId : int
{
    TT_REPORT_TITLE,
    TT_REPORT_FIGURES,
    TT_REPORT_FINDINGS,
    TT_CLOSE,
    TT_HELP,
    TT_CHECK_POINT_CAPTION,
    TT_POSITION_PROMPT, ///< %1 x, %2 y, %3 format, %4 datum
    TT_NO_CALIBRATION,
    TT_NO_POSITION,
    TT_NO_MAP,
    TT_CURSOR, ///< %1 x, %2 y (as the dialog counts them), %3 the position
    TT_EASTING,
    TT_NORTHING,
    TT_ZONE,
    TT_COUNT
};

/// Text `id` in the language g_nLanguage (1 English, any other German).
QString ToolText(ToolTextId id);
