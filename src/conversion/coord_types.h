#pragma once
// Shared vocabulary of the coordinate entry: formats and input map datums.

#include <cstdint>

/// Entry and display format of the reference dialog (order of its list).
enum InputFormat : std::int32_t
{
    FORMAT_DEC_DEGREE = 0, ///< "dec.Degree": decimal degrees
    FORMAT_DEC_MINUTE = 1, ///< "dec.Minute": whole degrees, decimal minutes
    FORMAT_DEC_SECOND = 2, ///< "dec.Second": whole degrees and minutes, decimal seconds
    FORMAT_UTM = 3,        ///< "UTM": easting, northing, zone, hemisphere
};

/// Input map datum (order of the reference dialog's datum list).
enum MapDatum : std::int32_t
{
    DATUM_WGS84 = 0,    ///< "WGS84": datum "WGE" on ellipsoid "WE"
    DATUM_EUROPEAN = 1, ///< "European": datum "EUR-7" on ellipsoid "IN"
    DATUM_POTSDAM = 2,  ///< "Potsdam": datum "DHDN" on ellipsoid "BR"
};

constexpr int kFormatCount = 4;
constexpr int kDatumCount = 3;

/// The list texts, indexed by InputFormat and MapDatum.
extern const char* const g_formatNames[kFormatCount];
extern const char* const g_datumNames[kDatumCount];
