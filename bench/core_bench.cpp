// The core's throughput on a fixed set of realistic points: UTM forward and
// inverse, the two datum shifts in both directions (Potsdam by Molodensky,
// European 1950 through geocentric coordinates), the converter's from-WGS84
// conversions into each entry format, and writing and reading .CAL files in
// memory. Every figure is reported as items per second, an item being one
// point (one file for the .CAL figures).
//
// The points: 10 000 positions across Europe (longitude -10 to 30 degrees,
// latitude 36 to 71 degrees), from a fixed-seed generator written out here so
// that every build and every platform draws the same ones.
//
//   kartora_bench_core [benchmark flags]
//   kartora_bench_core --write_points=FILE
//       writes the points, one "latitude longitude zone hemisphere easting
//       northing" line each (degrees; our UTM in metres), and exits, so that
//       scripts/bench can run the peers on the same points and compare
//       results.
#include "conversion/coord_converter.h"
#include "formats/cal_file.h"
#include "geodesy/geodesy.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace formats;

namespace
{

constexpr std::size_t kPointCount = 10000;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;

struct Point
{
    double lat; // radians
    double lon; // radians
};

struct UtmPoint
{
    std::int32_t zone;
    char hemisphere;
    double easting;  // m
    double northing; // m
};

// splitmix64: a tiny generator with a fixed definition (unlike the standard
// library's distributions, whose output varies between implementations).
class CSplitMix64
{
public:
    explicit CSplitMix64(std::uint64_t seed) : m_nState(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_nState += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi), 53 random bits.
    double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t m_nState;
};

const std::vector<Point>& Points()
{
    static const std::vector<Point> s_points = []
    {
        CSplitMix64 random(20090305);
        std::vector<Point> points(kPointCount);
        for (Point& point : points)
        {
            point.lon = random.Uniform(-10.0, 30.0) * kDegToRad;
            point.lat = random.Uniform(36.0, 71.0) * kDegToRad;
        }
        return points;
    }();
    return s_points;
}

void InitialiseGeodesy()
{
    static const bool s_bDone = []
    {
        // The converter builds both tables and selects WGS 84 for UTM.
        CCoordConverter converter;
        return true;
    }();
    (void)s_bDone;
}

std::int32_t DatumIndex(const char* code)
{
    InitialiseGeodesy();
    std::int32_t index = 0;
    geodesy::GetDatumIndex(code, index);
    return index;
}

const std::vector<UtmPoint>& UtmPoints()
{
    static const std::vector<UtmPoint> s_utm = []
    {
        InitialiseGeodesy();
        std::vector<UtmPoint> utm(kPointCount);
        for (std::size_t i = 0; i < kPointCount; ++i)
            geodesy::ConvertGeodeticToUtm(Points()[i].lat, Points()[i].lon, utm[i].zone, utm[i].hemisphere,
                                          utm[i].easting, utm[i].northing);
        return utm;
    }();
    return s_utm;
}

void SetPointsProcessed(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPointCount));
}

void UtmForward(benchmark::State& state)
{
    InitialiseGeodesy();
    const auto& points = Points();
    for (auto _ : state)
    {
        for (const Point& point : points)
        {
            std::int32_t zone;
            char hemisphere;
            double easting, northing;
            geodesy::ConvertGeodeticToUtm(point.lat, point.lon, zone, hemisphere, easting, northing);
            benchmark::DoNotOptimize(easting);
            benchmark::DoNotOptimize(northing);
        }
    }
    SetPointsProcessed(state);
}

