// Fuzz target: the MagicMaps point import on arbitrary bytes, and what the
// import then does with the points: take them as decimal degrees in each of
// the three datums and show them in each of the four entry formats.
//
// Invariants: the reader returns 0, 1 or 2 lines; with fewer than two it
// changes nothing; with two, every magnitude is a non-negative number (never
// NaN) and every flag 0 or 1; the converter's output satisfies
// CheckEntryValues.
#include "formats/magicmaps.h"

#include "converter_sweep.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

using namespace formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CCoordConverter s_converter;
    // Positions left by an earlier input must not shape this one: a
    // reproducer has to fail on its own.
    const std::int32_t zeroFlags[2][2] = {};
    const double zeroDegrees[2][2] = {};
    s_converter.SelectDatum(DATUM_WGS84);
    s_converter.DegreesToWgs84(zeroFlags, zeroDegrees);

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    std::int32_t hemisphere[2][2] = {{5, 5}, {5, 5}};
    double degree[2][2] = {{-3.0, -3.0}, {-3.0, -3.0}};
    const int nLines = ReadMagicMapsPoints(in, hemisphere, degree);
    FUZZ_CHECK(nLines >= 0 && nLines <= 2, "the reader reads at most two lines");
    if (nLines < 2)
    {
        for (int p = 0; p < 2; ++p)
            for (int axis = 0; axis < 2; ++axis)
                FUZZ_CHECK(hemisphere[p][axis] == 5 && degree[p][axis] == -3.0, "a short file changes nothing");
        return 0;
    }
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            FUZZ_CHECK(hemisphere[p][axis] == 0 || hemisphere[p][axis] == 1, "a hemisphere flag is 0 or 1");
            FUZZ_CHECK(!std::isnan(degree[p][axis]) && !std::signbit(degree[p][axis]), "degrees are a magnitude");
        }
    }

    for (std::int32_t datum = 0; datum < kDatumCount; ++datum)
    {
        s_converter.SelectDatum(datum);
        s_converter.DegreesToWgs84(hemisphere, degree);
        for (int p = 0; p < 2; ++p)
            for (int axis = 0; axis < 2; ++axis)
                FUZZ_CHECK(std::isfinite(s_converter.Wgs84Position(p)[axis]), "a stored WGS84 position is finite");
        SweepFromWgs84(s_converter);
    }
    return 0;
}
