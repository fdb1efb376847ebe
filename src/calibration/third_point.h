#pragma once
// A third known point against a two-point calibration: the user clicks a
// feature whose position is known and learns how far from the click the
// calibration puts that position, on the ground and on the map. Two points
// leave nothing over to measure an error against; a third one does.

#include <string>

#include "calibration/calibration.h"

namespace calibration
{

struct ThirdPointCheck
{
    PixelPoint predicted; ///< where the calibration puts the known position
    double metres = 0.0;  ///< ground distance between the click's position and the known one
    double pixels = 0.0;  ///< distance on the map between the click and `predicted`
    double bearing = 0.0; ///< degrees clockwise from north, from the click's position to the known one
};

/// The check of `known` (WGS84) for a feature clicked at `clicked`; only
/// when the calibration IsDefined().
ThirdPointCheck CheckThirdPoint(const Calibration& calibration, PixelPoint clicked, GeoPoint known);

/// The check in a sentence or two in the current language (g_nLanguage):
/// distance in metres and pixels, the compass direction from the click, and
/// whether that is picking noise (up to two pixels) or a fault.
std::string ThirdPointText(const ThirdPointCheck& check);

} // namespace calibration
