#pragma once

// TEST HOOKS ONLY. The program never calls these; they exist so that tests
// can observe the process-wide geodesy state from its start (before the
// tables are built, before any set-up) and feed the table builders lines of
// their own (capacity limits, lines that do not scan). A reset puts one state
// back to what it holds at process start.

#include <cstdint>

namespace geodesy::test_hooks
{

/// The ellipsoid table back to uninitialised, count 0, WGS indices 0.
void ResetEllipsoidTable();

/// Builds the ellipsoid table from the given lines instead of the built-in
/// ones; otherwise exactly InitializeEllipsoids (including "already
/// initialised" returning 0).
std::uint32_t InitializeEllipsoidsFromLines(const char* const* lines, std::int32_t lineCount);

/// The datum table back to uninitialised with all counts 0.
void ResetDatumTable();

/// Builds the datum table from the given seven- and three-parameter lines
/// instead of the built-in ones; otherwise exactly InitializeDatums.
std::uint32_t InitializeDatumsFromLines(const char* const* sevenParamLines, std::int32_t sevenParamCount,
                                        const char* const* threeParamLines, std::int32_t threeParamCount);

/// The geocentric conversion state back to its start values (WGS 84).
void ResetGeocentricParameters();

/// The Transverse Mercator state back to its start values.
void ResetTransverseMercatorParameters();

/// The UTM state back to its start values (WGS 84, no zone override).
void ResetUtmParameters();

} // namespace geodesy::test_hooks
