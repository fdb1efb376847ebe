#include "calibration/third_point.h"

#include <cmath>

#include "conversion/numeric_text.h"
#include "messages/messages.h"

namespace calibration
{

namespace
{

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
// Up to this many pixels a click may be off the feature.
constexpr double kPickingNoisePixels = 2.0;
constexpr double kNoDirectionPixels = 0.05;

// The eight compass directions from north clockwise, German and English,
// as they follow "... of the clicked point".
constexpr const char* kDirections[8][2] = {
    {"nördlich", "north"}, {"nordöstlich", "north-east"}, {"östlich", "east"},  {"südöstlich", "south-east"},
    {"südlich", "south"},  {"südwestlich", "south-west"}, {"westlich", "west"}, {"nordwestlich", "north-west"},
};

} // namespace

ThirdPointCheck CheckThirdPoint(const Calibration& c, PixelPoint clicked, GeoPoint known)
{
    ThirdPointCheck check;
    check.predicted = c.PixelOf(known);
    const GeoPoint atClick = c.PositionAt(clicked);
    const auto [east, north] = GroundOffset(atClick, known);
    check.metres = std::hypot(east, north);
    check.pixels = std::hypot(check.predicted.x - clicked.x, check.predicted.y - clicked.y);
    const double bearing = std::atan2(east, north) * kRadToDeg;
    check.bearing = bearing < 0.0 ? bearing + 360.0 : bearing;
    return check;
}

std::string ThirdPointText(const ThirdPointCheck& check)
{
    using conversion::FormatFixed;
    const bool bEnglish = g_nLanguage == 1;
    const int sector = static_cast<int>(std::floor(check.bearing / 45.0 + 0.5)) % 8;
    const std::string metres = FormatFixed(check.metres, 1);
    const std::string pixels = FormatFixed(check.pixels, 1);
    const std::string bearing = FormatFixed(check.bearing, 0);
    // Below a twentieth of a pixel there is no direction to speak of.
    if (check.pixels < kNoDirectionPixels)
        return bEnglish ? "The calibration puts this position at the clicked point: it agrees with this point."
                        : "Die Kalibrierung legt diese Position auf den angeklickten Punkt: Sie stimmt mit diesem "
                          "Punkt überein.";
    std::string text =
        bEnglish ? "The calibration puts this position " + metres + " m (" + pixels + " pixels) " +
                       kDirections[sector][1] + " of the clicked point (bearing " + bearing + "\xC2\xB0)."
                 : "Die Kalibrierung legt diese Position " + metres + " m (" + pixels + " Pixel) " +
                       kDirections[sector][0] + " des angeklickten Punkts (Richtung " + bearing + "\xC2\xB0).";
    text += check.pixels <= kPickingNoisePixels
                ? (bEnglish ? " That is within two pixels: the calibration agrees with this point."
                            : " Das liegt innerhalb von zwei Pixeln: Die Kalibrierung stimmt mit diesem Punkt überein.")
                : (bEnglish ? " That is more than two pixels: a reference point, its coordinates or this point's are "
                              "probably wrong; the marker shows where the calibration puts the position."
                            : " Das sind mehr als zwei Pixel: Wahrscheinlich stimmt ein Referenzpunkt, seine "
                              "Koordinaten oder die dieses Punkts nicht; die Markierung zeigt, wohin die "
                              "Kalibrierung die Position legt.");
    return text;
}

} // namespace calibration
