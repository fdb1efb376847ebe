#include "cli/exchange_commands.h"

#include <ostream>
#include <system_error>

#include "calibration/bmp_size.h"
#include "calibration/export_files.h"
#include "calibration/import_source.h"
#include "cli/calibration_commands.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/reporting.h"
#include "conversion/entry_fields.h"
#include "formats/cal_save.h"
#include "platform/file_writer.h"

using namespace conversion;
using namespace formats;
using namespace platform;

namespace fs = std::filesystem;

namespace cli
{

int RunCalExport(const CalExportOptions& options, const MapPngEncoder& png, std::ostream& out, std::ostream& err)
{
    const std::optional<calibration::ExportFormat> format = calibration::ExportFormatOfName(options.to);
    if (!format)
    {
        Report(err, "--to", CliText(TXT_UNKNOWN_FORMAT, Shown(options.to, kShownInputBytes)));
        return kExitFailed;
    }
    calibration::ExportRequest request;
    request.format = *format;
    if (!CalibrationOfFile(options.file, request.values, err))
        return kExitFailed;
    request.bmp = !options.bmp.empty() ? fs::path(options.bmp)
                                       : fs::path(options.file).parent_path() / request.values.m_strBmpFileName;
    if (calibration::NeedsMapSize(*format))
    {
        request.size = calibration::ReadBmpSize(request.bmp);
        if (!request.size)
        {
            Report(err, request.bmp.string(), CliText(TXT_NOT_A_BMP));
            return kExitFailed;
        }
    }
    if (*format == calibration::ExportFormat::Kmz && png)
    {
        std::optional<std::string> image = png(request.bmp);
        if (!image)
        {
            Report(err, request.bmp.string(), CliText(TXT_NOT_A_BMP));
            return kExitFailed;
        }
        request.png = std::move(*image);
    }
    if (options.output.empty())
        request.target = fs::path(request.bmp).replace_extension(calibration::ExportExtension(*format));
    else
        request.target = options.output;

    const auto files = calibration::ExportFiles(request);
    if (const auto* error = std::get_if<calibration::ExchangeError>(&files))
    {
        Report(err, options.file, calibration::ExchangeErrorText(*error));
        return kExitFailed;
    }
    // Every file checked and every question answered before the first is
    // written: a No leaves everything as it was.
    for (const calibration::ExportFile& file : std::get<std::vector<calibration::ExportFile>>(files))
    {
        if (const auto refused = CheckReplaceableFile(file.path))
        {
            Report(err, file.path.string(), WriteErrorText(*refused));
            return kExitFailed;
        }
        std::error_code ignored;
        const auto overwrite = formats::OverwriteCheck(file.path.string(), fs::exists(file.path, ignored));
        if (overwrite && !Ask(err, file.path.string(),
                              GetMessageText(overwrite->message, Shown(overwrite->insert).c_str()), options.yes))
            return kExitDeclined;
    }
    for (const calibration::ExportFile& file : std::get<std::vector<calibration::ExportFile>>(files))
    {
        if (const auto error = WriteWholeFile(file.path, file.bytes))
        {
            Report(err, file.path.string(), WriteErrorText(*error));
            return kExitFailed;
        }
        if (!Emit(out, err, file.path.string() + '\n'))
            return kExitFailed;
    }
    return kExitOk;
}

int RunCalFrom(const CalFromOptions& options, std::ostream& out, std::ostream& err)
{
    calibration::ImportMap map;
    map.bmp = options.bmp;
    if (!options.size.empty())
    {
        map.size = ParseSize(options.size);
        if (!map.size)
        {
            Report(err, "--size", CliText(TXT_SIZE_SYNTAX));
            return kExitFailed;
        }
    }
    const auto imported = calibration::ImportCalibration(options.source, map);
    if (const auto* error = std::get_if<calibration::ExchangeError>(&imported))
    {
        Report(err, options.source, calibration::ExchangeErrorText(*error));
        return kExitFailed;
    }
    CalValues cal = std::get<CalValues>(imported);

    // The file's values into the converter, for Save's relation check.
    EntryValues values;
    std::uint32_t pixel[2][2] = {};
    CopyPointsFromCal(cal, {pixel, values.m_nHemisphere, values.m_nDegree, values.m_dMinute});
    CCoordConverter converter;
    ConvertEntryToWgs84(converter, FORMAT_DEC_MINUTE, values.Fields());
    if (const auto fault = formats::FirstPositionFault(converter))
    {
        Report(err, options.source,
               "POINT" + std::to_string(fault->first + 1) + ": " + FaultText(converter, fault->first));
        return kExitFailed;
    }
    return SaveCalFile(cal, converter, {options.output, options.yes, false, options.source}, out, err);
}

} // namespace cli
