#include "cli/calibration_commands.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "calibration/bmp_size.h"
#include "calibration/calibration_check.h"
#include "calibration/check_texts.h"
#include "calibration/fit.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/point_text.h"
#include "cli/reporting.h"
#include "conversion/numeric_text.h"
#include "conversion/position_converter.h"
#include "formats/file_names.h"
#include "formats/text_lines.h"

using namespace conversion;
using namespace formats;
using namespace std;

namespace cli
{

namespace
{

using calibration::Calibration;
using calibration::GeoPoint;
using calibration::MapSize;

const double kRadToDeg = 180.0 / (4.0 * std::atan(1.0));

} // namespace

std::optional<Calibration> CalibrationOfFile(const std::string& path, CalValues& cal, std::ostream& err)
{
    if (!ReadCalFileOrReport(path, cal, err))
        return std::nullopt;
    // The file's points through the converter, as Load takes them: a
    // position beyond a pole or a whole turn is reported, not checked.
    EntryValues values;
    std::uint32_t pixel[2][2] = {};
    CopyPointsFromCal(cal, {pixel, values.m_nHemisphere, values.m_nDegree, values.m_dMinute});
    CCoordConverter converter;
    ConvertEntryToWgs84(converter, FORMAT_DEC_MINUTE, values.Fields());
    for (int p = 0; p < 2; ++p)
        if (converter.Fault(p))
        {
            Report(err, path, "POINT" + std::to_string(p + 1) + ": " + FaultText(converter, p));
            return std::nullopt;
        }
    return calibration::CalibrationOf(cal);
}

std::optional<MapSize> ParseSize(const std::string& text)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (CheckIntField(text.substr(0, x), kNoUpperLimit, width) ||
        CheckIntField(text.substr(x + 1), kNoUpperLimit, height) || width <= 0 || height <= 0)
        return std::nullopt;
    return MapSize{width, height};
}

namespace
{

std::optional<Calibration> DefinedCalibrationOfFile(const std::string& path, std::ostream& err)
{
    CalValues cal;
    std::optional<Calibration> c = CalibrationOfFile(path, cal, err);
    if (c && !c->IsDefined())
    {
        Report(err, path, CliText(TXT_NO_CALIBRATION));
        return std::nullopt;
    }
    return c;
}

// The map's size: given, from the BMP named, or from the file's BMP name
// beside the .CAL file when that exists. False after a report.
bool FindMapSize(const CalCheckOptions& options, const std::string& bmpName, std::optional<MapSize>& size,
                 std::ostream& err)
{
    if (!options.size.empty())
    {
        size = ParseSize(options.size);
        if (!size)
            Report(err, "--size", CliText(TXT_SIZE_SYNTAX));
        return size.has_value();
    }
    std::filesystem::path bmp = options.bmp;
    if (bmp.empty())
    {
        if (bmpName.empty())
            return true;
        bmp = std::filesystem::path(options.file).parent_path() / std::filesystem::path(bmpName);
        std::error_code ignored;
        if (!std::filesystem::exists(bmp, ignored))
            return true; // not beside it: the size stays unknown
    }
    size = calibration::ReadBmpSize(bmp);
    if (!size)
        Report(err, bmp.string(), CliText(TXT_NOT_A_BMP));
    return size.has_value();
}

std::string Fixed(double value, int decimals)
{
    return FormatFixed(value, decimals);
}

std::string Words(const calibration::CheckReport& report)
{
    std::string text;
    for (const calibration::FigureText& figure : calibration::FigureTexts(report.figures))
        text += figure.name + ": " + figure.value + '\n';
    if (report.findings.empty())
        text += calibration::NoFindingText() + '\n';
    for (const calibration::Finding& finding : report.findings)
        text += calibration::FindingKindText(finding.kind) + " (" + finding.code + "): " + finding.message + '\n';
    return text;
}

std::string Json(const calibration::CheckReport& report)
{
    using nlohmann::ordered_json;
    const calibration::CalibrationFigures& f = report.figures;
    const auto optional = [](const auto& value) { return value ? ordered_json(*value) : ordered_json(nullptr); };
    ordered_json object;
    object["scale_m_per_px"] =
        f.scaleX && f.scaleY ? ordered_json{{"x", *f.scaleX}, {"y", *f.scaleY}} : ordered_json(nullptr);
    object["scale_ratio"] = optional(f.scaleRatio);
    object["grid_scale_ratio"] = optional(f.gridScaleRatio);
    object["separation_px"] = {{"x", f.separationX}, {"y", f.separationY}};
    object["map_size_px"] =
        f.size ? ordered_json{{"width", f.size->width}, {"height", f.size->height}} : ordered_json(nullptr);
    object["scale_denominator"] = optional(f.scaleDenominator);
    object["corner_error_m"] = optional(f.cornerError);
    ordered_json findings = ordered_json::array();
    for (const calibration::Finding& finding : report.findings)
        findings.push_back({{"code", finding.code},
                            {"kind", finding.kind == calibration::FindingKind::Error ? "error" : "warning"},
                            {"message", finding.message}});
    object["findings"] = findings;
    return object.dump() + '\n';
}

} // namespace

