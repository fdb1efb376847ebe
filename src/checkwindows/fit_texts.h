#pragma once
// The desktop texts of the fit of many known points: its window, the
// prompt for a fit point and why no fit exists, in German and English,
// chosen by g_nLanguage.

#include <QString>

#include "calibration/fit.h"

enum FitTextId : int
{
    FT_TITLE,
    FT_NUMBER,
    FT_PIXEL,
    FT_POSITION,
    FT_EAST,
    FT_NORTH,
    FT_PIXELS,
    FT_EDIT,
    FT_REMOVE,
    FT_USE,
    FT_HELP,
    FT_CLOSE,
    FT_RMS,   ///< %1 metres, %2 the worst point's number, %3 its metres
    FT_EXACT, ///< two points: nothing left over to measure an error against
    FT_NONE,  ///< %1 why
    FT_HINT,
    FT_POINT_CAPTION,
    FT_COUNT
};

/// Text `id` in the language g_nLanguage (1 English, any other German).
QString FitText(FitTextId id);

/// Why no fit exists, naming the axis, in the current language.
QString FitRefusalText(const calibration::FitRefusal& refusal);
