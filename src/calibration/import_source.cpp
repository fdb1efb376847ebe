#include "calibration/import_source.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>
#include <tuple>

#include "calibration/bmp_size.h"
#include "calibration/fit.h"
#include "calibration/kml.h"
#include "calibration/kmz.h"
#include "calibration/ozi_map.h"
#include "calibration/world_file.h"
#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "formats/file_names.h"

using namespace conversion;
using namespace formats;

namespace calibration
{

namespace fs = std::filesystem;

namespace
{

// A .prj file holds one WKT text of a few hundred bytes.
constexpr std::size_t kMaxPrjBytes = 1024 * 1024;

const double kRadToDeg = 180.0 / (4.0 * std::atan(1.0));

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string SizeText(MapSize size)
{
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

// Only a regular file is read: a FIFO or a device would make the read wait
// or never end.
std::optional<ExchangeError> RegularFileCheck(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        return std::nullopt;
    return ExchangeError{ExchangeFault::CannotOpen,
                         std::generic_category().message(fs::is_directory(path, ec) ? EISDIR : ENOENT)};
}

std::optional<ExchangeError> OpenFailure(int error)
{
    return ExchangeError{ExchangeFault::CannotOpen, std::generic_category().message(error != 0 ? error : EIO)};
}

// The first `maxBytes` + 1 bytes of a regular file at most: one more than
// the bound tells the reader the file is too large.
Exchange<std::string> ReadBounded(const fs::path& path, std::size_t maxBytes)
{
    if (const auto refused = RegularFileCheck(path))
        return *refused;
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return *OpenFailure(errno);
    std::string bytes(maxBytes + 1, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file.bad())
        return *OpenFailure(errno);
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

Exchange<Georeference> ReadSourceFile(SourceKind kind, const fs::path& source)
{
    if (const auto refused = RegularFileCheck(source))
        return *refused;
    if (kind == SourceKind::Kmz)
        return ReadKmzFile(source);
    if (kind == SourceKind::Kml)
    {
        const Exchange<std::string> bytes = ReadBounded(source, kMaxKmlBytes);
        if (const auto* error = std::get_if<ExchangeError>(&bytes))
            return *error;
        return ReadKml(std::get<std::string>(bytes));
    }
    // World files and .map files are read line by line, each line bounded,
    // whatever the file's size.
    errno = 0;
    std::ifstream file(source, std::ios::binary);
    if (!file)
        return *OpenFailure(errno);
    Exchange<Georeference> g = kind == SourceKind::WorldFile ? ReadWorldFile(file) : ReadOziMap(file);
    if (file.bad())
        return *OpenFailure(errno);
    if (kind != SourceKind::WorldFile || std::holds_alternative<ExchangeError>(g))
        return g;
    // The .prj beside it says what the numbers are.
    fs::path prj = source;
    prj.replace_extension(".prj");
    std::error_code ec;
    if (!fs::exists(prj, ec))
        return g;
    const Exchange<std::string> wkt = ReadBounded(prj, kMaxPrjBytes);
    if (const auto* error = std::get_if<ExchangeError>(&wkt))
        return *error;
    if (std::get<std::string>(wkt).size() > kMaxPrjBytes)
        return ExchangeError{ExchangeFault::TooLarge, std::to_string(kMaxPrjBytes >> 20)};
    if (const auto refusal = CheckPrj(std::get<std::string>(wkt)))
        return *refusal;
    return g;
}

// The BMP file's name for the imported values: the image the source names
// when it is a BMP file, else the source's own name with ".bmp".
std::string DerivedBmpName(const Georeference& g, const fs::path& source)
{
    if (Lower(fs::path(g.imageName).extension().string()) == ".bmp")
        return g.imageName;
    return source.stem().string() + ".bmp";
}

struct MapChoice
{
    MapSize size;
    std::string bmpName;
};

Exchange<MapChoice> ChooseMap(const Georeference& g, const fs::path& source, const ImportMap& map)
{
    MapChoice choice;
    std::error_code ec;
    fs::path bmp = map.bmp;
    if (bmp.empty() && !map.size)
    {
        const fs::path beside = source.parent_path() / DerivedBmpName(g, source);
        if (fs::exists(beside, ec))
            bmp = beside;
    }
    if (!bmp.empty())
    {
        const std::optional<MapSize> size = ReadBmpSize(bmp);
        if (!size)
            return ExchangeError{ExchangeFault::NotABmp, bmp.string()};
        choice = {*size, bmp.filename().string()};
    }
    else if (map.size)
        choice = {*map.size, DerivedBmpName(g, source)};
    else if (g.size)
        choice = {*g.size, DerivedBmpName(g, source)};
    else
        return ExchangeError{ExchangeFault::NoMapSize};
    if (g.size && (g.size->width != choice.size.width || g.size->height != choice.size.height))
        return ExchangeError{ExchangeFault::SizeMismatch, SizeText(choice.size), SizeText(*g.size)};
    return choice;
}

} // namespace

std::optional<SourceKind> SourceKindOf(const fs::path& path)
{
    const std::string extension = Lower(path.extension().string());
    for (const char* world : {".bpw", ".bmpw", ".wld", ".tfw", ".jgw", ".pgw"})
        if (extension == world)
            return SourceKind::WorldFile;
    if (extension == ".map")
        return SourceKind::OziMap;
    if (extension == ".kml")
        return SourceKind::Kml;
    if (extension == ".kmz")
        return SourceKind::Kmz;
    return std::nullopt;
}

Exchange<Georeference> ReadGeoreference(SourceKind kind, std::string_view bytes)
{
    switch (kind)
    {
    case SourceKind::WorldFile:
    case SourceKind::OziMap:
    {
        std::istringstream in{std::string(bytes)};
        return kind == SourceKind::WorldFile ? ReadWorldFile(in) : ReadOziMap(in);
    }
    case SourceKind::Kml:
        return ReadKml(bytes);
    case SourceKind::Kmz:
        break;
    }
    return ReadKmz(bytes);
}

Exchange<Calibration> PlaceReferencePoints(const Georeference& g, MapSize size)
{
    const double W = size.width;
    const double H = size.height;
    // The file's two points as .CAL pixels (fractional).
    Calibration model;
    for (int p = 0; p < 2; ++p)
    {
        model.pixel[p] = {g.u[p] * (g.bRelative ? W : 1.0) - 0.5, H - g.v[p] * (g.bRelative ? H : 1.0) + 0.5};
        model.position[p] = g.position[p];
    }
    if (!model.IsDefined())
        return ExchangeError{ExchangeFault::NoCalibration};
    // The map's outer corners (linear per axis: two opposite ones suffice).
    for (const GeoPoint corner : {model.PositionAt({-0.5, H + 0.5}), model.PositionAt({W - 0.5, 0.5})})
        if (!(std::fabs(corner.lon) <= 180.0 && std::fabs(corner.lat) <= 90.0))
            return ExchangeError{ExchangeFault::OutsideRange};

    Calibration c;
    if (g.bKeepPoints)
    {
        for (int p = 0; p < 2; ++p)
        {
            const double column = std::floor(g.u[p]);
            const double row = std::floor(g.v[p]);
            if (!(column >= 0.0 && column < W && row >= 0.0 && row < H))
                return ExchangeError{ExchangeFault::PointOutsideMap, std::to_string(p + 1)};
            c.pixel[p] = {column, H - row};
        }
    }
    else
        std::tie(c.pixel[0], c.pixel[1]) = SpreadReferencePixels(size);
    for (int p = 0; p < 2; ++p)
    {
        c.position[p] = model.PositionAt(c.pixel[p]);
        // On a map under five pixels high or wide the spread point at 10 %
        // rounds to row or column 0, half a pixel beyond the map's edge,
        // where the corners checked above do not reach.
        if (!(std::fabs(c.position[p].lon) <= 180.0 && std::fabs(c.position[p].lat) <= 90.0))
            return ExchangeError{ExchangeFault::OutsideRange};
    }
    if (!c.IsDefined())
        return ExchangeError{ExchangeFault::NoCalibration};
    return c;
}

Exchange<CalValues> ImportCalibration(const fs::path& source, const ImportMap& map)
{
    const std::optional<SourceKind> kind = SourceKindOf(source);
    if (!kind)
        return ExchangeError{ExchangeFault::UnknownKind};
    const Exchange<Georeference> read = ReadSourceFile(*kind, source);
    if (const auto* error = std::get_if<ExchangeError>(&read))
        return *error;
    const Georeference& g = std::get<Georeference>(read);
    const Exchange<MapChoice> chosen = ChooseMap(g, source, map);
    if (const auto* error = std::get_if<ExchangeError>(&chosen))
        return *error;
    const MapChoice& choice = std::get<MapChoice>(chosen);
    const Exchange<Calibration> placed = PlaceReferencePoints(g, choice.size);
    if (const auto* error = std::get_if<ExchangeError>(&placed))
        return *error;
    const Calibration& local = std::get<Calibration>(placed);

    // Decimal degrees in the file's datum through the converter, as the
    // dialog takes typed values.
    EntryValues values = DecimalDegreeEntries(local);
    CCoordConverter converter;
    converter.SelectDatum(g.datum);
    ConvertEntryToWgs84(converter, FORMAT_DEC_DEGREE, values.Fields());
    Calibration wgs84 = local;
    for (int p = 0; p < 2; ++p)
    {
        if (converter.Fault(p))
            return ExchangeError{ExchangeFault::NoPosition, std::to_string(p + 1)};
        const double* position = converter.Wgs84Position(p);
        wgs84.position[p] = {position[0] * kRadToDeg, position[1] * kRadToDeg};
    }
    CalValues cal = CalValuesOf(wgs84);
    cal.m_strBmpFileName = choice.bmpName;
    cal.m_strMapName = std::string(BaseName(choice.bmpName));
    return cal;
}

} // namespace calibration
