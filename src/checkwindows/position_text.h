#pragma once
// A position as the reference dialog's fields show it, on one line: for the
// status bar's readout.

#include <QString>

#include <cstdint>

#include "conversion/entry_fields.h"

/// Point `point` of `values` in `format` with the fields' decimals and the
/// hemisphere letters of the current language: "10° 52.3500' O  54° 3.1200' N",
/// "10.872500° E  54.052000° N", "10° 52' 21.00\" E  54° 3' 7.20\" N",
/// "Zone 32 N  Easting 557000  Northing 5990000".
QString PositionText(std::int32_t format, const conversion::EntryValues& values, int point);

/// The names of an entry format and a datum as the dialog's lists show them.
QString FormatName(std::int32_t format);
QString DatumName(std::int32_t datum);
