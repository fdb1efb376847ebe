#pragma once
// A reference point in one line, as the user types it in "dec.Minute":
// DegMin(10, 30, 'E', 53, 15, 'N') is 10° 30' E, 53° 15' N. Standard C++ only.

#include <cstdint>

struct DegMinPoint
{
    std::int32_t degrees[2];    ///< whole degrees: [0] longitude, [1] latitude
    double minutes[2];          ///< decimal minutes
    std::int32_t hemisphere[2]; ///< [0] 0 east 1 west, [1] 0 north 1 south
};

/// 'E' or 'O' (German "Ost") east, 'W' west; 'N' north, 'S' south.
constexpr DegMinPoint DegMin(std::int32_t lonDegrees, double lonMinutes, char eastWest, std::int32_t latDegrees,
                             double latMinutes, char northSouth)
{
    return {{lonDegrees, latDegrees}, {lonMinutes, latMinutes}, {eastWest == 'W' ? 1 : 0, northSouth == 'S' ? 1 : 0}};
}

/// Puts `point` into point `p` (0 or 1) of anything that holds both points'
/// dec.Minute values under the dialog's member names (m_nHemisphere,
/// m_nDegree, m_dMinute): EntryValues, CalValues, the reference dialog.
template <class Points> void SetPoint(Points& points, int p, const DegMinPoint& point)
{
    for (int axis = 0; axis < 2; ++axis)
    {
        points.m_nHemisphere[p][axis] = point.hemisphere[axis];
        points.m_nDegree[p][axis] = point.degrees[axis];
        points.m_dMinute[p][axis] = point.minutes[axis];
    }
}
