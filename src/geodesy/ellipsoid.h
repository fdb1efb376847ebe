#pragma once

// The process-wide table of reference ellipsoids: filled once from text lines
// built into the program, then asked for the index of a two-letter code and
// for the semi-major axis and flattening of an index.
//
// Indices are 1-based (index 1 is the first built-in line). Every operation
// returns an error bit set of the ELLIPSOID_... family (geodesy_constants.h);
// 0 is success. Single-threaded: the table is written only by the first
// successful InitializeEllipsoids and read-only afterwards.

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Number of records the table can hold.
inline constexpr std::int32_t ELLIPSOID_TABLE_CAPACITY = 32;

/// One reference ellipsoid as read from its line.
struct EllipsoidRecord
{
    /// Name: the first 29 of the line's first 30 characters (without a leading
    /// "*"), trailing blanks kept, NUL-terminated.
    char Name[30];
    /// Two-letter code, upper case, NUL-terminated.
    char Code[3];
    /// a (metres).
    double SemiMajorAxis;
    /// b (metres); read from the line and kept, used by no operation.
    double SemiMinorAxis;
    /// 1/f (dimensionless).
    double InverseFlattening;
    /// 1 when the line's name began with "*", else 0.
    std::int32_t UserDefined;
};

/// Builds the table from the built-in lines (International 1924 = 1, Bessel
/// 1841 = 2, WGS 72 = 3, WGS 84 = 4) and remembers the indices of the WGS 84
/// and WGS 72 ellipsoids. Does nothing and returns 0 when already initialised.
/// @return ELLIPSOID_LINE_ERROR: a line does not scan, the table is not built;
///   ELLIPSOID_OVERFLOW_ERROR: more lines than 32, the table is not built;
///   ELLIPSOID_WGS_CODE_ERROR: "WE" or "WD" is not in the table (also added
///   whenever the table was not built).
std::uint32_t InitializeEllipsoids();

/// Looks up the ellipsoid whose code equals the first two characters of code,
/// upper-cased (ASCII letters only; a shorter code is used whole).
/// @param code NUL-terminated text; a null pointer matches no ellipsoid.
/// @param[out] index 1-based index; 0 on failure (always written).
/// @return ELLIPSOID_NOT_INITIALIZED_ERROR; ELLIPSOID_CODE_ERROR: no match.
std::uint32_t GetEllipsoidIndex(const char* code, std::int32_t& index);

/// Semi-major axis and flattening of an ellipsoid.
/// @param index 1-based index.
/// @param[out] a semi-major axis (metres); 0 on failure (always written).
/// @param[out] f flattening, 1 / the stored inverse flattening
///   (dimensionless); 0 on failure (always written).
/// @return ELLIPSOID_NOT_INITIALIZED_ERROR; ELLIPSOID_INDEX_ERROR: index
///   outside 1 to the count.
std::uint32_t GetEllipsoidParameters(std::int32_t index, double& a, double& f);

/// GetEllipsoidParameters for the remembered WGS 84 index. Same outputs and
/// bits; ELLIPSOID_INDEX_ERROR when "WE" was missing at initialisation.
std::uint32_t GetWgs84EllipsoidParameters(double& a, double& f);

/// GetEllipsoidParameters for the remembered WGS 72 index. Same outputs and
/// bits; ELLIPSOID_INDEX_ERROR when "WD" was missing at initialisation.
std::uint32_t GetWgs72EllipsoidParameters(double& a, double& f);

// Read access -----------------------------------------------------------------

/// True once InitializeEllipsoids has built the table.
bool IsEllipsoidTableInitialized();

/// Number of records; 0 before initialisation and after a failed one.
std::int32_t GetEllipsoidCount();

/// The record at a 1-based index, or nullptr when the table is not initialised
/// or the index lies outside 1 to the count.
const EllipsoidRecord* GetEllipsoidRecord(std::int32_t index);

/// 1-based index of the WGS 84 ellipsoid found at initialisation; 0 if none.
std::int32_t GetWgs84EllipsoidIndex();

/// 1-based index of the WGS 72 ellipsoid found at initialisation; 0 if none.
std::int32_t GetWgs72EllipsoidIndex();

} // namespace geodesy
