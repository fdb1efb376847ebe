#include "calibration/calibration_check.h"

#include <algorithm>
#include <cmath>

#include "conversion/numeric_text.h"
#include "conversion/position_converter.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/geodesy_constants.h"
#include "geodesy/utm.h"
#include "messages/messages.h"

namespace calibration
{

namespace
{

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kInchesPerMetre = 1.0 / 0.0254;
constexpr double kFalseNorthingSouth = 10000000.0; // m

// Above this, the pixels are not square on the ground.
constexpr double kScaleRatioLimit = 1.05;
// Points closer than this share of the map's side (or these many pixels when
// the size is unknown) magnify a one-pixel picking error across the map.
constexpr double kMinSeparationShare = 0.25;
constexpr double kMinSeparationPixels = 100.0;
// Corner errors up to the ground size of this many pixels are picking noise.
constexpr double kCornerErrorPixels = 2.0;

// The process-wide UTM state (which the converter points at the ellipsoid of
// the user's datum) set to WGS 84 for one calculation and put back after it.
class CWgs84UtmScope
{
public:
    /// The zone and hemisphere `position` lies in.
    bool ZoneOf(GeoPoint position, std::int32_t& zone, char& hemisphere) const
    {
        double easting = 0.0;
        double northing = 0.0;
        return Forward(position, 0, zone, hemisphere, easting, northing);
    }