void UtmInverse(benchmark::State& state)
{
    const auto& utm = UtmPoints();
    for (auto _ : state)
    {
        for (const UtmPoint& point : utm)
        {
            double lat, lon;
            geodesy::ConvertUtmToGeodetic(point.zone, point.hemisphere, point.easting, point.northing, lat, lon);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    SetPointsProcessed(state);
}

// toWgs84: local datum -> WGS 84, else WGS 84 -> local datum.
void DatumShift(benchmark::State& state, const char* code, bool toWgs84)
{
    const std::int32_t index = DatumIndex(code);
    const auto& points = Points();
    for (auto _ : state)
    {
        for (const Point& point : points)
        {
            double lat, lon, height;
            const std::uint32_t bits =
                toWgs84 ? geodesy::ShiftToWgs84(index, point.lat, point.lon, 0.0, lat, lon, height)
                        : geodesy::ShiftFromWgs84(point.lat, point.lon, 0.0, index, lat, lon, height);
            benchmark::DoNotOptimize(bits);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    SetPointsProcessed(state);
}

// The converter's positions as decimal degrees and hemisphere flags, two
// points per call.
struct DegreePair
{
    std::int32_t hemi[2][2];
    double deg[2][2];
};

std::vector<DegreePair> DegreePairs()
{
    std::vector<DegreePair> pairs(kPointCount / 2);
    for (std::size_t i = 0; i < pairs.size(); ++i)
    {
        for (int p = 0; p < 2; ++p)
        {
            const Point& point = Points()[2 * i + p];
            const double angle[2] = {point.lon / kDegToRad, point.lat / kDegToRad};
            for (int axis = 0; axis < 2; ++axis)
            {
                pairs[i].hemi[p][axis] = angle[axis] < 0.0 ? 1 : 0;
                pairs[i].deg[p][axis] = angle[axis] < 0.0 ? -angle[axis] : angle[axis];
            }
        }
    }
    return pairs;
}

enum class EntryFormat
{
    None, // only the hand-over of the positions: the baseline of the others
    Degrees,
    DegMin,
    DegMinSec,
    Utm,
};

// The from-WGS84 conversions with WGS 84 selected, as Save runs them. The
// converter holds two points, so each pair is first handed over
// (DegreesToWgs84, four multiplications with WGS 84 selected); the
// "handover" figure measures that part alone.
void ConverterFromWgs84(benchmark::State& state, EntryFormat format)
{
    CCoordConverter converter;
    converter.SelectDatum(DATUM_WGS84);
    const std::vector<DegreePair> pairs = DegreePairs();
    std::int32_t hemi[2][2], deg[2][2], min[2][2], south[2], zone[2], utm[2][2];
    double dDeg[2][2], dMin[2][2], dSec[2][2];
    for (auto _ : state)
    {
        for (const DegreePair& pair : pairs)
        {
            converter.DegreesToWgs84(pair.hemi, pair.deg);
            switch (format)
            {
            case EntryFormat::None:
                break;
            case EntryFormat::Degrees:
                converter.Wgs84ToDegrees(hemi, dDeg);
                break;
            case EntryFormat::DegMin:
                converter.Wgs84ToDegMin(hemi, deg, dMin);
                break;
            case EntryFormat::DegMinSec:
                converter.Wgs84ToDegMinSec(hemi, deg, min, dSec);
                break;
            case EntryFormat::Utm:
                converter.Wgs84ToUtm(south, zone, utm);
                break;
            }
            benchmark::DoNotOptimize(hemi);
            benchmark::DoNotOptimize(dDeg);
            benchmark::DoNotOptimize(deg);
            benchmark::DoNotOptimize(dMin);
            benchmark::DoNotOptimize(min);
            benchmark::DoNotOptimize(dSec);
            benchmark::DoNotOptimize(utm);
            benchmark::ClobberMemory();
        }
    }
    SetPointsProcessed(state);
}

// One reference file per pair of points, with names and pixels that vary.
std::vector<CalValues> CalFiles()
{
    CCoordConverter converter;
    const std::vector<DegreePair> pairs = DegreePairs();
    std::vector<CalValues> files(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i)
    {
        CalValues& values = files[i];
        values.m_strMapName = "Karte " + std::to_string(i);
        values.m_strBmpFileName = "Karte " + std::to_string(i) + ".bmp";
        converter.DegreesToWgs84(pairs[i].hemi, pairs[i].deg);
        converter.Wgs84ToDegMin(values.m_nHemisphere, values.m_nDegree, values.m_dMinute);
        for (int p = 0; p < 2; ++p)
            for (int axis = 0; axis < 2; ++axis)
                values.m_nPixel[p][axis] = static_cast<std::uint32_t>((i * 7919 + p * 4801 + axis * 613) % 20000);
        values.m_dHeightDiff = static_cast<double>(i % 400) * 0.5 - 100.0;
    }
    return files;
}

std::string WriteToString(const CalValues& values)
{
    std::ostringstream out(std::ios::binary);
    WriteCalFile(out, values, CalDate{5, 3, 2009});
    return out.str();
}

void CalWrite(benchmark::State& state)
{
    const std::vector<CalValues> files = CalFiles();
    std::int64_t nBytes = 0;
    for (auto _ : state)
    {
        for (const CalValues& values : files)
        {
            const std::string text = WriteToString(values);
            nBytes += static_cast<std::int64_t>(text.size());
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * files.size()));
    state.SetBytesProcessed(nBytes);
}

void CalRead(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (const CalValues& values : CalFiles())
        texts.push_back(WriteToString(values));
    std::int64_t nBytes = 0;
    int nMessages = 0;
    const CalMessageSink sink = [&nMessages](MessageId, const std::string&) { ++nMessages; };
    for (auto _ : state)
    {
        for (const std::string& text : texts)
        {
            std::istringstream in(text, std::ios::binary);
            CalValues values;
            ReadCalFile(in, values, sink);
            nBytes += static_cast<std::int64_t>(text.size());
            benchmark::DoNotOptimize(values);
        }
    }
    if (nMessages != 0)
        state.SkipWithError("a written file read back with messages");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
    state.SetBytesProcessed(nBytes);
}

// 17 significant digits: the peers read back exactly the doubles used here.
std::string Number(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

int WritePoints(const char* path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto& utm = UtmPoints();
    for (std::size_t i = 0; i < kPointCount; ++i)
    {
        out << Number(Points()[i].lat / kDegToRad) << ' ' << Number(Points()[i].lon / kDegToRad) << ' ' << utm[i].zone
            << ' ' << utm[i].hemisphere << ' ' << Number(utm[i].easting) << ' ' << Number(utm[i].northing) << '\n';
    }
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    constexpr std::string_view kWritePoints = "--write_points=";
    for (int i = 1; i < argc; ++i)
    {
        if (std::string_view(argv[i]).starts_with(kWritePoints))
            return WritePoints(argv[i] + kWritePoints.size());
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("utm/forward", UtmForward);
    benchmark::RegisterBenchmark("utm/inverse", UtmInverse);
    benchmark::RegisterBenchmark("shift/potsdam_to_wgs84", DatumShift, "DHDN", true);
    benchmark::RegisterBenchmark("shift/wgs84_to_potsdam", DatumShift, "DHDN", false);
    benchmark::RegisterBenchmark("shift/european_to_wgs84", DatumShift, "EUR-7", true);
    benchmark::RegisterBenchmark("shift/wgs84_to_european", DatumShift, "EUR-7", false);
    benchmark::RegisterBenchmark("converter/handover", ConverterFromWgs84, EntryFormat::None);
    benchmark::RegisterBenchmark("converter/Wgs84ToDegrees", ConverterFromWgs84, EntryFormat::Degrees);
    benchmark::RegisterBenchmark("converter/Wgs84ToDegMin", ConverterFromWgs84, EntryFormat::DegMin);
    benchmark::RegisterBenchmark("converter/Wgs84ToDegMinSec", ConverterFromWgs84, EntryFormat::DegMinSec);
    benchmark::RegisterBenchmark("converter/Wgs84ToUtm", ConverterFromWgs84, EntryFormat::Utm);
    benchmark::RegisterBenchmark("cal/write", CalWrite);
    benchmark::RegisterBenchmark("cal/read", CalRead);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
