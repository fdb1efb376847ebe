#pragma once
// Runs the converter's from-WGS84 conversions in every entry format on the
// positions it holds and checks that what comes out is something the entry
// fields can show: finite, magnitudes not negative, flags 0 or 1, minutes and
// seconds below a full 60 (a full 60 is carried), UTM zones 1 to 60. A point
// that could not be expressed keeps the sentinel values it went in with.

#include "conversion/entry_fields.h"

#include "fuzz_check.h"

#include <cmath>

inline void CheckEntryValues(const conversion::EntryValues& v, std::int32_t format)
{
    for (int p = 0; p < 2; ++p)
    {
        const bool bUnset =
            format == FORMAT_UTM ? v.m_nZone[p] == -1 : v.m_nHemisphere[p][0] == -1 && v.m_nHemisphere[p][1] == -1;
        if (bUnset)
            continue; // the point could not be expressed and kept its values
        for (int axis = 0; axis < 2; ++axis)
        {
            if (format != FORMAT_UTM || axis == 1)
                FUZZ_CHECK(v.m_nHemisphere[p][axis] == 0 || v.m_nHemisphere[p][axis] == 1,
                           "a hemisphere flag is 0 or 1");
            switch (format)
            {
            case FORMAT_DEC_DEGREE:
                FUZZ_CHECK(std::isfinite(v.m_dDegree[p][axis]) && v.m_dDegree[p][axis] >= 0.0,
                           "decimal degrees are a finite magnitude");
                break;
            case FORMAT_DEC_MINUTE:
                FUZZ_CHECK(v.m_nDegree[p][axis] >= 0, "whole degrees are a magnitude");
                FUZZ_CHECK(v.m_dMinute[p][axis] >= 0.0 && v.m_dMinute[p][axis] < 60.0,
                           "decimal minutes lie in [0, 60)");
                break;
            case FORMAT_DEC_SECOND:
                FUZZ_CHECK(v.m_nDegree[p][axis] >= 0, "whole degrees are a magnitude");
                FUZZ_CHECK(v.m_nMinute[p][axis] >= 0 && v.m_nMinute[p][axis] <= 59, "whole minutes lie in 0 to 59");
                FUZZ_CHECK(v.m_dSecond[p][axis] >= 0.0 && v.m_dSecond[p][axis] < 60.0,
                           "decimal seconds lie in [0, 60)");
                break;
            case FORMAT_UTM:
                FUZZ_CHECK(v.m_nZone[p] >= 1 && v.m_nZone[p] <= 60, "a UTM zone lies in 1 to 60");
                break;
            }
        }
    }
}

/// Every from-WGS84 conversion of `converter` in its selected datum, each
/// from sentinel values, checked as above.
inline void SweepFromWgs84(const CCoordConverter& converter)
{
    for (std::int32_t format = 0; format < kFormatCount; ++format)
    {
        conversion::EntryValues out;
        for (int p = 0; p < 2; ++p)
        {
            out.m_nZone[p] = -1;
            for (int axis = 0; axis < 2; ++axis)
                out.m_nHemisphere[p][axis] = -1;
        }
        ConvertWgs84ToEntry(converter, format, out.Fields());
        CheckEntryValues(out, format);
    }
}
