// Fuzz target: the command line's text form of a reference point, in each of
// the four entry formats, and the converter on every point it accepts.
//
// Input: byte 0 selects the format (value % 4: deg, dm, dms, utm) and the
// point (value / 4 % 2); the remaining bytes are the point's text.
//
// Invariants:
//  - an accepted point's values lie within the limits of their entry fields,
//    its whole angles within 180 and 90 degrees, and its flags are 0 or 1;
//  - FormatPoint of an accepted point is accepted again and gives the same
//    values (whole numbers exactly, decimals within half a unit of the last
//    decimal shown), and a second round gives the same text;
//  - the converter, given the point as both reference points in each of the
//    three datums, stores finite WGS84 positions, and every from-WGS84
//    conversion of them satisfies CheckEntryValues.
#include "cli/point_text.h"

#include "converter_sweep.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace cli;

using namespace conversion;

namespace
{

EntryValues Sentinels()
{
    EntryValues v;
    for (int p = 0; p < 2; ++p)
    {
        v.m_nZone[p] = -1;
        for (int axis = 0; axis < 2; ++axis)
        {
            v.m_nHemisphere[p][axis] = -1;
            v.m_dDegree[p][axis] = v.m_dMinute[p][axis] = v.m_dSecond[p][axis] = -1.0;
            v.m_nDegree[p][axis] = v.m_nMinute[p][axis] = v.m_nUtm[p][axis] = -1;
        }
    }
    return v;
}

bool InRange(double value, double maxValue)
{
    return value >= 0.0 && value <= maxValue;
}

void CheckLimits(std::int32_t format, const EntryValues& v, int p)
{
    const double maxDegrees[2] = {kMaxLongitudeDegrees, kMaxLatitudeDegrees};
    if (format == FORMAT_UTM)
    {
        FUZZ_CHECK(v.m_nHemisphere[p][1] == 0 || v.m_nHemisphere[p][1] == 1, "a UTM hemisphere flag is 0 or 1");
        FUZZ_CHECK(v.m_nZone[p] >= 0 && v.m_nZone[p] <= kMaxZone, "a zone lies within its field's limits");
        FUZZ_CHECK(v.m_nUtm[p][0] >= 0 && v.m_nUtm[p][0] <= kMaxEasting, "an easting lies within its field's limits");
        FUZZ_CHECK(v.m_nUtm[p][1] >= 0 && v.m_nUtm[p][1] <= kMaxNorthing, "a northing lies within its field's limits");
        return;
    }
    for (int axis = 0; axis < 2; ++axis)
    {
        FUZZ_CHECK(v.m_nHemisphere[p][axis] == 0 || v.m_nHemisphere[p][axis] == 1, "a hemisphere flag is 0 or 1");
        switch (format)
        {
        case FORMAT_DEC_DEGREE:
            FUZZ_CHECK(InRange(v.m_dDegree[p][axis], maxDegrees[axis]), "degrees lie within their field's limits");
            break;
        case FORMAT_DEC_MINUTE:
            FUZZ_CHECK(InRange(v.m_nDegree[p][axis], maxDegrees[axis]), "degrees lie within their field's limits");
            FUZZ_CHECK(InRange(v.m_dMinute[p][axis], kMaxMinutes), "minutes lie within their field's limits");
            FUZZ_CHECK(v.m_dMinute[p][axis] <= (maxDegrees[axis] - v.m_nDegree[p][axis]) * 60.0,
                       "the whole angle lies within its limit");
            break;
        case FORMAT_DEC_SECOND:
            FUZZ_CHECK(InRange(v.m_nDegree[p][axis], maxDegrees[axis]), "degrees lie within their field's limits");
            FUZZ_CHECK(InRange(v.m_nMinute[p][axis], kMaxMinutes), "minutes lie within their field's limits");
            FUZZ_CHECK(InRange(v.m_dSecond[p][axis], kMaxSeconds), "seconds lie within their field's limits");
            FUZZ_CHECK(v.m_dSecond[p][axis] <=
                           ((maxDegrees[axis] - v.m_nDegree[p][axis]) * 60.0 - v.m_nMinute[p][axis]) * 60.0,
                       "the whole angle lies within its limit");
            break;
        }
    }
}

// Half a unit of the last decimal each format shows: 6 decimals of degrees,
// 4 of minutes, 2 of seconds.
void CheckSameValues(std::int32_t format, const EntryValues& a, const EntryValues& b, int p)
{
    if (format == FORMAT_UTM)
    {
        FUZZ_CHECK(a.m_nZone[p] == b.m_nZone[p] && a.m_nHemisphere[p][1] == b.m_nHemisphere[p][1] &&
                       a.m_nUtm[p][0] == b.m_nUtm[p][0] && a.m_nUtm[p][1] == b.m_nUtm[p][1],
                   "a UTM point reads back the same");
        return;
    }
    for (int axis = 0; axis < 2; ++axis)
    {
        FUZZ_CHECK(a.m_nHemisphere[p][axis] == b.m_nHemisphere[p][axis], "a hemisphere reads back the same");
        switch (format)
        {
        case FORMAT_DEC_DEGREE:
            FUZZ_CHECK(WithinRounding(a.m_dDegree[p][axis], b.m_dDegree[p][axis], 0.5e-6),
                       "decimal degrees read back to six decimals");
            break;
        case FORMAT_DEC_MINUTE:
            FUZZ_CHECK(a.m_nDegree[p][axis] == b.m_nDegree[p][axis], "whole degrees read back the same");
            FUZZ_CHECK(WithinRounding(a.m_dMinute[p][axis], b.m_dMinute[p][axis], 0.5e-4),
                       "decimal minutes read back to four decimals");
            break;
        case FORMAT_DEC_SECOND:
            FUZZ_CHECK(a.m_nDegree[p][axis] == b.m_nDegree[p][axis] && a.m_nMinute[p][axis] == b.m_nMinute[p][axis],
                       "whole degrees and minutes read back the same");
            FUZZ_CHECK(WithinRounding(a.m_dSecond[p][axis], b.m_dSecond[p][axis], 0.5e-2),
                       "decimal seconds read back to two decimals");
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::int32_t format = data[0] % kFormatCount;
    const int p = data[0] / kFormatCount % 2;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    EntryValues values = Sentinels();
    if (ParsePoint(format, text, values, p))
        return 0; // refused, with a message: nothing more to check
    CheckLimits(format, values, p);

    const std::string formatted = FormatPoint(format, values, p);
    EntryValues again = Sentinels();
    FUZZ_CHECK(!ParsePoint(format, formatted, again, p), "a formatted point is accepted again");
    CheckSameValues(format, values, again, p);
    EntryValues third = Sentinels();
    const std::string reformatted = FormatPoint(format, again, p);
    FUZZ_CHECK(reformatted == formatted, "formatting is a fixed point after one round");
    FUZZ_CHECK(!ParsePoint(format, reformatted, third, p), "a reformatted point is accepted again");

    // Both reference points at the accepted position, in every datum.
    static CCoordConverter s_converter;
    EntryValues both = values;
    const int q = 1 - p;
    both.m_nZone[q] = values.m_nZone[p];
    for (int axis = 0; axis < 2; ++axis)
    {
        both.m_nHemisphere[q][axis] = values.m_nHemisphere[p][axis];
        both.m_dDegree[q][axis] = values.m_dDegree[p][axis];
        both.m_nDegree[q][axis] = values.m_nDegree[p][axis];
        both.m_dMinute[q][axis] = values.m_dMinute[p][axis];
        both.m_nMinute[q][axis] = values.m_nMinute[p][axis];
        both.m_dSecond[q][axis] = values.m_dSecond[p][axis];
        both.m_nUtm[q][axis] = values.m_nUtm[p][axis];
    }
    for (std::int32_t datum = 0; datum < kDatumCount; ++datum)
    {
        // A position left by an earlier input must not shape this one.
        const std::int32_t zeroFlags[2][2] = {};
        const double zeroDegrees[2][2] = {};
        s_converter.SelectDatum(DATUM_WGS84);
        s_converter.DegreesToWgs84(zeroFlags, zeroDegrees);

        s_converter.SelectDatum(datum);
        ConvertEntryToWgs84(s_converter, format, both.Fields());
        for (int point = 0; point < 2; ++point)
            for (int axis = 0; axis < 2; ++axis)
                FUZZ_CHECK(std::isfinite(s_converter.Wgs84Position(point)[axis]), "a stored WGS84 position is finite");
        SweepFromWgs84(s_converter);
    }
    return 0;
}
