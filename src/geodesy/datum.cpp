// The datum table. The built-in lines are read with the field structure
//   seven-parameter:  " %s \"%32[^\"]\" %s %lf %lf %lf %lf %lf %lf %lf "
//     code, "name", ellipsoid code, dX, dY, dZ (m), rX, rY, rZ (arc-seconds,
//     coordinate frame), scale difference (plain multiplier)
//   three-parameter:  "%s \"%32[^\"]\" %s %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf"
//     code, "name", ellipsoid code, dX, sigma X, dY, sigma Y, dZ, sigma Z (m),
//     south, north, west, east (degrees)
// with every text field bounded by its record field: a longer code or name
// makes the line fail to scan instead of overrunning the record.

#include "geodesy/datum.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "geodesy/geodesy_test_hooks.h"
#include "geodesy/line_scanner.h"

namespace geodesy
{
namespace
{

constexpr const char* BUILT_IN_SEVEN_PARAM_LINES[] = {
    "EUR-7  \"EUROPEAN 1950, Mean (7 Param)\"  IN  -102  -102  -129  0.413  -0.184  0.385  0.0000024664",
};

constexpr const char* BUILT_IN_THREE_PARAM_LINES[] = {
    "DHDN  \"Potsdam Datum\"  BR  587  -1  16  -1  393  -1  47  55  6  24 ",
};

constexpr std::size_t MAX_NAME_CHARS = 32;

struct DatumTable
{
    DatumRecord wgs84 = {};
    DatumRecord wgs72 = {};
    DatumRecord sevenParam[DATUM_SEVEN_PARAM_CAPACITY] = {};
    DatumRecord threeParam[DATUM_THREE_PARAM_CAPACITY] = {};
    // 1-based: slot 0 is unused.
    const DatumRecord* byIndex[2 + DATUM_SEVEN_PARAM_CAPACITY + DATUM_THREE_PARAM_CAPACITY + 1] = {};
    std::int32_t sevenParamCount = 0;
    std::int32_t threeParamCount = 0;
    std::int32_t count = 0;
    bool initialized = false;
};

DatumTable g_datumTable;

// The fields both line kinds begin with: code, quoted name, ellipsoid code.
bool ScanDatumHead(detail::CLineScanner& scanner, DatumRecord& record)
{
    if (!scanner.ScanWord(record.Code, sizeof record.Code))
        return false;
    scanner.SkipSpace();
    return scanner.ScanLiteral('"') && scanner.ScanUntil('"', record.Name, MAX_NAME_CHARS) &&
           scanner.ScanLiteral('"') && scanner.ScanWord(record.EllipsoidCode, sizeof record.EllipsoidCode);
}

bool ScanSevenParamLine(const char* line, DatumRecord& record)
{
    if (line == nullptr)
        return false;
    record = DatumRecord{};
    detail::CLineScanner scanner{std::string_view(line)};
    return ScanDatumHead(scanner, record) && scanner.ScanDouble(record.DeltaX) && scanner.ScanDouble(record.DeltaY) &&
           scanner.ScanDouble(record.DeltaZ) && scanner.ScanDouble(record.RotationX) &&
           scanner.ScanDouble(record.RotationY) && scanner.ScanDouble(record.RotationZ) &&
           scanner.ScanDouble(record.ScaleFactor);
}

bool ScanThreeParamLine(const char* line, DatumRecord& record)
{
    if (line == nullptr)
        return false;
    record = DatumRecord{};
    detail::CLineScanner scanner{std::string_view(line)};
    return ScanDatumHead(scanner, record) && scanner.ScanDouble(record.DeltaX) && scanner.ScanDouble(record.SigmaX) &&
           scanner.ScanDouble(record.DeltaY) && scanner.ScanDouble(record.SigmaY) &&
           scanner.ScanDouble(record.DeltaZ) && scanner.ScanDouble(record.SigmaZ) &&
           scanner.ScanDouble(record.SouthLatitude) && scanner.ScanDouble(record.NorthLatitude) &&
           scanner.ScanDouble(record.WestLongitude) && scanner.ScanDouble(record.EastLongitude);
}

void SetWholeEarthArea(DatumRecord& record)
{
    record.WestLongitude = -PI;
    record.EastLongitude = PI;
    record.SouthLatitude = -PI_OVER_2;
    record.NorthLatitude = PI_OVER_2;
}

// Copies text into a fixed field, cut to fit, always terminated.
template <std::size_t N> void CopyText(char (&field)[N], const char* text)
{
    std::size_t i = 0;
    for (; i + 1 < N && text[i] != '\0'; ++i)
        field[i] = text[i];
    field[i] = '\0';
}

void FillWorldDatum(DatumRecord& record, DatumType type, const char* code, const char* name, const char* ellipsoidCode)
{
    record = DatumRecord{};
    record.Type = type;
    CopyText(record.Code, code);
    CopyText(record.Name, name);
    CopyText(record.EllipsoidCode, ellipsoidCode);
    record.ScaleFactor = 1.0;
    SetWholeEarthArea(record);
}

std::uint32_t BuildDatumTable(const char* const* sevenParamLines, std::int32_t sevenParamLineCount,
                              const char* const* threeParamLines, std::int32_t threeParamLineCount)
{
    if (g_datumTable.initialized)
        return DATUM_NO_ERROR;

    std::uint32_t bits = DATUM_NO_ERROR;

    std::int32_t sevenParamCount = 0;
    for (std::int32_t i = 0; i < sevenParamLineCount; ++i)
    {
        if (sevenParamCount == DATUM_SEVEN_PARAM_CAPACITY)
        {
            bits |= DATUM_SEVEN_PARAM_OVERFLOW_ERROR;
            continue;
        }
        DatumRecord record;
        if (!ScanSevenParamLine(sevenParamLines[i], record))
        {
            bits |= DATUM_LINE_ERROR;
            continue;
        }
        record.Type = SevenParamDatum;
        record.RotationX *= ARC_SECONDS_TO_RAD;
        record.RotationY *= ARC_SECONDS_TO_RAD;
        record.RotationZ *= ARC_SECONDS_TO_RAD;
        record.SigmaX = 0.0;
        record.SigmaY = 0.0;
        record.SigmaZ = 0.0;
        SetWholeEarthArea(record);
        g_datumTable.sevenParam[sevenParamCount] = record;
        ++sevenParamCount;
    }

    std::int32_t threeParamCount = 0;
    for (std::int32_t i = 0; i < threeParamLineCount; ++i)
    {
        if (threeParamCount == DATUM_THREE_PARAM_CAPACITY)
        {
            bits |= DATUM_THREE_PARAM_OVERFLOW_ERROR;
            continue;
        }
        DatumRecord record;
        if (!ScanThreeParamLine(threeParamLines[i], record))
        {
            bits |= DATUM_LINE_ERROR;
            continue;
        }
        record.RotationX = 0.0;
        record.RotationY = 0.0;
        record.RotationZ = 0.0;
        record.ScaleFactor = 1.0;
        record.SouthLatitude *= DEG_TO_RAD;
        record.NorthLatitude *= DEG_TO_RAD;
        record.WestLongitude *= DEG_TO_RAD;
        record.EastLongitude *= DEG_TO_RAD;
        record.Type = ThreeParamDatum;
        g_datumTable.threeParam[threeParamCount] = record;
        ++threeParamCount;
    }

    g_datumTable.sevenParamCount = sevenParamCount;
    g_datumTable.threeParamCount = threeParamCount;
    if (bits != DATUM_NO_ERROR)
    {
        g_datumTable.initialized = false;
        g_datumTable.count = 0;
        return bits | DATUM_TABLE_NOT_BUILT_ERROR;
    }

    g_datumTable.count = sevenParamCount + threeParamCount + 2;
    FillWorldDatum(g_datumTable.wgs84, Wgs84Datum, "WGE", "World Geodetic System 1984", WGS84_ELLIPSOID_CODE);
    FillWorldDatum(g_datumTable.wgs72, Wgs72Datum, "WGC", "World Geodetic System 1972", WGS72_ELLIPSOID_CODE);

    std::int32_t index = 1;
    g_datumTable.byIndex[index++] = &g_datumTable.wgs84;
    g_datumTable.byIndex[index++] = &g_datumTable.wgs72;
    for (std::int32_t i = 0; i < sevenParamCount; ++i)
        g_datumTable.byIndex[index++] = &g_datumTable.sevenParam[i];
    for (std::int32_t i = 0; i < threeParamCount; ++i)
        g_datumTable.byIndex[index++] = &g_datumTable.threeParam[i];

    g_datumTable.initialized = true;
    return DATUM_NO_ERROR;
}

} // namespace

std::uint32_t InitializeDatums()
{
    return BuildDatumTable(BUILT_IN_SEVEN_PARAM_LINES, static_cast<std::int32_t>(std::size(BUILT_IN_SEVEN_PARAM_LINES)),
                           BUILT_IN_THREE_PARAM_LINES,
                           static_cast<std::int32_t>(std::size(BUILT_IN_THREE_PARAM_LINES)));
}

std::uint32_t GetDatumIndex(const char* code, std::int32_t& index)
{
    index = 0;
    if (!g_datumTable.initialized)
        return DATUM_NOT_INITIALIZED_ERROR;
    if (code == nullptr)
        return DATUM_CODE_ERROR;

    constexpr std::size_t MAX_CODE_CHARS = sizeof(DatumRecord::Code) - 1;
    std::size_t length = 0;
    while (length <= MAX_CODE_CHARS && code[length] != '\0')
        ++length;
    if (length > MAX_CODE_CHARS)
        return DATUM_CODE_ERROR;

    // Upper case, white space removed.
    char key[MAX_CODE_CHARS + 1] = {};
    std::size_t keyLength = 0;
    for (std::size_t i = 0; i < length; ++i)
    {
        if (!detail::IsScanSpace(code[i]))
            key[keyLength++] = detail::ToUpperAscii(code[i]);
    }

    for (std::int32_t i = 1; i <= g_datumTable.count; ++i)
    {
        if (std::strcmp(key, g_datumTable.byIndex[i]->Code) == 0)
        {
            index = i;
            return DATUM_NO_ERROR;
        }
    }
    return DATUM_CODE_ERROR;
}

bool IsDatumTableInitialized()
{
    return g_datumTable.initialized;
}

std::int32_t GetDatumCount()
{
    return g_datumTable.count;
}

const DatumRecord* GetDatumRecord(std::int32_t index)
{
    if (!g_datumTable.initialized || index < 1 || index > g_datumTable.count)
        return nullptr;
    return g_datumTable.byIndex[index];
}

namespace test_hooks
{

void ResetDatumTable()
{
    g_datumTable = DatumTable{};
}

std::uint32_t InitializeDatumsFromLines(const char* const* sevenParamLines, std::int32_t sevenParamCount,
                                        const char* const* threeParamLines, std::int32_t threeParamCount)
{
    return BuildDatumTable(sevenParamLines, sevenParamCount, threeParamLines, threeParamCount);
}

} // namespace test_hooks
} // namespace geodesy