int RunCalCheck(const CalCheckOptions& options, std::ostream& out, std::ostream& err)
{
    CalValues cal;
    const std::optional<Calibration> c = CalibrationOfFile(options.file, cal, err);
    if (!c)
        return kExitFailed;
    calibration::CheckInput input;
    if (options.dpi)
    {
        double dpi = 0.0;
        if (!ParseDouble(*options.dpi, dpi) || !(dpi > 0.0) || !std::isfinite(dpi))
        {
            Report(err, "--dpi", CliText(TXT_BAD_DPI));
            return kExitFailed;
        }
        input.dpi = dpi;
    }
    if (!FindMapSize(options, cal.m_strBmpFileName, input.size, err))
        return kExitFailed;
    const calibration::CheckReport report = calibration::CheckCalibration(*c, input);
    if (!Emit(out, err, options.json ? Json(report) : Words(report)))
        return kExitFailed;
    if (report.HasError())
        return kExitFailed;
    return report.findings.empty() ? kExitOk : kExitWarnings;
}

int RunCalLocate(const std::string& file, const std::string& x, const std::string& y, std::int32_t toDatum,
                 std::int32_t toFormat, std::ostream& out, std::ostream& err)
{
    double pixel[2] = {};
    const std::string* texts[2] = {&x, &y};
    for (int axis = 0; axis < 2; ++axis)
        if (!ParseDouble(*texts[axis], pixel[axis]) || !std::isfinite(pixel[axis]))
        {
            Report(err, Shown(*texts[axis], kShownInputBytes), GetMessageText(MSG_FORBIDDEN_CHARS, ""));
            return kExitFailed;
        }
    const std::optional<Calibration> c = DefinedCalibrationOfFile(file, err);
    if (!c)
        return kExitFailed;
    const GeoPoint position = c->PositionAt({pixel[0], pixel[1]});
    // Through the converter's from-WGS84 path: the dialog's rounding in
    // every format and datum.
    EntryValues values;
    if (!CPositionConverter().Express({position.lon, position.lat}, toDatum, toFormat, values))
    {
        Report(err, file, CliText(TXT_NOT_EXPRESSIBLE));
        return kExitFailed;
    }
    return Emit(out, err, FormatPoint(toFormat, values, 0) + '\n') ? kExitOk : kExitFailed;
}

int RunCalPixel(const std::string& file, const std::string& point, std::int32_t datum, std::int32_t format,
                std::ostream& out, std::ostream& err)
{
    EntryValues values;
    for (int p = 0; p < 2; ++p)
        if (const auto error = ParsePoint(format, point, values, p))
        {
            Report(err, Shown(point, kShownInputBytes), *error);
            return kExitFailed;
        }
    const std::optional<Calibration> c = DefinedCalibrationOfFile(file, err);
    if (!c)
        return kExitFailed;
    CCoordConverter converter;
    converter.SelectDatum(datum);
    ConvertEntryToWgs84(converter, format, values.Fields());
    if (converter.Fault(0))
    {
        Report(err, Shown(point, kShownInputBytes), FaultText(converter, 0));
        return kExitFailed;
    }
    const double* wgs84 = converter.Wgs84Position(0);
    const calibration::PixelPoint pixel = c->PixelOf({wgs84[0] * kRadToDeg, wgs84[1] * kRadToDeg});
    return Emit(out, err, Fixed(pixel.x, 2) + ' ' + Fixed(pixel.y, 2) + '\n') ? kExitOk : kExitFailed;
}

namespace
{

// The known points of a POINTS file, or nothing (the line reported).
std::optional<std::vector<calibration::FitPoint>> ReadFitPoints(const CalFitOptions& options, std::ostream& err)
{
    std::error_code ignored;
    std::ifstream file;
    if (std::filesystem::is_regular_file(options.points, ignored))
        file.open(options.points, std::ios::binary);
    if (!file.is_open())
    {
        Report(err, options.points, CliText(TXT_CANNOT_OPEN, std::strerror(errno)));
        return std::nullopt;
    }
    std::vector<calibration::FitPoint> points;
    std::vector<int> lineOf;
    CCoordConverter converter;
    converter.SelectDatum(options.datum);
    std::string line;
    for (int number = 1;; ++number)
    {
        const LineRead read = ReadBoundedLine(file, line);
        if (read == LineRead::End)
            break;
        const std::string subject = options.points + ": " + CliText(TXT_LINE, std::to_string(number));
        if (read == LineRead::TooLong)
        {
            Report(err, options.points, GetMessageText(MSG_LINE_TOO_LONG, std::to_string(number).c_str()));
            return std::nullopt;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue; // blank lines between the points
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos)
        {
            Report(err, subject, CliText(TXT_FIT_LINE_SYNTAX));
            return std::nullopt;
        }
        std::int32_t pixel[2] = {};
        const std::string parts[2] = {line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1)};
        for (int axis = 0; axis < 2; ++axis)
            if (const auto failure = CheckIntField(parts[axis], kNoUpperLimit, pixel[axis]))
            {
                Report(err, subject, std::string(axis == 0 ? "X: " : "Y: ") + GetMessageText(*failure, ""));
                return std::nullopt;
            }
        EntryValues values;
        for (int p = 0; p < 2; ++p)
            if (const auto error = ParsePoint(options.format, line.substr(tab2 + 1), values, p))
            {
                Report(err, subject, *error);
                return std::nullopt;
            }
        ConvertEntryToWgs84(converter, options.format, values.Fields());
        if (converter.Fault(0))
        {
            Report(err, subject, FaultText(converter, 0));
            return std::nullopt;
        }
        for (std::size_t i = 0; i < points.size(); ++i)
            if (points[i].pixel.x == pixel[0] && points[i].pixel.y == pixel[1])
            {
                Report(err, subject, CliText(TXT_FIT_SAME_PIXEL, std::to_string(lineOf[i])));
                return std::nullopt;
            }
        const double* wgs84 = converter.Wgs84Position(0);
        points.push_back({{static_cast<double>(pixel[0]), static_cast<double>(pixel[1])},
                          {wgs84[0] * kRadToDeg, wgs84[1] * kRadToDeg}});
        lineOf.push_back(number);
    }
    if (file.bad())
    {
        Report(err, options.points, CliText(TXT_CANNOT_READ, std::strerror(errno)));
        return std::nullopt;
    }
    return points;
}

