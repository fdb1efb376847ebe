#pragma once
// A graticule for a calibrated map: meridians and parallels at a round step
// of minutes, straight lines in pixels since the device's model is linear in
// degrees per axis. The step (1', 2', 5', 10', 30' or 1 degree) is chosen
// per axis so that the lines stand 80 to 300 pixels apart at 1:1.

#include <string>
#include <vector>

#include "calibration/calibration.h"

namespace calibration
{

/// One line: a meridian (a longitude, a column x) or a parallel (a latitude,
/// a row y counted from the bottom as the .CAL file counts it).
struct GraticuleLine
{
    bool bMeridian = true;
    int minutes = 0;    ///< the line's longitude or latitude in whole minutes (negative west and south)
    double pixel = 0.0; ///< x of a meridian, y of a parallel (fractional)
};

/// The step in whole minutes for lines `pixelsPerMinute` apart per minute:
/// the smallest step that puts them at least 80 pixels apart (at most 300
/// then, as each step is at most three times the one before); 1' when even
/// 1' lines stand further apart, 1 degree when even 1 degree lines stand
/// closer.
int GraticuleStep(double pixelsPerMinute);

/// The lines of `calibration` across a map of `size`, meridians first, each
/// axis from its smallest value up. An axis whose lines would stand less
/// than a pixel apart (a map of whole continents) gets none; so does one the
/// calibration does not define.
std::vector<GraticuleLine> GraticuleOf(const Calibration& calibration, MapSize size);

/// The line's label in the current language (g_nLanguage): "10°53' E",
/// "54°03' N" ("O" for east in German).
std::string GraticuleLabel(const GraticuleLine& line);

} // namespace calibration