    /// UTM of `position`, in `zone` when it is given (a neighbouring zone).
    bool Forward(GeoPoint position, std::int32_t zone, std::int32_t& zoneOut, char& hemisphere, double& easting,
                 double& northing) const
    {
        geodesy::SetUtmParameters(geodesy::WGS84_SEMI_MAJOR_AXIS, geodesy::WGS84_FLATTENING, zone);
        const std::uint32_t bits = geodesy::ConvertGeodeticToUtm(position.lat * kDegToRad, position.lon * kDegToRad,
                                                                 zoneOut, hemisphere, easting, northing);
        return (bits &
                (geodesy::UTM_LATITUDE_ERROR | geodesy::UTM_LONGITUDE_ERROR | geodesy::UTM_ZONE_OVERRIDE_ERROR)) == 0 &&
               (zone == 0 || zoneOut == zone);
    }

private:
    conversion::CUtmStateScope m_state;
};

// With "." whatever the locale: the desktop program runs with the user's,
// where printf would write "0,123".
std::string Number(double value, int decimals)
{
    return conversion::FormatFixed(value, decimals);
}

// "%1", "%2", ... of `text` replaced by `inserts`.
std::string Fill(std::string text, const std::vector<std::string>& inserts)
{
    for (std::size_t i = 0; i < inserts.size(); ++i)
    {
        const std::string mark = "%" + std::to_string(i + 1);
        if (const std::size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), inserts[i]);
    }
    return text;
}

struct FindingText
{
    const char* code;
    FindingKind kind;
    const char* german;
    const char* english;
};

constexpr FindingText kFindingTexts[] = {
    {"same-pixel-column", FindingKind::Error,
     "Beide Referenzpunkte liegen in derselben Pixelspalte: Der Maßstab in x ist nicht bestimmt. Wählen Sie Punkte "
     "weit links und weit rechts.",
     "Both reference points lie in the same pixel column: the scale in x is not defined. Pick points far left and "
     "far right."},
    {"same-pixel-row", FindingKind::Error,
     "Beide Referenzpunkte liegen in derselben Pixelzeile: Der Maßstab in y ist nicht bestimmt. Wählen Sie Punkte "
     "weit oben und weit unten.",
     "Both reference points lie in the same pixel row: the scale in y is not defined. Pick points far up and far "
     "down."},
    {"same-longitude", FindingKind::Error,
     "Beide Referenzpunkte haben dieselbe Länge: Wahrscheinlich wurde ein Wert vom anderen Punkt übernommen.",
     "Both reference points have the same longitude: a value was probably copied from the other point."},
    {"same-latitude", FindingKind::Error,
     "Beide Referenzpunkte haben dieselbe Breite: Wahrscheinlich wurde ein Wert vom anderen Punkt übernommen.",
     "Both reference points have the same latitude: a value was probably copied from the other point."},
    {"direction-mismatch", FindingKind::Error,
     "Pixel und Koordinaten laufen gegeneinander (%1): Der weiter rechts liegende Punkt muss weiter östlich, der "
     "weiter oben liegende weiter nördlich liegen. Wahrscheinlich ist eine Hemisphäre (O/W, N/S) falsch, die Punkte "
     "sind vertauscht oder Länge und Breite.",
     "Pixels and coordinates run against each other (%1): the point further right must lie further east, the point "
     "higher up further north. Likely a wrong hemisphere (E/W, N/S), swapped points, or latitude and longitude "
     "swapped."},
    {"scale-mismatch", FindingKind::Warning,
     "Der Maßstab in x (%1 m/Pixel) und in y (%2 m/Pixel) weicht um mehr als 5 % ab, auch in UTM-Gittermetern. "
     "Wahrscheinlich: Minuten als Sekunden eingegeben oder umgekehrt, ein Tippfehler in einer Ziffer, Länge und "
     "Breite eines Punkts vertauscht oder ein gedrehter oder verzerrter Scan.",
     "The scale in x (%1 m/pixel) and in y (%2 m/pixel) differs by more than 5 %, also in UTM grid metres. Likely: "
     "minutes typed as seconds or the reverse, a digit typo, latitude and longitude of one point swapped, or a "
     "rotated or skewed scan."},
    {"points-close-x", FindingKind::Warning,
     "Die Referenzpunkte liegen in x nur %1 Pixel auseinander: Ein Fehler von einem Pixel beim Auswählen wird über "
     "die Karte vergrößert. Wählen Sie Punkte nahe gegenüberliegender Ränder.",
     "The reference points are only %1 pixels apart in x: a one-pixel picking error is magnified across the map. "
     "Pick points near opposite edges."},
    {"points-close-y", FindingKind::Warning,
     "Die Referenzpunkte liegen in y nur %1 Pixel auseinander: Ein Fehler von einem Pixel beim Auswählen wird über "
     "die Karte vergrößert. Wählen Sie Punkte nahe gegenüberliegender Ränder.",
     "The reference points are only %1 pixels apart in y: a one-pixel picking error is magnified across the map. "
     "Pick points near opposite edges."},
    {"point-outside-map", FindingKind::Warning,
     "Referenzpunkt %1 liegt außerhalb des Bitmaps (%2 x %3 Pixel): Wahrscheinlich stimmt ein Pixelwert nicht oder "
     "die Datei gehört zu einem anderen Bitmap.",
     "Reference point %1 lies outside the bitmap (%2 x %3 pixels): likely a wrong pixel value, or the file belongs "
     "to another bitmap."},
    {"corner-error", FindingKind::Warning,
     "An den Ecken der Karte liegt das Gerät bis zu %1 m neben einer auf ein UTM-Gitter gedruckten Karte (mehr als "
     "zwei Pixel): Das Gerät rechnet linear in Grad. Bei großen Karten oder weit vom Mittelmeridian der Zone hilft "
     "ein Kartenausschnitt.",
     "At the map's corners the device will be up to %1 m off a map printed on a UTM grid (more than two pixels): "
     "the device's model is linear in degrees. For a large map, or one far from its zone's central meridian, a "
     "smaller section helps."},
};

Finding MakeFinding(const char* code, const std::vector<std::string>& inserts = {})
{
    for (const FindingText& text : kFindingTexts)
        if (std::string_view(text.code) == code)
            return {text.code, text.kind, Fill(g_nLanguage == 1 ? text.english : text.german, inserts)};
    return {code, FindingKind::Error, code};
}

double Ratio(double a, double b)
{
    return std::max(a, b) / std::min(a, b);
}

} // namespace

bool CheckReport::HasError() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& finding) { return finding.kind == FindingKind::Error; });
}

