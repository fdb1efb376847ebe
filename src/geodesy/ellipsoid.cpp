// The ellipsoid table. Each built-in line is read with the field structure
// "%30c %s %lf %lf %lf": exactly 30 name characters (blanks included), the
// code, a, b and 1/f. A name beginning with "*" marks a user-defined
// ellipsoid; the "*" is dropped. The 30th name character is replaced by the
// terminator, so a name keeps its trailing blanks and is at most 29 long.

#include "geodesy/ellipsoid.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "geodesy/geodesy_test_hooks.h"
#include "geodesy/line_scanner.h"

namespace geodesy
{
namespace
{

// Name left-aligned in a 31-column field, then code, a (m), b (m) and 1/f.
constexpr const char* BUILT_IN_ELLIPSOID_LINES[] = {
    "International 1924             IN 6378388.000 6356911.9460 297.000000000",
    "Bessel 1841                    BR 6377397.155 6356078.9630 299.152812800",
    "WGS 72                         WD 6378135.000 6356750.5200 298.260000000",
    "WGS 84                         WE 6378137.000 6356752.3142 298.257223563",
};

constexpr std::size_t NAME_COLUMNS = 30;

struct EllipsoidTable
{
    EllipsoidRecord records[ELLIPSOID_TABLE_CAPACITY] = {}; // record i at [i - 1]
    std::int32_t count = 0;
    bool initialized = false;
    std::int32_t wgs84Index = 0;
    std::int32_t wgs72Index = 0;
};

EllipsoidTable g_ellipsoidTable;

// Reads one line into record; false if a field is missing or does not fit.
bool ScanEllipsoidLine(const char* line, EllipsoidRecord& record)
{
    if (line == nullptr)
        return false;
    record = EllipsoidRecord{};
    detail::CLineScanner scanner{std::string_view(line)};
    if (!scanner.ScanChars(record.Name, NAME_COLUMNS))
        return false;
    scanner.SkipSpace();
    if (!scanner.ScanWord(record.Code, sizeof record.Code) || !scanner.ScanDouble(record.SemiMajorAxis) ||
        !scanner.ScanDouble(record.SemiMinorAxis) || !scanner.ScanDouble(record.InverseFlattening))
        return false;

    if (record.Name[0] == '*')
    {
        record.UserDefined = 1;
        std::memmove(record.Name, record.Name + 1, NAME_COLUMNS - 1);
    }
    else
    {
        record.UserDefined = 0;
    }
    record.Name[NAME_COLUMNS - 1] = '\0';
    return true;
}

std::uint32_t BuildEllipsoidTable(const char* const* lines, std::int32_t lineCount)
{
    if (g_ellipsoidTable.initialized)
        return ELLIPSOID_NO_ERROR;

    std::uint32_t bits = ELLIPSOID_NO_ERROR;
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < lineCount; ++i)
    {
        if (count == ELLIPSOID_TABLE_CAPACITY)
        {
            bits |= ELLIPSOID_OVERFLOW_ERROR;
            continue;
        }
        EllipsoidRecord record;
        if (!ScanEllipsoidLine(lines[i], record))
        {
            bits |= ELLIPSOID_LINE_ERROR;
            continue;
        }
        g_ellipsoidTable.records[count] = record;
        ++count;
    }

    if (bits != ELLIPSOID_NO_ERROR)
    {
        g_ellipsoidTable.count = 0;
        g_ellipsoidTable.initialized = false;
    }
    else
    {
        g_ellipsoidTable.count = count;
        g_ellipsoidTable.initialized = true;
    }

    // The world ellipsoids are looked up even after a failed build, so that
    // their indices read 0 and the bit tells the caller they are missing.
    if (GetEllipsoidIndex(WGS84_ELLIPSOID_CODE, g_ellipsoidTable.wgs84Index) != ELLIPSOID_NO_ERROR)
        bits |= ELLIPSOID_WGS_CODE_ERROR;
    if (GetEllipsoidIndex(WGS72_ELLIPSOID_CODE, g_ellipsoidTable.wgs72Index) != ELLIPSOID_NO_ERROR)
        bits |= ELLIPSOID_WGS_CODE_ERROR;
    return bits;
}

} // namespace

std::uint32_t InitializeEllipsoids()
{
    return BuildEllipsoidTable(BUILT_IN_ELLIPSOID_LINES,
                               static_cast<std::int32_t>(std::size(BUILT_IN_ELLIPSOID_LINES)));
}

std::uint32_t GetEllipsoidIndex(const char* code, std::int32_t& index)
{
    index = 0;
    if (!g_ellipsoidTable.initialized)
        return ELLIPSOID_NOT_INITIALIZED_ERROR;

    // Only the first two characters form the key.
    char key[3] = {};
    if (code != nullptr)
    {
        for (std::size_t i = 0; i < 2 && code[i] != '\0'; ++i)
            key[i] = detail::ToUpperAscii(code[i]);
    }

    for (std::int32_t i = 1; i <= g_ellipsoidTable.count; ++i)
    {
        if (std::strcmp(key, g_ellipsoidTable.records[i - 1].Code) == 0)
        {
            index = i;
            return ELLIPSOID_NO_ERROR;
        }
    }
    return ELLIPSOID_CODE_ERROR;
}

std::uint32_t GetEllipsoidParameters(std::int32_t index, double& a, double& f)
{
    a = 0.0;
    f = 0.0;
    if (!g_ellipsoidTable.initialized)
        return ELLIPSOID_NOT_INITIALIZED_ERROR;
    if (index < 1 || index > g_ellipsoidTable.count)
        return ELLIPSOID_INDEX_ERROR;

    const EllipsoidRecord& record = g_ellipsoidTable.records[index - 1];
    a = record.SemiMajorAxis;
    f = 1 / record.InverseFlattening;
    return ELLIPSOID_NO_ERROR;
}

std::uint32_t GetWgs84EllipsoidParameters(double& a, double& f)
{
    return GetEllipsoidParameters(g_ellipsoidTable.wgs84Index, a, f);
}

std::uint32_t GetWgs72EllipsoidParameters(double& a, double& f)
{
    return GetEllipsoidParameters(g_ellipsoidTable.wgs72Index, a, f);
}

bool IsEllipsoidTableInitialized()
{
    return g_ellipsoidTable.initialized;
}

std::int32_t GetEllipsoidCount()
{
    return g_ellipsoidTable.count;
}

const EllipsoidRecord* GetEllipsoidRecord(std::int32_t index)
{
    if (!g_ellipsoidTable.initialized || index < 1 || index > g_ellipsoidTable.count)
        return nullptr;
    return &g_ellipsoidTable.records[index - 1];
}

std::int32_t GetWgs84EllipsoidIndex()
{
    return g_ellipsoidTable.wgs84Index;
}

std::int32_t GetWgs72EllipsoidIndex()
{
    return g_ellipsoidTable.wgs72Index;
}

namespace test_hooks
{

void ResetEllipsoidTable()
{
    g_ellipsoidTable = EllipsoidTable{};
}

std::uint32_t InitializeEllipsoidsFromLines(const char* const* lines, std::int32_t lineCount)
{
    return BuildEllipsoidTable(lines, lineCount);
}

} // namespace test_hooks
} // namespace geodesy
