#pragma once

// Constants shared by the geodesy routines: the forms of pi, the unit factors,
// the WGS 84 start values, the codes of the two world ellipsoids, the
// latitude bounds of the projections, and the error bits of every operation
// family.
//
// Every operation that can fail returns a std::uint32_t bit set; 0 means
// success and the bits of one family combine with |. The same numeric bit
// means different things in different families, so each family has its own
// named constants.

#include <cstdint>

namespace geodesy
{

// ---------------------------------------------------------------------------
// Forms of pi and unit factors
// ---------------------------------------------------------------------------

/// pi as a double; identical to 4*atan(1), which the coordinate converter uses.
inline constexpr double PI = 3.14159265358979323846;
inline constexpr double PI_OVER_2 = PI / 2.0;
inline constexpr double TWO_PI = 2.0 * PI;

/// Degrees to radians (pi/180) and back (180/pi), as the converter computes them.
inline constexpr double DEG_TO_RAD = 0.017453292519943295;
inline constexpr double RAD_TO_DEG = 57.29577951308232;
static_assert(PI / 180.0 == DEG_TO_RAD && 180.0 / PI == RAD_TO_DEG,
              "the degree factors must be exactly what pi/180 and 180/pi round to");

/// Arc-seconds to radians (pi/648000), used for the datum rotations and the
/// WGS 72 formulas.
inline constexpr double ARC_SECONDS_TO_RAD = 4.848136811095274e-06;

// ---------------------------------------------------------------------------
// WGS 84: the values every process-wide state starts with
//
// Before its first set-up each routine family works on WGS 84. A set-up
// derives e2 and e'2 from f; the start values are published rounded figures
// instead, kept because results before the first set-up depend on them to
// the last bit.
// ---------------------------------------------------------------------------

/// Semi-major axis (m).
inline constexpr double WGS84_SEMI_MAJOR_AXIS = 6378137.0;
/// Flattening, 1/298.257223563.
inline constexpr double WGS84_FLATTENING = 1 / 298.257223563;
static_assert(WGS84_FLATTENING == 0.0033528106647474805);
/// First eccentricity squared as published (73 ulp above 2f - f^2): the start
/// value of the geocentric conversion and of the projection.
inline constexpr double WGS84_PUBLISHED_E2 = 0.00669437999014138;
/// Second eccentricity squared as published, from a and the rounded
/// b = 6356752.3142 m: the geocentric conversion's start value.
inline constexpr double WGS84_PUBLISHED_EP2 = 0.006739496756586903;
/// The same figure cut to 14 digits (3 ulp smaller): the Transverse Mercator
/// start value, kept apart because the projection has always started from it.
inline constexpr double WGS84_PUBLISHED_EP2_14_DIGITS = 0.0067394967565869;

// ---------------------------------------------------------------------------
// Ellipsoid codes of the two world systems
// ---------------------------------------------------------------------------

/// Two-letter code of the WGS 84 ellipsoid in the ellipsoid table.
inline constexpr char WGS84_ELLIPSOID_CODE[] = "WE";
/// Two-letter code of the WGS 72 ellipsoid in the ellipsoid table.
inline constexpr char WGS72_ELLIPSOID_CODE[] = "WD";

// ---------------------------------------------------------------------------
// Latitude bounds (radians)
//
// Each bound is written in degrees as well. The rounded radian figure and the
// degree value multiplied by DEG_TO_RAD can differ by one unit in the last
// place; the comment of each bound says which of the two is honoured.
// ---------------------------------------------------------------------------

/// Southern limit of UTM, -80.5 degrees. Taken as -80.5 * DEG_TO_RAD
/// (-1.4049900478554354), one ulp south of the rounded figure
/// -1.4049900478554351, so that -80.5 degrees typed by a user and converted
/// with pi/180 is accepted. The rounded figure lies inside and is accepted too.
inline constexpr double UTM_MIN_LATITUDE = -80.5 * DEG_TO_RAD;
static_assert(UTM_MIN_LATITUDE < -1.4049900478554351);
/// Northern limit of UTM, 84.5 degrees; 84.5 * DEG_TO_RAD is this same double.
inline constexpr double UTM_MAX_LATITUDE = 1.4748032179352084;
static_assert(84.5 * DEG_TO_RAD == UTM_MAX_LATITUDE);

/// Largest latitude magnitude the Transverse Mercator series accept, 89.99
/// degrees, as the rounded figure 1.570621793869697 (89.99 * DEG_TO_RAD is one
/// ulp larger and is refused).
inline constexpr double TM_MAX_LATITUDE = 1.570621793869697;

/// Largest latitude magnitude at which a three-parameter datum is shifted by
/// the Molodensky formulas, 89.75 degrees, as the rounded figure
/// 1.5664330036649106 (89.75 * DEG_TO_RAD is one ulp larger and takes the
/// cartesian route, which gives the same position to well under a centimetre).
inline constexpr double MOLODENSKY_MAX_LATITUDE = 1.5664330036649106;

// ---------------------------------------------------------------------------
// Ellipsoid table errors
// ---------------------------------------------------------------------------

inline constexpr std::uint32_t ELLIPSOID_NO_ERROR = 0x0000;
/// A built-in line does not scan (missing field, a code longer than two
/// characters, or a number that is not a finite decimal); the table is not built.
inline constexpr std::uint32_t ELLIPSOID_LINE_ERROR = 0x0001;
/// The WGS 84 code "WE" or the WGS 72 code "WD" is not in the table.
inline constexpr std::uint32_t ELLIPSOID_WGS_CODE_ERROR = 0x0002;
/// More lines than the 32 records the table holds; the table is not built.
inline constexpr std::uint32_t ELLIPSOID_OVERFLOW_ERROR = 0x0004;
/// The table is not initialised.
inline constexpr std::uint32_t ELLIPSOID_NOT_INITIALIZED_ERROR = 0x0008;
/// Index outside 1 to the record count.
inline constexpr std::uint32_t ELLIPSOID_INDEX_ERROR = 0x0010;
/// No record has the code.
inline constexpr std::uint32_t ELLIPSOID_CODE_ERROR = 0x0020;

// ---------------------------------------------------------------------------
// Datum table and datum shift errors
// ---------------------------------------------------------------------------

inline constexpr std::uint32_t DATUM_NO_ERROR = 0x0000;
/// The datum table is not initialised.
inline constexpr std::uint32_t DATUM_NOT_INITIALIZED_ERROR = 0x0001;
/// A built-in line does not scan (missing field, a code, name or ellipsoid
/// code too long for its field, or a number that is not a finite decimal).
inline constexpr std::uint32_t DATUM_LINE_ERROR = 0x0002;
/// More seven-parameter lines than the 25 records reserved for them.
inline constexpr std::uint32_t DATUM_SEVEN_PARAM_OVERFLOW_ERROR = 0x0008;
/// More three-parameter lines than the 250 records reserved for them.
inline constexpr std::uint32_t DATUM_THREE_PARAM_OVERFLOW_ERROR = 0x0040;
/// Datum index outside 1 to the count, on the way towards WGS 84.
inline constexpr std::uint32_t DATUM_SOURCE_INDEX_ERROR = 0x0100;
/// Datum index outside 1 to the count, on the way from WGS 84.
inline constexpr std::uint32_t DATUM_TARGET_INDEX_ERROR = 0x0200;
/// Code longer than 6 characters, or no datum has the code.
inline constexpr std::uint32_t DATUM_CODE_ERROR = 0x0400;
/// Latitude outside -pi/2 to pi/2.
inline constexpr std::uint32_t DATUM_LATITUDE_ERROR = 0x0800;
/// Longitude outside -pi to 2*pi.
inline constexpr std::uint32_t DATUM_LONGITUDE_ERROR = 0x1000;
/// Initialisation: added to every other bit; the table was not built.
inline constexpr std::uint32_t DATUM_TABLE_NOT_BUILT_ERROR = 0x8000;
/// Shifts: an ellipsoid the shift needs is not in the ellipsoid table or its
/// parameters cannot be read.
inline constexpr std::uint32_t DATUM_ELLIPSOID_ERROR = 0x8000;

// ---------------------------------------------------------------------------
// Geocentric conversion errors
// ---------------------------------------------------------------------------

inline constexpr std::uint32_t GEOCENTRIC_NO_ERROR = 0x0000;
/// Latitude outside -pi/2 to pi/2.
inline constexpr std::uint32_t GEOCENTRIC_LATITUDE_ERROR = 0x0001;
/// Longitude outside -pi to 2*pi.
inline constexpr std::uint32_t GEOCENTRIC_LONGITUDE_ERROR = 0x0002;
/// Semi-major axis not positive.
inline constexpr std::uint32_t GEOCENTRIC_AXIS_ERROR = 0x0004;
/// Inverse flattening outside 250 to 350.
inline constexpr std::uint32_t GEOCENTRIC_FLATTENING_ERROR = 0x0008;

// ---------------------------------------------------------------------------
// Transverse Mercator errors
// ---------------------------------------------------------------------------

inline constexpr std::uint32_t TM_NO_ERROR = 0x0000;
/// Forward: latitude beyond +-89.99 degrees.
inline constexpr std::uint32_t TM_LATITUDE_ERROR = 0x0001;
/// Forward: longitude more than 90 degrees from the central meridian.
inline constexpr std::uint32_t TM_LONGITUDE_ERROR = 0x0002;
/// Inverse: easting outside FE +- the valid half-width, or the resulting
/// longitude cannot be brought within -pi to pi.
inline constexpr std::uint32_t TM_EASTING_ERROR = 0x0004;
/// Inverse: northing outside FN +- the valid half-width, or the resulting
/// latitude beyond +-90 degrees.
inline constexpr std::uint32_t TM_NORTHING_ERROR = 0x0008;
/// Set-up: origin latitude outside -pi/2 to pi/2.
inline constexpr std::uint32_t TM_ORIGIN_LATITUDE_ERROR = 0x0010;
/// Set-up: central meridian outside -pi to 2*pi.
inline constexpr std::uint32_t TM_CENTRAL_MERIDIAN_ERROR = 0x0020;
/// Set-up: semi-major axis not positive.
inline constexpr std::uint32_t TM_AXIS_ERROR = 0x0040;
/// Set-up: inverse flattening outside 250 to 350.
inline constexpr std::uint32_t TM_FLATTENING_ERROR = 0x0080;
/// Set-up: scale factor outside 0.3 to 3.0.
inline constexpr std::uint32_t TM_SCALE_FACTOR_ERROR = 0x0100;
/// Warning, outputs written: the point lies more than 9 degrees (inverse:
/// 9 degrees times cos latitude) from the central meridian.
inline constexpr std::uint32_t TM_DISTORTION_WARNING = 0x0200;

// ---------------------------------------------------------------------------
// UTM errors
// ---------------------------------------------------------------------------

inline constexpr std::uint32_t UTM_NO_ERROR = 0x0000;
/// Forward: latitude outside -80.5 to 84.5 degrees.
inline constexpr std::uint32_t UTM_LATITUDE_ERROR = 0x0001;
/// Forward: longitude outside -pi to 2*pi.
inline constexpr std::uint32_t UTM_LONGITUDE_ERROR = 0x0002;
/// Easting outside 100000 to 900000 m (inverse: also the projection's
/// easting error or distortion warning).
inline constexpr std::uint32_t UTM_EASTING_ERROR = 0x0004;
/// Northing outside 0 to 10000000 m (inverse: also the projection's northing
/// error, or a resulting latitude outside -80.5 to 84.5 degrees).
inline constexpr std::uint32_t UTM_NORTHING_ERROR = 0x0008;
/// Inverse: zone outside 1 to 60.
inline constexpr std::uint32_t UTM_ZONE_ERROR = 0x0010;
/// Inverse: hemisphere neither 'N' nor 'S'.
inline constexpr std::uint32_t UTM_HEMISPHERE_ERROR = 0x0020;
/// Set-up: override outside 0 to 60; forward: override more than one zone
/// away from the computed zone.
inline constexpr std::uint32_t UTM_ZONE_OVERRIDE_ERROR = 0x0040;
/// Set-up: semi-major axis not positive.
inline constexpr std::uint32_t UTM_AXIS_ERROR = 0x0080;
/// Set-up: inverse flattening outside 250 to 350.
inline constexpr std::uint32_t UTM_FLATTENING_ERROR = 0x0100;

} // namespace geodesy
