#pragma once

// The process-wide table of geodetic datums: how coordinates on each datum
// relate to WGS 84. Index 1 is WGS 84, 2 is WGS 72, then the seven-parameter
// datums and the three-parameter datums in the order of their built-in lines.
// With the built-in lines: "WGE" = 1, "WGC" = 2, "EUR-7" = 3, "DHDN" = 4.
//
// Every operation returns an error bit set of the DATUM_... family
// (geodesy_constants.h); 0 is success. Single-threaded: the table is written
// only by the first successful InitializeDatums and read-only afterwards. The
// validity area and the sigmas are stored but no operation uses them.

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Number of seven-parameter records the table can hold.
inline constexpr std::int32_t DATUM_SEVEN_PARAM_CAPACITY = 25;
/// Number of three-parameter records the table can hold.
inline constexpr std::int32_t DATUM_THREE_PARAM_CAPACITY = 250;

/// How a datum is shifted to WGS 84.
enum DatumType : std::int32_t
{
    ThreeParamDatum = 0, ///< translation of the earth's centre
    SevenParamDatum = 1, ///< translation, three small rotations and a scale change
    Wgs84Datum = 2,      ///< identity
    Wgs72Datum = 3,      ///< the fixed WGS 72 formulas
};

/// One datum.
struct DatumRecord
{
    DatumType Type;
    /// Datum code, at most 6 characters, NUL-terminated.
    char Code[7];
    /// Datum name, at most 32 characters, NUL-terminated.
    char Name[33];
    /// Two-letter code of the datum's ellipsoid in the ellipsoid table.
    char EllipsoidCode[3];
    /// Translation from the datum's geocentric frame to WGS 84 (metres).
    double DeltaX;
    double DeltaY;
    double DeltaZ;
    /// Rotations about the X, Y and Z axes (radians), coordinate-frame sign
    /// convention; 0 unless seven-parameter.
    double RotationX;
    double RotationY;
    double RotationZ;
    /// Seven-parameter datum: the scale difference as a plain multiplier of
    /// the coordinates (2.4664e-6 for 2.4664 ppm); every other datum: 1.0.
    double ScaleFactor;
    /// Stated accuracy of the translations (metres); 0 where none, -1 unknown.
    double SigmaX;
    double SigmaY;
    double SigmaZ;
    /// Validity area (radians).
    double WestLongitude;
    double EastLongitude;
    double SouthLatitude;
    double NorthLatitude;
};

/// Builds the table from the built-in lines. Does nothing and returns 0 when
/// already initialised.
/// @return DATUM_SEVEN_PARAM_OVERFLOW_ERROR: more than 25 seven-parameter
///   lines; DATUM_THREE_PARAM_OVERFLOW_ERROR: more than 250 three-parameter
///   lines; DATUM_LINE_ERROR: a line does not scan. Each comes with
///   DATUM_TABLE_NOT_BUILT_ERROR, and the table stays uninitialised, count 0.
std::uint32_t InitializeDatums();

/// Looks up a datum by code: the code is upper-cased (ASCII letters) and
/// every white-space character is removed before the exact comparison, so
/// "dhdn" and "DH DN" both find "DHDN".
/// @param code NUL-terminated text, at most 6 characters; a null pointer
///   matches no datum.
/// @param[out] index 1-based index; 0 on failure (always written).
/// @return DATUM_NOT_INITIALIZED_ERROR; DATUM_CODE_ERROR: code longer than 6
///   characters, or no datum has it.
std::uint32_t GetDatumIndex(const char* code, std::int32_t& index);

// Read access -----------------------------------------------------------------

/// True once InitializeDatums has built the table.
bool IsDatumTableInitialized();

/// Number of datums (both built-in ones included); 0 before initialisation
/// and after a failed one.
std::int32_t GetDatumCount();

/// The record at a 1-based index, or nullptr when the table is not initialised
/// or the index lies outside 1 to the count.
const DatumRecord* GetDatumRecord(std::int32_t index);

} // namespace geodesy
