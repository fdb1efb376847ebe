#pragma once

// Helpers shared by the geodesy tests: degree/radian conversion, a ground
// distance for centimetre-level comparisons, and a reset of all process-wide
// geodesy state so that each test starts from process start whatever ran
// before it in the same process.

#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/geodesy_test_hooks.h"

namespace geodesy_test {

inline double Rad(double degrees)
{
    return degrees * geodesy::DEG_TO_RAD;
}

inline double Deg(double radians)
{
    return radians * geodesy::RAD_TO_DEG;
}

// Distance (m) between two nearby positions (degrees) on a sphere of
// 6371 km: within 0.5 % of the true distance, ample for mm-to-cm tolerances.
inline double GroundDistance(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double R = 6371000.0;
    double dLon = lon2 - lon1;
    if (dLon > 180)
        dLon -= 360;
    if (dLon < -180)
        dLon += 360;
    const double north = Rad(lat2 - lat1) * R;
    const double east = Rad(dLon) * R * std::cos(Rad(lat1));
    return std::hypot(north, east);
}

// All geodesy state back to process start; with buildTables, both tables
// then built from the built-in lines as the converter does.
inline void ResetGeodesyState(bool buildTables)
{
    geodesy::test_hooks::ResetEllipsoidTable();
    geodesy::test_hooks::ResetDatumTable();
    geodesy::test_hooks::ResetGeocentricParameters();
    geodesy::test_hooks::ResetTransverseMercatorParameters();
    geodesy::test_hooks::ResetUtmParameters();
    if (buildTables) {
        geodesy::InitializeDatums();
        geodesy::InitializeEllipsoids();
    }
}

}  // namespace geodesy_test
