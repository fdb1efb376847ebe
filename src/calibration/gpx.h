#pragma once
// GPX 1.1: the two reference points as waypoints, for GPS track planners.

#include <string>
#include <string_view>

#include "calibration/exchange.h"

namespace calibration
{

/// A GPX 1.1 document with the reference points of `calibration` as the
/// waypoints "NAME Ref.1" and "NAME Ref.2" (`mapName` for NAME), their
/// latitudes and longitudes in WGS 84 degrees with the digits that read back
/// as the same double.
Exchange<std::string> GpxText(const Calibration& calibration, std::string_view mapName);

} // namespace calibration
