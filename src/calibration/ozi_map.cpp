#include "calibration/ozi_map.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "conversion/coord_types.h"
#include "conversion/numeric_text.h"
#include "formats/cp1252.h"
#include "formats/text_lines.h"

using namespace conversion;
using namespace formats;

namespace calibration
{

namespace
{

constexpr const char* kLineEnd = "\r\n";
constexpr std::string_view kHeader = "OziExplorer Map Data File";
constexpr int kPointLines = 30;

// `text` right-aligned in `width` characters, as the format's own files
// line their columns up.
std::string Pad(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A name for one line of the file: Windows-1252, no line break in it.
std::string LineText(std::string_view utf8)
{
    std::string bytes = Utf8ToCp1252(utf8);
    for (char& c : bytes)
        if (c == '\r' || c == '\n')
            c = '?';
    return bytes;
}

// "  54,  3.12000000,N": whole degrees and minutes with 8 decimals, rounded
// as one number so that 59.999999999' becomes the next degree.
std::string DegreesAndMinutes(double value, char positive, char negative)
{
    constexpr std::int64_t kUnitsPerMinute = 100000000;
    const std::int64_t units = std::llround(std::fabs(value) * 60.0 * kUnitsPerMinute);
    const std::int64_t degrees = units / (60 * kUnitsPerMinute);
    const double minutes = static_cast<double>(units % (60 * kUnitsPerMinute)) / kUnitsPerMinute;
    return Pad(std::to_string(degrees), 4) + "," + Pad(FormatFixed(minutes, 8), 12) + "," +
           (value < 0.0 ? negative : positive);
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;)
    {
        const std::size_t comma = line.find(',');
        fields.push_back(TrimBlanks(line.substr(0, comma)));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<std::int32_t> DatumOfName(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::int32_t> kNames[] = {
        {"WGS 84", DATUM_WGS84},           {"WGS84", DATUM_WGS84},
        {"European 1950", DATUM_EUROPEAN}, {"Potsdam Rauenberg DHDN", DATUM_POTSDAM},
        {"Potsdam", DATUM_POTSDAM},
    };
    for (const auto& [known, datum] : kNames)
        if (EqualsIgnoringCase(name, known))
            return datum;
    return std::nullopt;
}

struct OziPoint
{
    double x = 0.0;
    double y = 0.0;
    GeoPoint position;
};

// A field that must hold a number within [0, max) (or [0, max] when
// `bInclusive`); `name` names it in a refusal.
std::optional<ExchangeError> TakeNumber(std::string_view text, double max, bool bInclusive, const std::string& name,
                                        double& value)
{
    const std::optional<double> number = StrictNumber(text);
    if (!number || *number < 0.0 || *number > max || (!bInclusive && *number == max))
        return ExchangeError{ExchangeFault::BadNumber, name, std::string(text)};
    value = *number;
    return std::nullopt;
}

// One "PointNN" line: nothing when the point is unused (no pixel, or no
// latitude and longitude: a point given in grid coordinates only).
Exchange<std::optional<OziPoint>> ReadPoint(std::string_view line)
{
    const std::vector<std::string_view> f = Fields(line);
    const std::string name(f[0]);
    if (f.size() < 12)
        return ExchangeError{ExchangeFault::MissingField,
                             name + InLanguage(": Breite und Länge", ": latitude and longitude")};
    for (const std::size_t i : {2, 3, 6, 7, 9, 10})
        if (f[i].empty())
            return std::optional<OziPoint>();
    OziPoint point;
    double latDeg = 0.0, latMin = 0.0, lonDeg = 0.0, lonMin = 0.0;
    const std::string x = name + " X", y = name + " Y";
    const std::string lat = name + InLanguage(" Breite", " latitude"), lon = name + InLanguage(" Länge", " longitude");
    const std::optional<double> px = StrictNumber(f[2]);
    const std::optional<double> py = StrictNumber(f[3]);
    if (!px || std::fabs(*px) > 1e9)
        return ExchangeError{ExchangeFault::BadNumber, x, std::string(f[2])};
    if (!py || std::fabs(*py) > 1e9)
        return ExchangeError{ExchangeFault::BadNumber, y, std::string(f[3])};
    for (const auto& failure :
         {TakeNumber(f[6], 90.0, true, lat, latDeg), TakeNumber(f[7], 60.0, false, lat, latMin),
          TakeNumber(f[9], 180.0, true, lon, lonDeg), TakeNumber(f[10], 60.0, false, lon, lonMin)})
        if (failure)
            return *failure;
    const bool bSouth = EqualsIgnoringCase(f[8], "S");
    const bool bWest = EqualsIgnoringCase(f[11], "W");
    if (!bSouth && !EqualsIgnoringCase(f[8], "N"))
        return ExchangeError{ExchangeFault::BadNumber, lat, std::string(f[8])};
    if (!bWest && !EqualsIgnoringCase(f[11], "E"))
        return ExchangeError{ExchangeFault::BadNumber, lon, std::string(f[11])};
    const double latitude = latDeg + latMin / 60.0;
    const double longitude = lonDeg + lonMin / 60.0;
    if (latitude > 90.0)
        return ExchangeError{ExchangeFault::BadNumber, lat, std::string(f[6]) + " " + std::string(f[7])};
    if (longitude > 180.0)
        return ExchangeError{ExchangeFault::BadNumber, lon, std::string(f[9]) + " " + std::string(f[10])};
    point.x = *px;
    point.y = *py;
    point.position = {bWest ? -longitude : longitude, bSouth ? -latitude : latitude};
    return std::optional<OziPoint>(point);
}

// "IWH,Map Image Width/Height,800,600".
Exchange<MapSize> ReadSize(std::string_view line)
{
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 4)
        return ExchangeError{ExchangeFault::MissingField, "IWH"};
    int sides[2] = {};
    for (int i = 0; i < 2; ++i)
    {
        const std::optional<double> side = StrictNumber(f[2 + i]);
        if (!side || *side < 1.0 || *side > 2147483647.0 || *side != std::floor(*side))
            return ExchangeError{ExchangeFault::BadNumber, "IWH", std::string(f[2 + i])};
        sides[i] = static_cast<int>(*side);
    }
    return MapSize{sides[0], sides[1]};
}

} // namespace

std::string OziMapText(const Calibration& c, MapSize size, std::string_view title, std::string_view imagePath)
{
    const double W = size.width;
    const double H = size.height;
    std::string text;
    const auto line = [&text](const std::string& content) { text += content + kLineEnd; };
    line(std::string(kHeader) + " Version 2.2");
    line(LineText(title));
    line(LineText(imagePath));
    line("1 ,Map Code,");
    line("WGS 84,WGS 84,   0.0000,   0.0000,WGS 84");
    line("Reserved 1");
    line("Reserved 2");
    line("Magnetic Variation,,,E");
    line("Map Projection,Latitude/Longitude,PolyCal,No,AutoCalOnly,No,BSBUseWPX,No");
    for (int p = 0; p < kPointLines; ++p)
    {
        const std::string name = std::string(p < 9 ? "Point0" : "Point") + std::to_string(p + 1);
        if (p >= 2)
        {
            line(name + ",xy,     ,     ,in, deg,    ,            ,N,    ,            ,E, grid,   ,           ,"
                        "           ,N");
            continue;
        }
        // The corner of the reference pixel that the whole pixel numbers name.
        const double x = c.pixel[p].x;
        const double y = c.pixel[p].y;
        const GeoPoint corner = c.PositionAt({x - 0.5, y + 0.5});
        line(name + ",xy," + Pad(FormatFixed(x, 0), 5) + "," + Pad(FormatFixed(H - y, 0), 5) + ",in, deg," +
             DegreesAndMinutes(corner.lat, 'N', 'S') + "," + DegreesAndMinutes(corner.lon, 'E', 'W') +
             ", grid,   ,           ,           ,N");
    }
    line("Projection Setup,,,,,,,,,,");
    line("Map Feature = MF ; Map Comment = MC     These follow if they exist");
    line("Track File = TF      These follow if they exist");
    line("Moving Map Parameters = MM?    These follow if they exist");
    line("MM0,Yes");
    line("MMPNUM,4");
    // The outer corners, clockwise from the top left.
    const double corners[4][2] = {{0.0, 0.0}, {W, 0.0}, {W, H}, {0.0, H}};
    for (int i = 0; i < 4; ++i)
        line("MMPXY," + std::to_string(i + 1) + "," + FormatFixed(corners[i][0], 0) + "," +
             FormatFixed(corners[i][1], 0));
    for (int i = 0; i < 4; ++i)
    {
        const GeoPoint g = c.PositionAt({corners[i][0] - 0.5, H - corners[i][1] + 0.5});
        line("MMPLL," + std::to_string(i + 1) + "," + Pad(FormatFixed(g.lon, 8), 13) + "," +
             Pad(FormatFixed(g.lat, 8), 13));
    }
    // Metres per pixel at the map's centre, the mean of x and y.
    const GeoPoint centre = c.PositionAt({W / 2.0 - 0.5, H / 2.0 + 0.5});
    const auto [east, north] = GroundOffset(centre, c.PositionAt({W / 2.0 + 0.5, H / 2.0 - 0.5}));
    line("MM1B," + FormatFixed((std::fabs(east) + std::fabs(north)) / 2.0, 6));
    line("MOP,Map Open Position,0,0");
    line("IWH,Map Image Width/Height," + std::to_string(size.width) + "," + std::to_string(size.height));
    return text;
}

Exchange<Georeference> ReadOziMap(std::istream& in)
{
    Georeference g;
    g.bKeepPoints = true;
    std::vector<OziPoint> points;
    bool bDatum = false;
    std::string line;
    std::uint64_t number = 1;
    for (;; ++number)
    {
        const LineRead read = ReadBoundedLine(in, line);
        if (read == LineRead::End)
            break;
        if (read == LineRead::TooLong)
            return ExchangeError{ExchangeFault::LineTooLong, std::to_string(number)};
        const std::string text = Cp1252ToUtf8(TrimBlanks(number == 1 ? WithoutByteOrderMark(line) : line));
        if (number == 1 && !std::string_view(text).starts_with(kHeader))
            return ExchangeError{ExchangeFault::NotOziMap};
        if (number == 3)
            g.imageName = std::string(LastPathComponent(text));
        else if (number == 5)
        {
            const std::string name(Fields(text).front());
            const std::optional<std::int32_t> datum = DatumOfName(name);
            if (!datum)
                return ExchangeError{ExchangeFault::UnknownDatum, name};
            g.datum = *datum;
            bDatum = true;
        }
        else if (number > 5 && text.starts_with("Point"))
        {
            const Exchange<std::optional<OziPoint>> point = ReadPoint(text);
            if (const auto* error = std::get_if<ExchangeError>(&point))
                return *error;
            if (const auto& usable = std::get<std::optional<OziPoint>>(point))
                points.push_back(*usable);
        }
        else if (number > 5 && text.starts_with("IWH,"))
        {
            const Exchange<MapSize> size = ReadSize(text);
            if (const auto* error = std::get_if<ExchangeError>(&size))
                return *error;
            g.size = std::get<MapSize>(size);
        }
    }
    if (!bDatum)
        return ExchangeError{number == 1 ? ExchangeFault::NotOziMap : ExchangeFault::MissingField,
                             InLanguage("das Datum (Zeile 5)", "the datum (line 5)")};
    // The first point, and the first after it that differs in x and in y.
    for (std::size_t second = 1; second < points.size(); ++second)
    {
        if (points[second].x == points[0].x || points[second].y == points[0].y)
            continue;
        for (int p = 0; p < 2; ++p)
        {
            const OziPoint& point = points[p == 0 ? 0 : second];
            g.u[p] = point.x;
            g.v[p] = point.y;
            g.position[p] = point.position;
        }
        return g;
    }
    return ExchangeError{ExchangeFault::TooFewPoints};
}

} // namespace calibration
