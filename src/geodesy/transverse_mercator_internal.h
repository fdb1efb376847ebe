#pragma once

// Internal to the geodesy library: the conversions of transverse_mercator.h
// with an extra report of whether the outputs were written, which the bits
// alone cannot tell for the inverse (its easting and northing bits mean both
// "refused" and "written but doubtful").

#include <cstdint>

namespace geodesy::detail
{

std::uint32_t ConvertGeodeticToTransverseMercator(double latitude, double longitude, double& easting, double& northing,
                                                  bool& written);

std::uint32_t ConvertTransverseMercatorToGeodetic(double easting, double northing, double& latitude, double& longitude,
                                                  bool& written);

} // namespace geodesy::detail
