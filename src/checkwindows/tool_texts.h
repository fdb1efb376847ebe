#pragma once
// The desktop texts of the calibration's checks, grid and fit: the report and
// fit windows, the known-position dialog's captions and prompt, the status
// bar's readout and the messages, in German and English, chosen by g_nLanguage.

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
    TT_FIT_TITLE,
    TT_FIT_NUMBER,
    TT_FIT_PIXEL,
    TT_FIT_POSITION,
    TT_FIT_EAST,
    TT_FIT_NORTH,
    TT_FIT_PIXELS,
    TT_FIT_EDIT,
    TT_FIT_REMOVE,
    TT_FIT_USE,
    TT_FIT_HELP,
    TT_FIT_RMS,   ///< %1 metres, %2 the worst point's number, %3 its metres
    TT_FIT_EXACT, ///< two points: nothing left over to measure an error against
    TT_FIT_NONE,  ///< %1 why
    TT_FIT_HINT,
    TT_FIT_POINT_CAPTION,
    TT_COUNT
};

/// Text `id` in the language g_nLanguage (1 English, any other German).
QString ToolText(ToolTextId id);
