#include "cli/map_commands.h"

#include <ostream>
#include <system_error>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/reporting.h"
#include "conversion/entry_fields.h"
#include "formats/cal_save.h"
#include "platform/file_writer.h"

namespace fs = std::filesystem;

namespace cli
{

namespace
{

// "X,Y,W,H": four whole numbers, the size above 0.
std::optional<formats::MapCrop> ParseCrop(const std::string& text)
{
    std::int32_t values[4] = {};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i)
    {
        const std::size_t end = i < 3 ? text.find(',', start) : text.size();
        if (end == std::string::npos || conversion::CheckIntField(std::string_view(text).substr(start, end - start),
                                                                  conversion::kNoUpperLimit, values[i]))
            return std::nullopt;
        start = end + 1;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return formats::MapCrop{values[0], values[1], values[2], values[3]};
}

bool HaveTools(const MapTools& tools, const std::string& subject, std::ostream& err)
{
    if (tools.describe && tools.convert)
        return true;
    Report(err, subject, CliText(TXT_MAP_NEEDS_QT));
    return false;
}

// Whether `output` names the scan itself (the scan is never written).
bool IsSameFile(const fs::path& input, const fs::path& output)
{
    std::error_code error;
    return fs::equivalent(input, output, error) && !error;
}

} // namespace

int RunMapInfo(const std::string& file, const MapTools& tools, std::ostream& out, std::ostream& err)
{
    if (!HaveTools(tools, file, err))
        return kExitFailed;
    const auto described = tools.describe(file);
    if (const auto* reason = std::get_if<std::string>(&described))
    {
        Report(err, file, CliText(TXT_IMAGE_NOT_READ, *reason));
        return kExitFailed;
    }
    const formats::MapFacts& facts = std::get<formats::MapFacts>(described);
    const std::string text = CliText(TXT_MAP_FORMAT) + ": " + facts.format + '\n' + CliText(TXT_MAP_SIZE) + ": " +
                             std::to_string(facts.width) + " x " + std::to_string(facts.height) + '\n' +
                             CliText(TXT_MAP_BITS_PER_PIXEL) + ": " + std::to_string(facts.bitsPerPixel) + '\n' +
                             CliText(TXT_MAP_PALETTE) + ": " + std::to_string(facts.paletteSize) + '\n' +
                             CliText(TXT_MAP_DEVICE_READS) + ": " + CliText(facts.bDeviceReadable ? TXT_YES : TXT_NO) +
                             '\n';
    return Emit(out, err, text) ? kExitOk : kExitFailed;
}

int RunMapConvert(const MapConvertOptions& options, const MapTools& tools, std::ostream& out, std::ostream& err)
{
    if (!HaveTools(tools, options.input, err))
        return kExitFailed;
    formats::DeviceBmpRequest request{.bitsPerPixel = options.bpp, .bDither = options.dither, .crop = {}};
    if (!options.crop.empty())
    {
        request.crop = ParseCrop(options.crop);
        if (!request.crop)
        {
            Report(err, "--crop", CliText(TXT_CROP_SYNTAX));
            return kExitFailed;
        }
    }
    const fs::path output = options.output;
    if (IsSameFile(options.input, output))
    {
        Report(err, options.output, CliText(TXT_OUTPUT_IS_INPUT));
        return kExitFailed;
    }
    if (const auto refused = platform::CheckReplaceableFile(output))
    {
        Report(err, options.output, WriteErrorText(*refused));
        return kExitFailed;
    }
    std::error_code ignored;
    const auto overwrite = formats::OverwriteCheck(options.output, fs::exists(output, ignored));
    if (overwrite &&
        !Ask(err, options.output, GetMessageText(overwrite->message, Shown(overwrite->insert).c_str()), options.yes))
        return kExitDeclined;

    const formats::DeviceBmpBytes made = tools.convert(options.input, request);
    switch (made.fault)
    {
    case formats::MapFileFault::None:
        break;
    case formats::MapFileFault::Unreadable:
        Report(err, options.input, CliText(TXT_IMAGE_NOT_READ, made.reason));
        return kExitFailed;
    case formats::MapFileFault::CropOutside:
        Report(
            err, "--crop",
            CliText(TXT_CROP_OUTSIDE, std::to_string(made.source.width) + " x " + std::to_string(made.source.height)));
        return kExitFailed;
    case formats::MapFileFault::Failed:
        Report(err, options.input, CliText(TXT_IMAGE_NOT_READ, "out of memory"));
        return kExitFailed;
    }
    if (const auto error = platform::WriteWholeFile(output, made.bytes))
    {
        Report(err, options.output, WriteErrorText(*error));
        return kExitFailed;
    }
    return Emit(out, err, options.output + '\n') ? kExitOk : kExitFailed;
}

} // namespace cli