std::optional<std::pair<double, double>> UtmInZoneOf(GeoPoint zoneOf, GeoPoint position)
{
    const CWgs84UtmScope scope;
    std::int32_t zone = 0;
    char hemisphere = 'N';
    if (!scope.ZoneOf(zoneOf, zone, hemisphere))
        return std::nullopt;
    double easting = 0.0;
    double northing = 0.0;
    char pointHemisphere = 'N';
    std::int32_t pointZone = 0;
    if (!scope.Forward(position, zone, pointZone, pointHemisphere, easting, northing))
        return std::nullopt;
    // One northing across the equator: the southern false northing off, or on.
    if (pointHemisphere != hemisphere)
        northing += hemisphere == 'N' ? -kFalseNorthingSouth : kFalseNorthingSouth;
    return std::pair{easting, northing};
}

std::optional<GeoPoint> UtmToPosition(GeoPoint zoneOf, double easting, double northing)
{
    const CWgs84UtmScope scope;
    std::int32_t zone = 0;
    char hemisphere = 'N';
    if (!scope.ZoneOf(zoneOf, zone, hemisphere))
        return std::nullopt;
    if (hemisphere == 'N' && northing < 0.0)
        hemisphere = 'S', northing += kFalseNorthingSouth;
    else if (hemisphere == 'S' && northing > kFalseNorthingSouth)
        hemisphere = 'N', northing -= kFalseNorthingSouth;
    double lat = 0.0;
    double lon = 0.0;
    const std::uint32_t bits = geodesy::ConvertUtmToGeodetic(zone, hemisphere, easting, northing, lat, lon);
    // A distortion warning is no refusal; anything outside the grid is.
    if ((bits & (geodesy::UTM_ZONE_ERROR | geodesy::UTM_HEMISPHERE_ERROR)) != 0 || !std::isfinite(lat) ||
        !(std::fabs(lat) <= 90.0 * kDegToRad))
        return std::nullopt;
    if ((bits & geodesy::UTM_EASTING_ERROR) != 0 && !(easting >= 100000.0 && easting <= 900000.0))
        return std::nullopt;
    return GeoPoint{lon / kDegToRad, lat / kDegToRad};
}

std::optional<double> CornerError(const Calibration& c, MapSize size)
{
    if (!c.IsDefined() || size.width <= 0 || size.height <= 0)
        return std::nullopt;
    const auto utm0 = UtmInZoneOf(c.position[0], c.position[0]);
    const auto utm1 = UtmInZoneOf(c.position[0], c.position[1]);
    if (!utm0 || !utm1)
        return std::nullopt;
    double worst = 0.0;
    // The corner pixels' centres: columns 0 and W - 1, rows y = 1 (bottom) and y = H (top).
    for (const double x : {0.0, size.width - 1.0})
    {
        for (const double y : {1.0, static_cast<double>(size.height)})
        {
            const GeoPoint device = c.PositionAt({x, y});
            const double e =
                utm0->first + (x - c.pixel[0].x) * (utm1->first - utm0->first) / (c.pixel[1].x - c.pixel[0].x);
            const double n =
                utm0->second + (y - c.pixel[0].y) * (utm1->second - utm0->second) / (c.pixel[1].y - c.pixel[0].y);
            const std::optional<GeoPoint> grid = UtmToPosition(c.position[0], e, n);
            if (!grid)
                return std::nullopt;
            worst = std::max(worst, GroundDistance(device, *grid));
        }
    }
    return worst;
}

