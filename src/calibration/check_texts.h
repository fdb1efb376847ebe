#pragma once
// The words of a check report and of a fit's refusal, in the current
// language (g_nLanguage), for every front end that shows them: the command
// line prints them, the desktop program's windows show them.

#include <string>
#include <vector>

#include "calibration/calibration_check.h"
#include "calibration/fit.h"

namespace calibration
{

/// One figure as words: its name and its value ("Scale (m/pixel)",
/// "x 1.234, y 1.240"); numbers with "." whatever the locale.
struct FigureText
{
    std::string name;
    std::string value;
};

/// The figures of a report in their order: scale, scale ratio (with the
/// grid's), separation, map size, then map scale and corner error when known.
std::vector<FigureText> FigureTexts(const CalibrationFigures& figures);

/// "error" or "warning" ("Fehler", "Warnung").
std::string FindingKindText(FindingKind kind);

/// What a report without findings says.
std::string NoFindingText();

/// Why no fit exists, naming the axis ("fewer than two different pixels in x").
std::string FitRefusalText(const FitRefusal& refusal);

} // namespace calibration