std::string FitTable(const std::vector<calibration::FitPoint>& points, const calibration::Fit& fit)
{
    std::string text = CliText(TXT_FIT_HEADER) + '\n';
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        const calibration::PointResidual& r = fit.residuals[i];
        char row[160];
        std::snprintf(row, sizeof row, "%-7zu %-7.0f %-7.0f %-9s %-9s %-8s %s\n", i + 1, points[i].pixel.x,
                      points[i].pixel.y, Fixed(r.east, 2).c_str(), Fixed(r.north, 2).c_str(),
                      Fixed(r.metres, 2).c_str(), Fixed(r.pixels, 2).c_str());
        text += row;
    }
    text += CliText(TXT_FIT_RMS, Fixed(fit.rmsMetres, 2)) + '\n';
    text += CliText(TXT_FIT_WORST, std::to_string(fit.worst + 1)) + '\n';
    return text;
}

std::string FitJson(const std::vector<calibration::FitPoint>& points, const calibration::Fit& fit)
{
    nlohmann::ordered_json object = {{"a", fit.a}, {"b", fit.b}, {"c", fit.c}, {"d", fit.d}, {"rms_m", fit.rmsMetres}};
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < points.size(); ++i)
        rows.push_back({{"x", points[i].pixel.x},
                        {"y", points[i].pixel.y},
                        {"residual_east_m", fit.residuals[i].east},
                        {"residual_north_m", fit.residuals[i].north},
                        {"residual_px", fit.residuals[i].pixels}});
    object["points"] = rows;
    return object.dump() + '\n';
}

} // namespace

int RunCalFit(const CalFitOptions& options, std::ostream& out, std::ostream& err)
{
    std::optional<MapSize> size;
    if (!options.size.empty())
    {
        size = ParseSize(options.size);
        if (!size)
            Report(err, "--size", CliText(TXT_SIZE_SYNTAX));
    }
    else if (!options.bmp.empty())
    {
        size = calibration::ReadBmpSize(options.bmp);
        if (!size)
            Report(err, options.bmp, CliText(TXT_NOT_A_BMP));
    }
    else
        Report(err, "cal fit", CliText(TXT_NEED_MAP_SIZE));
    if (!size)
        return kExitFailed;

    const std::optional<std::vector<calibration::FitPoint>> points = ReadFitPoints(options, err);
    if (!points)
        return kExitFailed;
    calibration::FitRefusal refusal{};
    const std::optional<calibration::Fit> fit = calibration::FitPoints(*points, &refusal);
    if (!fit)
    {
        Report(err, options.points, calibration::FitRefusalText(refusal));
        return kExitFailed;
    }
    if (!Emit(out, err, options.json ? FitJson(*points, *fit) : FitTable(*points, *fit)))
        return kExitFailed;

    // The two reference points that reproduce the fit, at the file's precision.
    const Calibration reference = calibration::ReferencePointsOf(*fit, *size);
    CalValues cal = calibration::CalValuesOf(reference);
    const std::string bmpName = !options.bmp.empty() ? std::string(FileNameOfPath(options.bmp)) : std::string();
    cal.m_strMapName = !options.name.empty() ? options.name
                       : !bmpName.empty()    ? std::string(BaseName(bmpName))
                                             : std::string(BaseName(FileNameOfPath(options.output)));
    cal.m_strBmpFileName = !bmpName.empty() ? bmpName : cal.m_strMapName + ".bmp";
    // Into the converter for Save's relation check, as they are.
    EntryValues values = calibration::DecimalDegreeEntries(reference);
    CCoordConverter converter;
    ConvertEntryToWgs84(converter, FORMAT_DEC_DEGREE, values.Fields());
    // With --json the written path would break the one JSON object.
    std::ostringstream pathText;
    return SaveCalFile(cal, converter, {options.output, options.yes, false, {}}, options.json ? pathText : out, err);
}

} // namespace cli
