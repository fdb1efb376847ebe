#include "conversion/coord_converter.h"

#include <cmath>
#include <limits>

#include "geodesy/geodesy.h"

const char* const g_formatNames[kFormatCount] = {"dec.Degree", "dec.Minute", "dec.Second", "UTM"};
const char* const g_datumNames[kDatumCount] = {"WGS84", "European", "Potsdam"};

namespace
{

// π as the converter has always taken it, and the two conversion factors
// built from it. Degrees become radians by one multiplication with
// kDegToRad (never "× π / 180"): the last bit of a bound such as −80.5°
// depends on it.
const double kPi = 4.0 * std::atan(1.0);
const double kDegToRad = kPi / 180.0;
const double kRadToDeg = 180.0 / kPi;

struct DatumCodes
{
    const char* datum;
    const char* ellipsoid;
};

// Indexed by MapDatum.
constexpr DatumCodes kDatumCodes[kDatumCount] = {
    {"WGE", "WE"},   // WGS84
    {"EUR-7", "IN"}, // European 1950 on International 1924
    {"DHDN", "BR"},  // Potsdam on Bessel 1841
};

// round(x) of the entry fields: x + 0.5 with the fraction cut off. x can lie
// below 0 by up to a step (the seconds of 10.03333°, whose minutes were rounded
// up to 2'); cutting toward zero makes that 0, and a plain 0 rather than the -0
// of trunc(-0.1), which a field would show as "-0.00".
double RoundHalfUp(double x)
{
    const double r = std::trunc(x + 0.5);
    return r == 0.0 ? 0.0 : r;
}

// A geodesy result cut toward zero to whole metres, kept within the 32-bit
// range (a float-to-int conversion outside it would be undefined).
std::int32_t TruncateMetres(double metres)
{
    if (!(metres > -2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    if (!(metres < 2147483648.0))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(metres);
}

// An angle of the entry fields: hemisphere flag and magnitude in degrees,
// rounded to five decimals.
struct SplitAngle
{
    std::int32_t hemisphere;
    double degrees;
};

SplitAngle SplitDegrees(double radians)
{
    SplitAngle split;
    split.hemisphere = radians < 0.0 ? 1 : 0;
    const double n = RoundHalfUp(std::fabs(radians) * kRadToDeg * 100000.0);
    split.degrees = n * 0.00001;
    return split;
}

// Whole degrees and decimal minutes in steps of 0.0005'. Every m of 119999
// or more (59.9995' and above, as doubles compare) carries into the degrees.
void SplitDegMin(double d, std::int32_t& wholeDegrees, double& minutes)
{
    double w = std::trunc(d);
    const double m = RoundHalfUp((d - w) * 120000.0);
    minutes = m * 0.0005;
    if (minutes > 59.9995)
    {
        minutes = 0.0;
        w += 1.0;
    }
    wholeDegrees = static_cast<std::int32_t>(w);
}

// Whole degrees, whole minutes and decimal seconds in steps of 0.02". Seconds
// of 59.98" and more carry into the minutes, 60 minutes into the degrees.
void SplitDegMinSec(double d, std::int32_t& wholeDegrees, std::int32_t& wholeMinutes, double& seconds)
{
    double w = std::trunc(d);
    const auto m = static_cast<std::int32_t>(RoundHalfUp((d - w) * 120000.0));
    std::int32_t k = m / 2000;
    const double s = RoundHalfUp((d - w - k / 60.0) * 180000.0);
    seconds = s * 0.02;
    if (seconds > 59.97)
    {
        seconds = 0.0;
        k += 1;
        if (k == 60)
        {
            k = 0;
            w += 1.0;
        }
    }
    wholeDegrees = static_cast<std::int32_t>(w);
    wholeMinutes = k;
}

// Hands each angle of both points, in the selected datum and split into
// hemisphere and five-decimal degrees, to `store(point, axis, split)`, point 0
// first, longitude before latitude. A point that cannot be expressed is
// skipped; the result is false then.
template <class Store> bool ForEachLocalAngle(const CCoordConverter& converter, Store store)
{
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        double angle[2];
        if (!converter.LocalPosition(p, angle[0], angle[1]))
        {
            all = false;
            continue;
        }
        for (int axis = 0; axis < 2; ++axis)
            store(p, axis, SplitDegrees(angle[axis]));
    }
    return all;
}

// Why the UTM inverse gave no position, from its error bits: the zone
// outside 1 to 60, the easting outside what the grid covers (100 km to
// 900 km, or what the projection refuses), the northing outside 0 to
// 10000 km or beyond a pole. The half of the range a value lies in says
// whether it is too small or too large: beyond the south pole the northing
// is small, beyond the north pole large.
PositionFault UtmFault(std::uint32_t bits, std::int32_t zone, const std::int32_t utm[2])
{
    constexpr std::int32_t kCentralEasting = 500000;  // m, the central meridian's
    constexpr std::int32_t kMiddleNorthing = 5000000; // m
    auto tooLarge = [](bool large) { return large ? MSG_VALUE_TOO_LARGE : MSG_VALUE_TOO_SMALL; };
    if (bits & geodesy::UTM_ZONE_ERROR)
        return {VALUE_ZONE, tooLarge(zone > 0)};
    if ((bits & geodesy::UTM_EASTING_ERROR) && !(bits & geodesy::UTM_NORTHING_ERROR))
        return {VALUE_EASTING, tooLarge(utm[0] > kCentralEasting)};
    return {VALUE_NORTHING, tooLarge(utm[1] > kMiddleNorthing)};
}

double Signed(std::int32_t hemisphere, double radians)
{
    return hemisphere != 0 ? -radians : radians;
}

} // namespace

CCoordConverter::CCoordConverter(std::unique_ptr<IErrorWindow> errorWindow) : m_wndError(std::move(errorWindow))
{
    if (!m_wndError)
        m_wndError = std::make_unique<CTextErrorWindow>();
    geodesy::InitializeDatums();
    geodesy::InitializeEllipsoids();
    SelectDatum(DATUM_WGS84);
}

CCoordConverter::~CCoordConverter() = default;

void CCoordConverter::SelectDatum(std::int32_t datum)
{
    if (datum < 0 || datum >= kDatumCount)
        datum = DATUM_WGS84;
    m_nMapDatum = datum;
    geodesy::GetDatumIndex(kDatumCodes[datum].datum, m_nDatumIndex);
    geodesy::GetEllipsoidIndex(kDatumCodes[datum].ellipsoid, m_nEllipsoidIndex);
    double a = 0.0;
    double f = 0.0;
    geodesy::GetEllipsoidParameters(m_nEllipsoidIndex, a, f);
    geodesy::SetUtmParameters(a, f, 0);
}

std::pair<double, double> CCoordConverter::ShiftDatum(double lon, double lat, std::int32_t from, std::int32_t to,
                                                      bool* ok) const
{
    if (ok)
        *ok = true;
    if (from == to)
        return {lon, lat};

    double latOut = 0.0;
    double lonOut = 0.0;
    double heightOut = 0.0;
    const std::uint32_t bits = from != DATUM_WGS84
                                   ? geodesy::ShiftToWgs84(m_nDatumIndex, lat, lon, 0.0, latOut, lonOut, heightOut)
                                   : geodesy::ShiftFromWgs84(lat, lon, 0.0, m_nDatumIndex, latOut, lonOut, heightOut);
    if (bits != 0)
    {
        if (ok)
            *ok = false;
        return {lon, lat};
    }
    return {lonOut, latOut};
}

void CCoordConverter::ClearFaults()
{
    m_fault[0].reset();
    m_fault[1].reset();
}

bool CCoordConverter::StoreWgs84(int point, double lon, double lat)
{
    // Values read from a file are not range-checked; an angle that is not a
    // finite number is no position.
    if (!std::isfinite(lon) || !std::isfinite(lat))
    {
        m_fault[point] = PositionFault{std::isfinite(lon) ? VALUE_LATITUDE : VALUE_LONGITUDE, MSG_VALUE_TOO_LARGE};
        return false;
    }
    bool ok = false;
    const auto [wgsLon, wgsLat] = ShiftDatum(lon, lat, m_nMapDatum, DATUM_WGS84, &ok);
    if (!ok)
    {
        // The shifts refuse a latitude beyond a pole (90 degrees plus
        // minutes) and a longitude beyond a whole turn.
        const bool bLongitude = std::fabs(lat) <= kPi / 2;
        m_fault[point] = PositionFault{bLongitude ? VALUE_LONGITUDE : VALUE_LATITUDE, MSG_NO_POSITION};
        return false;
    }
    m_dWgs84[point][0] = wgsLon;
    m_dWgs84[point][1] = wgsLat;
    return true;
}

bool CCoordConverter::LocalPosition(int point, double& lon, double& lat) const
{
    bool ok = false;
    const auto shifted = ShiftDatum(m_dWgs84[point][0], m_dWgs84[point][1], DATUM_WGS84, m_nMapDatum, &ok);
    lon = shifted.first;
    lat = shifted.second;
    // A shift moves a point next to the antimeridian across it (WGS84 180° E
    // is 180.00022° E on Potsdam): back into -180° to 180°, where the fields
    // can hold it. Every other longitude is left to the last bit.
    if (m_nMapDatum != DATUM_WGS84 && ok)
    {
        if (lon > kPi)
            lon -= 2 * kPi;
        else if (lon < -kPi)
            lon += 2 * kPi;
    }
    // With WGS84 selected nothing is shifted, so a position put together from
    // unchecked file values can be anything; only angles within one turn can
    // be split into whole degrees and minutes.
    return ok && std::fabs(lon) <= 2 * kPi && std::fabs(lat) <= 2 * kPi;
}

bool CCoordConverter::DegreesToWgs84(const std::int32_t hemi[2][2], const double deg[2][2])
{
    ClearFaults();
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        const double lon = Signed(hemi[p][0], deg[p][0] * kDegToRad);
        const double lat = Signed(hemi[p][1], deg[p][1] * kDegToRad);
        all = StoreWgs84(p, lon, lat) && all;
    }
    return all;
}

