#pragma once

// The geodesy library: built-in ellipsoid and datum tables, geodetic and
// geocentric coordinates, datum shifts to and from WGS 84, the Transverse
// Mercator projection and UTM. Standard C++ only; angles in radians, lengths
// in metres; every operation that can fail returns a std::uint32_t error bit
// set (0 = success) documented with it.

#include "geodesy/datum.h"
#include "geodesy/datum_shift.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/geocentric.h"
#include "geodesy/geodesy_constants.h"
#include "geodesy/transverse_mercator.h"
#include "geodesy/utm.h"
