#include "cli/commands.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>
#include <system_error>

#include "cli/cli_texts.h"
#include "cli/point_text.h"
#include "cli/reporting.h"
#include "conversion/coord_converter.h"
#include "conversion/numeric_text.h"
#include "formats/cal_file.h"
#include "formats/cal_save.h"
#include "formats/file_names.h"
#include "formats/magicmaps.h"
#include "formats/text_lines.h"
#include "platform/file_writer.h"

using namespace conversion;
using namespace formats;
using namespace platform;

namespace cli
{

namespace
{

std::string SystemReason(int error)
{
    return std::generic_category().message(error);
}

// Why a point got no position: the value to mend and the dialog's message,
// e.g. "easting: Value too small!".
} // namespace

std::string FaultText(const CCoordConverter& converter, int point)
{
    static constexpr CliTextId kValueNames[] = {TXT_LONGITUDE, TXT_LATITUDE, TXT_EASTING, TXT_NORTHING, TXT_ZONE};
    const std::optional<PositionFault>& fault = converter.Fault(point);
    if (!fault)
        return GetMessageText(MSG_NO_POSITION, "");
    return CliText(kValueNames[fault->value]) + ": " + GetMessageText(fault->message, "");
}

// "POINT1", "POINT2": the points as cal read and import print them.
std::string PointName(int point)
{
    return "POINT" + std::to_string(point + 1);
}

// Opens a file to read, or reports why not. A directory opens as a stream on
// some systems and then reads as empty; it counts as a file that cannot be
// opened.
namespace
{

bool OpenForReading(const std::string& path, std::ifstream& file, std::ostream& err)
{
    std::error_code ec;
    errno = 0;
    int error = EISDIR;
    if (!std::filesystem::is_directory(path, ec))
    {
        file.open(path, std::ios::binary);
        error = errno;
    }
    if (!file.is_open())
    {
        Report(err, path, CliText(TXT_CANNOT_OPEN, SystemReason(error)));
        return false;
    }
    return true;
}

void ReportReadError(std::ostream& err, std::string_view subject, int error)
{
    Report(err, subject, CliText(TXT_CANNOT_READ, SystemReason(error)));
}

std::optional<std::string> ParsePixel(std::string_view text, std::uint32_t pixel[2])
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return CliText(TXT_PIXEL_SYNTAX);
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

// The two lines of a MagicMaps export, checked strictly: a script must not
// go on with a guessed position.
bool ReadExportLines(std::istream& file, const std::string& path, std::string lines[2], std::ostream& err)
{
    for (int p = 0; p < 2; ++p)
    {
        const std::string lineName = CliText(TXT_LINE, std::to_string(p + 1));
        switch (ReadBoundedLine(file, lines[p]))
        {
        case LineRead::End:
            if (file.bad())
                ReportReadError(err, path, errno);
            else
                Report(err, path, CliText(TXT_FEWER_THAN_TWO_LINES));
            return false;
        case LineRead::TooLong:
            Report(err, path, GetMessageText(MSG_LINE_TOO_LONG, std::to_string(p + 1).c_str()));
            return false;
        case LineRead::Line:
            break;
        }
        if (p == 0)
            lines[0] = std::string(WithoutByteOrderMark(lines[0]));
        const MagicMapsLineCheck check = CheckMagicMapsLine(lines[p]);
        if (check == MagicMapsLineCheck::NotTwoNumbers)
        {
            Report(err, path, lineName + ": " + CliText(TXT_NOT_TWO_NUMBERS));
            return false;
        }
        if (check != MagicMapsLineCheck::Valid)
        {
            const CliTextId value = check == MagicMapsLineCheck::LatitudeTooLarge ? TXT_LATITUDE : TXT_LONGITUDE;
            Report(err, path, lineName + ": " + CliText(value) + ": " + GetMessageText(MSG_VALUE_TOO_LARGE, ""));
            return false;
        }
    }
    return true;
}

} // namespace

// A question of the Save workflow: printed, answered Yes only with --yes.
bool Ask(std::ostream& err, std::string_view subject, const std::string& question, bool yes)
{
    Report(err, subject, question + " " + CliText(yes ? TXT_YES : TXT_NO));
    return yes;
}

std::string WriteErrorText(const FileWriteError& error)
{
    switch (error.fault)
    {
    case FileWriteFault::Directory:
        return CliText(TXT_IS_DIRECTORY);
    case FileWriteFault::NotRegularFile:
        return CliText(TXT_NOT_REGULAR_FILE);
    case FileWriteFault::System:
        break;
    }
    return CliText(TXT_CANNOT_WRITE, error.reason);
}

int RunConvert(const ConvertOptions& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    CCoordConverter converter;
    bool allValid = true;
    // Converts up to two points at once, one in each of the converter's two
    // point slots, so that no conversion is spent on an idle slot (a batch of
    // points spends most of its time in the numeric core). Results and
    // messages come in the points' order. False when a result could not be
    // written: the command stops there.
    std::function<bool(const std::string* const*, int)> convertPoints;
    convertPoints = [&](const std::string* const* texts, int count) -> bool
    {
        EntryValues values;
        std::optional<std::string> parseError[2];
        int valid = -1; // a slot that parsed
        for (int p = 0; p < count; ++p)
        {
            parseError[p] = ParsePoint(options.format, *texts[p], values, p);
            if (!parseError[p])
                valid = p;
        }
        // Every slot holds a valid point before the converter runs.
        for (int p = 0; p < 2; ++p)
            if (valid >= 0 && (p >= count || parseError[p]))
                values.CopyPoint(valid, p);
        std::optional<PositionFault> fault[2];
        bool expressible = true;
        if (valid >= 0)
        {
            converter.SelectDatum(options.datum);
            ConvertEntryToWgs84(converter, options.format, values.Fields());
            fault[0] = converter.Fault(0);
            fault[1] = converter.Fault(1);
            converter.SelectDatum(options.toDatum);
            expressible = ConvertWgs84ToEntry(converter, options.toFormat, values.Fields());
        }
        // Which of two points the output cannot express is not told: each
        // again on its own.
        if (!expressible && count == 2)
            return convertPoints(texts, 1) && convertPoints(texts + 1, 1);
        std::string results;
        for (int p = 0; p < count; ++p)
        {
            const auto subject = [&] { return Shown(*texts[p], kShownInputBytes); };
            if (parseError[p])
                Report(err, subject(), *parseError[p]);
            else if (fault[p])
                Report(err, subject(), FaultText(converter, p));
            else if (!expressible)
                Report(err, subject(), CliText(TXT_NOT_EXPRESSIBLE));
            else
            {
                if (!Emit(out, err, FormatPoint(options.toFormat, values, p) + '\n'))
                    return false;
                continue;
            }
            allValid = false;
        }
        return true;
    };

    if (!options.points.empty())
    {
        for (const std::string& point : options.points)
        {
            const std::string* text = &point;
            if (!convertPoints(&text, 1))
                return kExitFailed;
        }
        return allValid ? kExitOk : kExitFailed;
    }

    const std::string input = CliText(TXT_STANDARD_INPUT);
    std::string lines[2];
    const std::string* pending[2] = {&lines[0], &lines[1]};
    int count = 0;
    const auto convertPending = [&]
    {
        const bool written = count == 0 || convertPoints(pending, count);
        count = 0;
        return written;
    };
    for (std::uint64_t number = 1;; ++number)
    {
        // The results out before the next line is waited for, as someone
        // typing points expects; while more input is at hand the lines go
        // in pairs and the output stays buffered.
        if (in.rdbuf()->in_avail() <= 0 && (!convertPending() || !FlushOutput(out, err)))
            return kExitFailed;
        const LineRead read = ReadBoundedLine(in, lines[count]);
        if (read == LineRead::End)
            break;
        if (read == LineRead::TooLong)
        {
            if (!convertPending())
                return kExitFailed;
            Report(err, input, GetMessageText(MSG_LINE_TOO_LONG, std::to_string(number).c_str()));
            allValid = false;
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            continue;
        }
        if (lines[count].find_first_not_of(" \t\r\n\v\f") != std::string::npos && ++count == 2 && !convertPending())
            return kExitFailed;
    }
    if (!convertPending())
        return kExitFailed;
    if (in.bad())
    {
        ReportReadError(err, input, errno);
        return kExitFailed;
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
    ConvertEntryToWgs84(converter, options.format, values.Fields());
    if (const auto fault = formats::FirstPositionFault(converter))
    {
        Report(err, points[fault->first].first, FaultText(converter, fault->first));
        return kExitFailed;
    }

    return SaveCalFile(cal, converter, {options.output, options.yes, true, {}}, out, err);
}

int SaveCalFile(CalValues& cal, CCoordConverter& converter, const CalSaveTarget& save, std::ostream& out,
                std::ostream& err)
{
    // The checks and questions of Save, in its order.
    for (const formats::SaveCheck& check : formats::ChecksBeforeFileChoice(cal, converter))
    {
        const std::string text = GetMessageText(check.message, check.insert.c_str());
        if (!check.bQuestion)
        {
            Report(err, save.subject.empty() ? "--pixel1, --pixel2" : save.subject, text);
            return kExitFailed;
        }
        if (!Ask(err, save.subject.empty() ? "--name" : save.subject, text, save.yes))
            return kExitDeclined;
    }
    // A directory, a device or a FIFO is no file to replace: refused before
    // the question whether to replace it.
    if (const auto refused = CheckReplaceableFile(save.output))
    {
        Report(err, save.output, WriteErrorText(*refused));
        return kExitFailed;
    }
    std::error_code ignored;
    const bool bExists = std::filesystem::exists(save.output, ignored);
    for (const auto& check : {formats::OverwriteCheck(save.output, bExists), formats::CalNameCheck(cal, save.output)})
        if (check && !Ask(err, save.output, GetMessageText(check->message, Shown(check->insert).c_str()), save.yes))
            return kExitDeclined;

    // The file holds WGS84 degrees and decimal minutes.
    if (const auto unfit = save.takePositions ? formats::TakeFilePositions(converter, cal) : std::nullopt)
    {
        Report(err, "--point1, --point2", GetMessageText(*unfit, ""));
        return kExitFailed;
    }
    std::ostringstream bytes;
    WriteCalFile(bytes, cal);
    if (const auto error = WriteWholeFile(save.output, bytes.str()))
    {
        Report(err, save.output, WriteErrorText(*error));
        return kExitFailed;
    }
    return Emit(out, err, save.output + '\n') ? kExitOk : kExitFailed;
}

bool ReadCalFileOrReport(const std::string& path, CalValues& cal, std::ostream& err)
{
    std::ifstream file;
    if (!OpenForReading(path, file, err))
        return false;
    bool bReported = false;
    ReadCalFile(file, cal,
                [&](MessageId id, const std::string& insert)
                {
                    // A read error is reported below, not as a file too short.
                    if (file.bad())
                        return;
                    Report(err, path, GetMessageText(id, Shown(insert, kShownInputBytes).c_str()));
                    bReported = true;
                });
    if (file.bad())
    {
        ReportReadError(err, path, errno);
        return false;
    }
    // Whatever the reader had to say, the values it leaves are guesswork.
    return !bReported;
}

int RunCalRead(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err)
{
    CalValues cal;
    if (!ReadCalFileOrReport(path, cal, err))
        return kExitFailed;

    // The file's values are WGS84 degrees and decimal minutes.
    EntryValues values;
    std::uint32_t pixel[2][2] = {}; // printed from the file's values
    CopyPointsFromCal(cal, {pixel, values.m_nHemisphere, values.m_nDegree, values.m_dMinute});
    CCoordConverter converter;
    if (!ConvertEntryToWgs84(converter, FORMAT_DEC_MINUTE, values.Fields()))
    {
        const int p = converter.Fault(0) ? 0 : 1;
        Report(err, path, PointName(p) + ": " + FaultText(converter, p));
        return kExitFailed;
    }
    converter.SelectDatum(datum);
    if (!ConvertWgs84ToEntry(converter, format, values.Fields()))
    {
        Report(err, path, CliText(TXT_NOT_EXPRESSIBLE));
        return kExitFailed;
    }

    std::string text = "NAME: " + cal.m_strMapName + '\n' + "FILENAME: " + cal.m_strBmpFileName + '\n';
    for (int p = 0; p < 2; ++p)
        text += PointName(p) + ": " + std::to_string(cal.m_nPixel[p][0]) + ' ' + std::to_string(cal.m_nPixel[p][1]) +
                ' ' + FormatPoint(format, values, p) + '\n';
    text += "HEIGHTDIFF: " + FormatFixed(cal.m_dHeightDiff, kHeightDiffDecimals) + '\n';
    return Emit(out, err, text) ? kExitOk : kExitFailed;
}

int RunImport(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err)
{
    std::ifstream file;
    if (!OpenForReading(path, file, err))
        return kExitFailed;
    std::string lines[2];
    if (!ReadExportLines(file, path, lines, err))
        return kExitFailed;
    EntryValues values;
    std::istringstream checked(lines[0] + '\n' + lines[1] + '\n');
    ReadMagicMapsPoints(checked, values.m_nHemisphere, values.m_dDegree);

    CCoordConverter converter;
    converter.SelectDatum(datum);
    if (!ConvertEntryToWgs84(converter, FORMAT_DEC_DEGREE, values.Fields()))
    {
        const int p = converter.Fault(0) ? 0 : 1;
        Report(err, path, PointName(p) + ": " + FaultText(converter, p));
        return kExitFailed;
    }
    if (!ConvertWgs84ToEntry(converter, format, values.Fields()))
    {
        Report(err, path, CliText(TXT_NOT_EXPRESSIBLE));
        return kExitFailed;
    }
    std::string text;
    for (int p = 0; p < 2; ++p)
        text += PointName(p) + ": " + FormatPoint(format, values, p) + '\n';
    return Emit(out, err, text) ? kExitOk : kExitFailed;
}

} // namespace cli