bool CCoordConverter::DegMinToWgs84(const std::int32_t hemi[2][2], const std::int32_t deg[2][2], const double min[2][2])
{
    ClearFaults();
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        double angle[2];
        for (int axis = 0; axis < 2; ++axis)
            angle[axis] = Signed(hemi[p][axis], (min[p][axis] * (1.0 / 60.0) + deg[p][axis]) * kDegToRad);
        all = StoreWgs84(p, angle[0], angle[1]) && all;
    }
    return all;
}

bool CCoordConverter::DegMinSecToWgs84(const std::int32_t hemi[2][2], const std::int32_t deg[2][2],
                                       const std::int32_t min[2][2], const double sec[2][2])
{
    ClearFaults();
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        double angle[2];
        for (int axis = 0; axis < 2; ++axis)
            angle[axis] =
                Signed(hemi[p][axis],
                       ((sec[p][axis] * (1.0 / 60.0) + min[p][axis]) * (1.0 / 60.0) + deg[p][axis]) * kDegToRad);
        all = StoreWgs84(p, angle[0], angle[1]) && all;
    }
    return all;
}

bool CCoordConverter::UtmToWgs84(const std::int32_t south[2], const std::int32_t zone[2], const std::int32_t utm[2][2])
{
    ClearFaults();
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        // The inverse writes a position whenever its projection ran, also
        // with a distortion warning (points far from the central meridian at
        // high latitudes, which are valid input); it writes nothing for
        // values it refuses. A latitude beyond a pole is no position either.
        double lat = std::numeric_limits<double>::quiet_NaN();
        double lon = std::numeric_limits<double>::quiet_NaN();
        const std::uint32_t bits =
            geodesy::ConvertUtmToGeodetic(zone[p], south[p] != 0 ? 'S' : 'N', static_cast<double>(utm[p][0]),
                                          static_cast<double>(utm[p][1]), lat, lon);
        if (!(std::fabs(lat) <= kPi / 2) || !std::isfinite(lon))
        {
            m_fault[p] = UtmFault(bits, zone[p], utm[p]);
            all = false;
            continue;
        }
        if (!StoreWgs84(p, lon, lat))
        {
            // In UTM the latitude that the shift refused is the northing's.
            m_fault[p] = PositionFault{VALUE_NORTHING, MSG_NO_POSITION};
            all = false;
        }
    }
    return all;
}

