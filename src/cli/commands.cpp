#include "cli/commands.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <system_error>

#include "cli/point_text.h"
#include "conversion/coord_converter.h"
#include "conversion/numeric_text.h"
#include "formats/cal_file.h"
#include "formats/file_names.h"
#include "formats/magicmaps.h"

namespace
{

constexpr const char* kProgram = "kartora-cli: ";

void Report(std::ostream& err, std::string_view subject, std::string_view message)
{
    err << kProgram << subject << ": " << message << '\n';
}

// Why a point got no position: the value to mend and the dialog's message,
// e.g. "easting: Value too small!".
std::string FaultText(const CCoordConverter& converter, int point)
{
    static constexpr const char* kValueNames[] = {"longitude", "latitude", "easting", "northing", "zone"};
    const std::optional<PositionFault>& fault = converter.Fault(point);
    if (!fault)
        return GetMessageText(MSG_NO_POSITION, "");
    return std::string(kValueNames[fault->value]) + ": " + GetMessageText(fault->message, "");
}

// Opens a file to read, or reports why not. A directory opens as a stream on
// some systems and then reads as empty; it counts as a file that cannot be
// opened.
bool OpenForReading(const std::string& path, std::ifstream& file, std::ostream& err)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec))
        file.open(path, std::ios::binary);
    if (!file.is_open())
    {
        Report(err, path, "cannot open the file");
        return false;
    }
    return true;
}

// Reads one point into both slots of `values`, so that whatever the converter
// does to "both points" it does to this one.
std::optional<std::string> ParseBothSlots(std::int32_t format, std::string_view text, EntryValues& values)
{
    if (auto error = ParsePoint(format, text, values, 0))
        return error;
    return ParsePoint(format, text, values, 1);
}

// "X,Y" as two pixel fields (whole numbers of 0 or more, no upper limit).
std::optional<std::string> ParsePixel(std::string_view text, std::uint32_t pixel[2])
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::string("expected X,Y, e.g. 120,840");
    const std::string_view parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
    for (int axis = 0; axis < 2; ++axis)
    {
        std::int32_t value = 0;
        if (const auto failure = CheckIntField(parts[axis], kNoUpperLimit, value))
            return std::string(GetMessageText(*failure, ""));
        pixel[axis] = static_cast<std::uint32_t>(value);
    }
    return std::nullopt;
}

// A question of the Save workflow: printed, answered Yes only with --yes.
bool Ask(std::ostream& err, const std::string& question, bool yes)
{
    err << question << (yes ? " Yes" : " No") << '\n';
    return yes;
}

// Writes `bytes` to `path` completely or not at all: a temporary file beside
// it is written and flushed first and then renamed over the old file.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".kartora-tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file)
        {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::error_code code;
    fs::rename(temporary, target, code);
    if (code)
    {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = "cannot replace " + path + ": " + code.message();
        return false;
    }
    return true;
}

} // namespace

int RunConvert(const ConvertOptions& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    CCoordConverter converter;
    bool allValid = true;
    auto convertOne = [&](const std::string& text)
    {
        EntryValues values;
        if (const auto error = ParseBothSlots(options.format, text, values))
        {
            Report(err, text, *error);
            allValid = false;
            return;
        }
        converter.SelectDatum(options.datum);
        if (!ConvertEntryToWgs84(converter, options.format, values.Fields()))
        {
            Report(err, text, FaultText(converter, 0));
            allValid = false;
            return;
        }
        converter.SelectDatum(options.toDatum);
        if (!ConvertWgs84ToEntry(converter, options.toFormat, values.Fields()))
        {
            Report(err, text, "the position cannot be expressed in the output format and datum");
            allValid = false;
            return;
        }
        out << FormatPoint(options.toFormat, values, 0) << '\n';
    };

    if (!options.points.empty())
    {
        for (const std::string& point : options.points)
            convertOne(point);
    }
    else
    {
        std::string line;
        while (std::getline(in, line))
        {
            if (line.find_first_not_of(" \t\r\n\v\f") != std::string::npos)
                convertOne(line);
        }
    }
    return allValid ? kExitOk : kExitFailed;
}

