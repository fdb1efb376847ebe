#include "calibration/world_file.h"

#include <cctype>

#include "conversion/numeric_text.h"
#include "formats/text_lines.h"

using namespace conversion;
using namespace formats;

namespace calibration
{

namespace
{

constexpr const char* kLineEnd = "\r\n";

// WKT 1 as most programs write it for EPSG:4326.
constexpr std::string_view kWgs84Wkt =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,AUTHORITY[\"EPSG\",\"7030\"]],"
    "AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0,AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\","
    "0.0174532925199433,AUTHORITY[\"EPSG\",\"9122\"]],AUTHORITY[\"EPSG\",\"4326\"]]";

// Upper-case letters and digits of `text` only: "WGS_1984" and "WGS 84"
// both become comparable.
std::string Letters(std::string_view text)
{
    std::string letters;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return letters;
}

} // namespace

std::string WorldFileText(const Calibration& c, MapSize size)
{
    const double A = (c.position[1].lon - c.position[0].lon) / (c.pixel[1].x - c.pixel[0].x);
    const double E = -(c.position[1].lat - c.position[0].lat) / (c.pixel[1].y - c.pixel[0].y);
    const GeoPoint topLeft = c.PositionAt({0.0, static_cast<double>(size.height)});
    std::string text;
    for (const double value : {A, 0.0, 0.0, E, topLeft.lon, topLeft.lat})
        text += ShortestDecimal(value) + kLineEnd;
    return text;
}

std::string_view Wgs84PrjText()
{
    return kWgs84Wkt;
}

Exchange<Georeference> ReadWorldFile(std::istream& in)
{
    double values[6] = {};
    std::string texts[6];
    for (int i = 0; i < 6; ++i)
    {
        const std::string lineName = InLanguage("Zeile ", "line ") + std::to_string(i + 1);
        switch (ReadBoundedLine(in, texts[i]))
        {
        case LineRead::End:
            return ExchangeError{ExchangeFault::MissingField, lineName};
        case LineRead::TooLong:
            return ExchangeError{ExchangeFault::LineTooLong, std::to_string(i + 1)};
        case LineRead::Line:
            break;
        }
        if (i == 0)
            texts[0] = std::string(WithoutByteOrderMark(texts[0]));
        const std::optional<double> value = StrictNumber(texts[i]);
        if (!value)
            return ExchangeError{ExchangeFault::BadNumber, lineName, std::string(TrimBlanks(texts[i]))};
        values[i] = *value;
    }
    const auto [A, D, B, E, C, F] = values;
    if (D != 0.0 || B != 0.0)
        return ExchangeError{ExchangeFault::Rotated, InLanguage("Drehterme ", "rotation terms ") +
                                                         std::string(TrimBlanks(texts[1])) + ", " +
                                                         std::string(TrimBlanks(texts[2]))};
    Georeference g;
    g.u[0] = g.v[0] = 0.5;
    g.u[1] = g.v[1] = 1.5;
    g.position[0] = {C, F};
    g.position[1] = {C + A, F + E};
    return g;
}

std::optional<ExchangeError> CheckPrj(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty())
        return std::nullopt;
    const std::size_t bracket = text.find_first_of("[(");
    const std::string keyword = Letters(text.substr(0, bracket));
    const std::string letters = Letters(text);
    const bool bGeographic =
        keyword == "GEOGCS" || keyword == "GEOGCRS" || keyword == "GEODCRS" || keyword == "GEOGRAPHICCRS";
    const bool bWgs84 = letters.find("WGS84") != std::string::npos || letters.find("WGS1984") != std::string::npos ||
                        letters.find("WORLDGEODETICSYSTEM1984") != std::string::npos;
    if (bGeographic && bWgs84)
        return std::nullopt;
    // Named by its first quoted name: "WGS 84 / UTM zone 32N".
    std::string name = keyword.empty() ? std::string("?") : keyword;
    const std::size_t open = text.find('"');
    const std::size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
    if (close != std::string_view::npos && close - open > 1)
        name = std::string(text.substr(open + 1, std::min<std::size_t>(close - open - 1, 80)));
    return ExchangeError{ExchangeFault::NotWgs84Prj, name};
}

} // namespace calibration