CheckReport CheckCalibration(const Calibration& c, const CheckInput& input)
{
    CheckReport report;
    CalibrationFigures& f = report.figures;
    const double dx = c.pixel[1].x - c.pixel[0].x;
    const double dy = c.pixel[1].y - c.pixel[0].y;
    const double dLon = c.position[1].lon - c.position[0].lon;
    const double dLat = c.position[1].lat - c.position[0].lat;
    f.separationX = std::fabs(dx);
    f.separationY = std::fabs(dy);
    f.size = input.size;

    if (dx == 0.0)
        report.findings.push_back(MakeFinding("same-pixel-column"));
    if (dy == 0.0)
        report.findings.push_back(MakeFinding("same-pixel-row"));
    if (dLon == 0.0)
        report.findings.push_back(MakeFinding("same-longitude"));
    if (dLat == 0.0)
        report.findings.push_back(MakeFinding("same-latitude"));
    // Save's relation: x with longitude, y with latitude.
    const bool bMismatchX = dx * dLon < 0.0;
    const bool bMismatchY = dy * dLat < 0.0;
    if (bMismatchX || bMismatchY)
        report.findings.push_back(MakeFinding("direction-mismatch", {bMismatchX && bMismatchY ? "x, y"
                                                                     : bMismatchX             ? "x"
                                                                                              : "y"}));

    if (c.IsDefined())
    {
        const double latMean = (c.position[0].lat + c.position[1].lat) / 2.0;
        const auto [N, M] = RadiiOfCurvature(latMean);
        f.scaleX = std::fabs(dLon) * kDegToRad * N * std::cos(latMean * kDegToRad) / std::fabs(dx);
        f.scaleY = std::fabs(dLat) * kDegToRad * M / std::fabs(dy);
        f.scaleRatio = Ratio(*f.scaleX, *f.scaleY);
        const auto utm0 = UtmInZoneOf(c.position[0], c.position[0]);
        const auto utm1 = UtmInZoneOf(c.position[0], c.position[1]);
        if (utm0 && utm1)
            f.gridScaleRatio = Ratio(std::fabs(utm1->first - utm0->first) / std::fabs(dx),
                                     std::fabs(utm1->second - utm0->second) / std::fabs(dy));
        const double meanScale = (*f.scaleX + *f.scaleY) / 2.0;
        if (input.dpi && *input.dpi > 0.0)
            f.scaleDenominator = std::llround(meanScale * *input.dpi * kInchesPerMetre);
        if (input.size)
            f.cornerError = CornerError(c, *input.size);

        // A scan on a UTM grid has square pixels in grid metres but is turned
        // against the meridians: only when neither is square is it suspect.
        if (*f.scaleRatio > kScaleRatioLimit && (!f.gridScaleRatio || *f.gridScaleRatio > kScaleRatioLimit))
            report.findings.push_back(MakeFinding("scale-mismatch", {Number(*f.scaleX, 3), Number(*f.scaleY, 3)}));
        // Only for a map whose pixels are square in grid metres, and more so
        // than in degrees: a map square in degrees (one printed with a
        // graticule) differs from the grid's calibration by the grid's
        // convergence, which does not concern its user; and a calibration
        // square in neither is wrong anyway (scale-mismatch).
        const bool bOnGrid =
            f.gridScaleRatio && *f.gridScaleRatio <= kScaleRatioLimit && *f.gridScaleRatio <= *f.scaleRatio;
        if (bOnGrid && f.cornerError && *f.cornerError > kCornerErrorPixels * meanScale)
            report.findings.push_back(MakeFinding("corner-error", {Number(*f.cornerError, 1)}));
    }

    const auto close = [&](double separation, int side, const char* code)
    {
        const double limit = input.size ? kMinSeparationShare * side : kMinSeparationPixels;
        if (separation > 0.0 && separation < limit)
            report.findings.push_back(MakeFinding(code, {Number(separation, 0)}));
    };
    close(f.separationX, input.size ? input.size->width : 0, "points-close-x");
    close(f.separationY, input.size ? input.size->height : 0, "points-close-y");

    if (input.size)
    {
        for (int p = 0; p < 2; ++p)
        {
            const PixelPoint& pixel = c.pixel[p];
            if (pixel.x < 0.0 || pixel.x > input.size->width - 1.0 || pixel.y < 1.0 || pixel.y > input.size->height)
                report.findings.push_back(
                    MakeFinding("point-outside-map", {std::to_string(p + 1), std::to_string(input.size->width),
                                                      std::to_string(input.size->height)}));
        }
    }
    return report;
}

} // namespace calibration