int RunCalWrite(const CalWriteOptions& options, std::ostream& out, std::ostream& err)
{
    // The dialog's fields: both points, the pixels, the height difference.
    EntryValues values;
    const std::pair<const char*, const std::string*> points[2] = {{"--point1", &options.point1},
                                                                  {"--point2", &options.point2}};
    for (int p = 0; p < 2; ++p)
    {
        if (const auto error = ParsePoint(options.format, *points[p].second, values, p))
        {
            Report(err, points[p].first, *error);
            return kExitFailed;
        }
    }
    CalValues cal;
    const std::pair<const char*, const std::string*> pixels[2] = {{"--pixel1", &options.pixel1},
                                                                  {"--pixel2", &options.pixel2}};
    for (int p = 0; p < 2; ++p)
    {
        if (const auto error = ParsePixel(*pixels[p].second, cal.m_nPixel[p]))
        {
            Report(err, pixels[p].first, *error);
            return kExitFailed;
        }
    }
    if (const auto failure = CheckDoubleField(options.heightDiff, kMinHeightDiff, kMaxHeightDiff, cal.m_dHeightDiff))
    {
        Report(err, "--height", GetMessageText(*failure, ""));
        return kExitFailed;
    }
    cal.m_strMapName = options.mapName;
    cal.m_strBmpFileName = options.bmpFileName;

    CCoordConverter converter;
    converter.SelectDatum(options.datum);
    if (!ConvertEntryToWgs84(converter, options.format, values.Fields()))
    {
        const int p = converter.Fault(0) ? 0 : 1;
        Report(err, points[p].first, FaultText(converter, p));
        return kExitFailed;
    }

    // The checks and questions of Save, in its order.
    const std::string_view bmpBase = BaseName(options.bmpFileName);
    if (options.mapName != bmpBase && !Ask(err, GetMessageText(MSG_FILE_AND_MAP_NAME, ""), options.yes))
        return kExitDeclined;
    if (!converter.CheckPixelRelation(cal.m_nPixel))
    {
        err << GetMessageText(MSG_PIXEL_COORD_RELATION, "") << '\n';
        return kExitFailed;
    }
    const std::string fileName(FileNameOfPath(options.output));
    std::error_code ignored;
    if (std::filesystem::exists(options.output, ignored) &&
        !Ask(err, GetMessageText(MSG_FILE_EXISTS, fileName.c_str()), options.yes))
        return kExitDeclined;
    if (bmpBase != BaseName(fileName) && !Ask(err, GetMessageText(MSG_CAL_AND_BMP_NAME, ""), options.yes))
        return kExitDeclined;

    // The file holds WGS84 degrees and decimal minutes.
    converter.SelectDatum(DATUM_WGS84);
    converter.Wgs84ToDegMin(cal.m_nHemisphere, cal.m_nDegree, cal.m_dMinute);
    std::ostringstream bytes;
    WriteCalFile(bytes, cal);
    std::string error;
    if (!WriteWholeFile(options.output, bytes.str(), error))
    {
        Report(err, options.output, error);
        return kExitFailed;
    }
    out << options.output << '\n';
    return kExitOk;
}

int RunCalRead(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err)
{
    std::ifstream file;
    if (!OpenForReading(path, file, err))
        return kExitFailed;
    CalValues cal;
    ReadCalFile(file, cal,
                [&err](MessageId id, const std::string& insert) { err << GetMessageText(id, insert.c_str()) << '\n'; });

    // The file's values are WGS84 degrees and decimal minutes.
    EntryValues values;
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            values.m_nHemisphere[p][axis] = cal.m_nHemisphere[p][axis];
            values.m_nDegree[p][axis] = cal.m_nDegree[p][axis];
            values.m_dMinute[p][axis] = cal.m_dMinute[p][axis];
        }
    }
    CCoordConverter converter;
    ConvertEntryToWgs84(converter, FORMAT_DEC_MINUTE, values.Fields());
    converter.SelectDatum(datum);
    if (!ConvertWgs84ToEntry(converter, format, values.Fields()))
        Report(err, path, "a point cannot be expressed in this format and datum");

    out << "NAME: " << cal.m_strMapName << '\n';
    out << "FILENAME: " << cal.m_strBmpFileName << '\n';
    for (int p = 0; p < 2; ++p)
        out << "POINT" << p + 1 << ": " << cal.m_nPixel[p][0] << ' ' << cal.m_nPixel[p][1] << ' '
            << FormatPoint(format, values, p) << '\n';
    out << "HEIGHTDIFF: " << FormatFixed(cal.m_dHeightDiff, kHeightDiffDecimals) << '\n';
    return kExitOk;
}

int RunImport(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err)
{
    std::ifstream file;
    if (!OpenForReading(path, file, err))
        return kExitFailed;
    EntryValues values;
    if (ReadMagicMapsPoints(file, values.m_nHemisphere, values.m_dDegree) < 2)
    {
        Report(err, path, "fewer than two lines; nothing imported");
        return kExitFailed;
    }
    CCoordConverter converter;
    converter.SelectDatum(datum);
    if (!ConvertEntryToWgs84(converter, FORMAT_DEC_DEGREE, values.Fields()))
    {
        Report(err, path, FaultText(converter, converter.Fault(0) ? 0 : 1));
        return kExitFailed;
    }
    if (!ConvertWgs84ToEntry(converter, format, values.Fields()))
        Report(err, path, "a point cannot be expressed in this format and datum");
    for (int p = 0; p < 2; ++p)
        out << "POINT" << p + 1 << ": " << FormatPoint(format, values, p) << '\n';
    return kExitOk;
}
