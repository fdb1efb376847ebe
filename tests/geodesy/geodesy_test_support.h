#pragma once

// Shared by the geodesy tests: degree/radian conversion, a ground distance
// for mm-to-cm comparisons, and a reset of all process-wide geodesy state so
// that each test starts as the process does, whatever ran before it.

#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/geodesy_test_hooks.h"

namespace geodesy_test
{

inline double Rad(double degrees)
{
    return degrees * geodesy::DEG_TO_RAD;
}
inline double Deg(double radians)
{
    return radians * geodesy::RAD_TO_DEG;
}

// Distance (m) between two nearby positions (degrees) on a 6371 km sphere:
// within 0.5 % of the true distance.
inline double GroundDistance(double lat1, double lon1, double lat2, double lon2)
{
    const double dLon = std::remainder(lon2 - lon1, 360.0);
    return 6371000.0 * std::hypot(Rad(lat2 - lat1), Rad(dLon) * std::cos(Rad(lat1)));
}

// All geodesy state back to process start; with buildTables, both tables
// then built from the built-in lines, as the converter does.
inline void ResetGeodesyState(bool buildTables)
{
    geodesy::test_hooks::ResetEllipsoidTable();
    geodesy::test_hooks::ResetDatumTable();
    geodesy::test_hooks::ResetGeocentricParameters();
    geodesy::test_hooks::ResetTransverseMercatorParameters();
    geodesy::test_hooks::ResetUtmParameters();
    if (buildTables)
    {
        geodesy::InitializeDatums();
        geodesy::InitializeEllipsoids();
    }
}

} // namespace geodesy_test