bool CCoordConverter::Wgs84ToDegrees(std::int32_t hemi[2][2], double deg[2][2]) const
{
    return ForEachLocalAngle(*this,
                             [&](int p, int axis, const SplitAngle& split)
                             {
                                 hemi[p][axis] = split.hemisphere;
                                 deg[p][axis] = split.degrees;
                             });
}

bool CCoordConverter::Wgs84ToDegMin(std::int32_t hemi[2][2], std::int32_t deg[2][2], double min[2][2]) const
{
    return ForEachLocalAngle(*this,
                             [&](int p, int axis, const SplitAngle& split)
                             {
                                 hemi[p][axis] = split.hemisphere;
                                 SplitDegMin(split.degrees, deg[p][axis], min[p][axis]);
                             });
}

bool CCoordConverter::Wgs84ToDegMinSec(std::int32_t hemi[2][2], std::int32_t deg[2][2], std::int32_t min[2][2],
                                       double sec[2][2]) const
{
    return ForEachLocalAngle(*this,
                             [&](int p, int axis, const SplitAngle& split)
                             {
                                 hemi[p][axis] = split.hemisphere;
                                 SplitDegMinSec(split.degrees, deg[p][axis], min[p][axis], sec[p][axis]);
                             });
}

bool CCoordConverter::Wgs84ToUtm(std::int32_t south[2], std::int32_t zone[2], std::int32_t utm[2][2]) const
{
    bool all = true;
    for (int p = 0; p < 2; ++p)
    {
        // The forward conversion writes nothing for a point it refuses (a
        // latitude outside the UTM band); it writes a position with a warning
        // bit for an easting or northing outside the usual range.
        double lon = 0.0;
        double lat = 0.0;
        std::int32_t zoneOut = 0;
        char hemisphere = 'N';
        double easting = std::numeric_limits<double>::quiet_NaN();
        double northing = std::numeric_limits<double>::quiet_NaN();
        if (LocalPosition(p, lon, lat))
            geodesy::ConvertGeodeticToUtm(lat, lon, zoneOut, hemisphere, easting, northing);
        if (std::isnan(easting) || std::isnan(northing))
        {
            all = false;
            continue;
        }
        zone[p] = zoneOut;
        south[p] = hemisphere != 'N' ? 1 : 0;
        utm[p][0] = TruncateMetres(easting);
        utm[p][1] = TruncateMetres(northing);
    }
    return all;
}

bool CCoordConverter::CheckPixelRelation(const std::uint32_t pixel[2][2]) const
{
    // Pixel differences as signed 32-bit values (unsigned subtraction wraps;
    // the conversion to int32 is modular).
    const auto dx = static_cast<std::int32_t>(pixel[0][0] - pixel[1][0]);
    if (!(dx * (m_dWgs84[0][0] - m_dWgs84[1][0]) > 0.0))
        return false;
    const auto dy = static_cast<std::int32_t>(pixel[0][1] - pixel[1][1]);
    return dy * (m_dWgs84[0][1] - m_dWgs84[1][1]) > 0.0;
}
