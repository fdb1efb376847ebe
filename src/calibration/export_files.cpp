#include "calibration/export_files.h"

#include <algorithm>
#include <cctype>

#include "calibration/gpx.h"
#include "calibration/kml.h"
#include "calibration/kmz.h"
#include "calibration/ozi_map.h"
#include "calibration/world_file.h"
#include "formats/file_names.h"

using namespace formats;

namespace calibration
{

namespace fs = std::filesystem;

namespace
{

struct FormatName
{
    ExportFormat format;
    std::string_view name;
    std::string_view extension;
};

constexpr FormatName kFormats[] = {
    {ExportFormat::WorldFile, "worldfile", ".bpw"},
    {ExportFormat::Wld, "wld", ".wld"},
    {ExportFormat::OziMap, "ozi", ".map"},
    {ExportFormat::Kml, "kml", ".kml"},
    {ExportFormat::Kmz, "kmz", ".kmz"},
    {ExportFormat::Gpx, "gpx", ".gpx"},
};

// The map's path as seen from the folder of `target`: "harbour.bmp" beside
// it, "../maps/harbour.bmp" elsewhere; absolute where no relative path leads
// there (another drive).
fs::path ImagePath(const fs::path& bmp, const fs::path& target)
{
    std::error_code ec;
    const fs::path image = fs::absolute(bmp, ec).lexically_normal();
    const fs::path folder = fs::absolute(target, ec).lexically_normal().parent_path();
    const fs::path relative = image.lexically_relative(folder);
    return relative.empty() ? image : relative;
}

template <class T> Exchange<std::vector<ExportFile>> One(const fs::path& path, const Exchange<T>& bytes)
{
    if (const auto* error = std::get_if<ExchangeError>(&bytes))
        return *error;
    return std::vector<ExportFile>{{path, std::get<T>(bytes)}};
}

} // namespace

std::optional<ExportFormat> ExportFormatOfName(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatName& entry : kFormats)
        if (entry.name == lower)
            return entry.format;
    return std::nullopt;
}

std::optional<ExportFormat> ExportFormatOfPath(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatName& entry : kFormats)
        if (entry.extension == extension)
            return entry.format;
    return std::nullopt;
}

std::string_view ExportExtension(ExportFormat format)
{
    for (const FormatName& entry : kFormats)
        if (entry.format == format)
            return entry.extension;
    return {};
}

bool NeedsMapSize(ExportFormat format)
{
    return format != ExportFormat::Gpx;
}

Exchange<std::vector<ExportFile>> ExportFiles(const ExportRequest& request)
{
    const Calibration c = CalibrationOf(request.values);
    // Other programs take a map whose pixels run east and north with its
    // coordinates; a world file or a box could not even say anything else.
    if (!c.IsDefined() || (c.pixel[1].x - c.pixel[0].x) * (c.position[1].lon - c.position[0].lon) < 0.0 ||
        (c.pixel[1].y - c.pixel[0].y) * (c.position[1].lat - c.position[0].lat) < 0.0)
        return ExchangeError{ExchangeFault::NotExportable};
    if (NeedsMapSize(request.format) && !request.size)
        return ExchangeError{ExchangeFault::NoMapSize};
    const fs::path& target = request.target;
    const std::string& name = request.values.m_strMapName;
    const fs::path bmp =
        request.bmp.empty() ? target.parent_path() / fs::path(request.values.m_strBmpFileName) : request.bmp;

    switch (request.format)
    {
    case ExportFormat::WorldFile:
    case ExportFormat::Wld:
    {
        fs::path prj = target;
        prj.replace_extension(".prj");
        return std::vector<ExportFile>{{target, WorldFileText(c, *request.size)}, {prj, std::string(Wgs84PrjText())}};
    }
    case ExportFormat::OziMap:
        return One(target, Exchange<std::string>(OziMapText(c, *request.size, name, ImagePath(bmp, target).string())));
    case ExportFormat::Kml:
        return One(target, KmlText(c, *request.size, name, ImagePath(bmp, target).generic_string()));
    case ExportFormat::Kmz:
    {
        if (request.png.empty())
            return ExchangeError{ExchangeFault::NeedsImage};
        const std::string image = std::string(FileTitle(bmp.filename().string())) + ".png";
        const Exchange<std::string> kml = KmlText(c, *request.size, name, image);
        if (const auto* error = std::get_if<ExchangeError>(&kml))
            return *error;
        return One(target, KmzBytes(std::get<std::string>(kml), image, request.png));
    }
    case ExportFormat::Gpx:
        break;
    }
    return One(target, GpxText(c, name));
}

} // namespace calibration
