#include "cli/point_text.h"

#include <cctype>
#include <vector>

#include "conversion/numeric_text.h"

namespace
{

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string_view> Tokens(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    while ((pos = text.find_first_not_of(kBlanks, pos)) != std::string_view::npos)
    {
        const std::size_t end = text.find_first_of(kBlanks, pos);
        tokens.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return tokens;
}

constexpr const char* kSyntax[kFormatCount] = {
    "expected LON E|W LAT N|S, e.g. 10.5 E 53.25 N",
    "expected D M E|W D M N|S, e.g. 10 30 E 53 15 N",
    "expected D M S E|W D M S N|S, e.g. 10 30 0 E 53 15 0 N",
    "expected ZONE N|S EASTING NORTHING, e.g. 32 N 500000 5900000",
};
constexpr std::size_t kTokenCount[kFormatCount] = {4, 6, 8, 4};

// Hemisphere flag of a letter on the longitude (east/west) or the latitude
// (north/south) axis.
std::optional<std::int32_t> ParseHemisphere(std::string_view token, int axis)
{
    const std::string letter = Lower(token);
    if (axis == 0 && (letter == "e" || letter == "o"))
        return 0;
    if (axis == 0 && letter == "w")
        return 1;
    if (axis == 1 && letter == "n")
        return 0;
    if (axis == 1 && letter == "s")
        return 1;
    return std::nullopt;
}

const char* HemisphereLetter(std::int32_t flag, int axis)
{
    if (axis == 0)
        return flag != 0 ? "W" : "E";
    return flag != 0 ? "S" : "N";
}

// Reads the tokens of one format; the first failed check ends it.
class PointReader
{
public:
    PointReader(const std::vector<std::string_view>& tokens, std::int32_t format) : m_tokens(tokens), m_format(format)
    {
    }

    void Double(double& out, double maxValue)
    {
        if (!m_error)
            Check(CheckDoubleField(Next(), 0.0, maxValue, out));
    }
    void Int(std::int32_t& out, std::int32_t maxValue)
    {
        if (!m_error)
            Check(CheckIntField(Next(), maxValue, out));
    }
    void Hemisphere(std::int32_t& out, int axis)
    {
        if (m_error)
            return;
        const std::string_view token = Next();
        if (const auto flag = ParseHemisphere(token, axis))
            out = *flag;
        else
            m_error = std::string("bad hemisphere letter \"") + std::string(token) + "\": " + kSyntax[m_format];
    }

    const std::optional<std::string>& Error() const { return m_error; }

private:
    std::string_view Next() { return m_tokens[m_next++]; }
    void Check(std::optional<MessageId> failure)
    {
        if (failure)
            m_error = GetMessageText(*failure, "");
    }

    const std::vector<std::string_view>& m_tokens;
    std::int32_t m_format;
    std::size_t m_next = 0;
    std::optional<std::string> m_error;
};

} // namespace

std::optional<std::int32_t> ParseFormatName(std::string_view name)
{
    constexpr const char* kShortNames[kFormatCount] = {"deg", "dm", "dms", "utm"};
    const std::string lower = Lower(name);
    for (std::int32_t format = 0; format < kFormatCount; ++format)
    {
        if (lower == kShortNames[format] || lower == Lower(g_formatNames[format]))
            return format;
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseDatumName(std::string_view name)
{
    const std::string lower = Lower(name);
    for (std::int32_t datum = 0; datum < kDatumCount; ++datum)
    {
        if (lower == Lower(g_datumNames[datum]))
            return datum;
    }
    return std::nullopt;
}

std::optional<std::string> ParsePoint(std::int32_t format, std::string_view text, EntryValues& values, int p)
{
    if (format < 0 || format >= kFormatCount)
        return std::string("unknown format");
    const std::vector<std::string_view> tokens = Tokens(text);
    if (tokens.size() != kTokenCount[format])
        return std::string(kSyntax[format]);

    PointReader reader(tokens, format);
    const double maxDegrees[2] = {kMaxLongitudeDegrees, kMaxLatitudeDegrees};
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        for (int axis = 0; axis < 2; ++axis)
        {
            reader.Double(values.m_dDegree[p][axis], maxDegrees[axis]);
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_DEC_MINUTE:
        for (int axis = 0; axis < 2; ++axis)
        {
            reader.Int(values.m_nDegree[p][axis], static_cast<std::int32_t>(maxDegrees[axis]));
            reader.Double(values.m_dMinute[p][axis], kMaxMinutes);
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_DEC_SECOND:
        for (int axis = 0; axis < 2; ++axis)
        {
            reader.Int(values.m_nDegree[p][axis], static_cast<std::int32_t>(maxDegrees[axis]));
            reader.Int(values.m_nMinute[p][axis], static_cast<std::int32_t>(kMaxMinutes));
            reader.Double(values.m_dSecond[p][axis], kMaxSeconds);
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_UTM:
        reader.Int(values.m_nZone[p], kMaxZone);
        reader.Hemisphere(values.m_nHemisphere[p][1], 1);
        reader.Int(values.m_nUtm[p][0], kMaxEasting);
        reader.Int(values.m_nUtm[p][1], kMaxNorthing);
        break;
    }
    return reader.Error();
}

std::string FormatPoint(std::int32_t format, const EntryValues& values, int p)
{
    std::string text;
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        for (int axis = 0; axis < 2; ++axis)
            text += (axis ? " " : "") + FormatFixed(values.m_dDegree[p][axis], kDegreeDecimals) + " " +
                    HemisphereLetter(values.m_nHemisphere[p][axis], axis);
        break;
    case FORMAT_DEC_MINUTE:
        for (int axis = 0; axis < 2; ++axis)
            text += (axis ? " " : "") + FormatInt(values.m_nDegree[p][axis]) + " " +
                    FormatFixed(values.m_dMinute[p][axis], kMinuteDecimals) + " " +
                    HemisphereLetter(values.m_nHemisphere[p][axis], axis);
        break;
    case FORMAT_DEC_SECOND:
        for (int axis = 0; axis < 2; ++axis)
            text += (axis ? " " : "") + FormatInt(values.m_nDegree[p][axis]) + " " +
                    FormatInt(values.m_nMinute[p][axis]) + " " +
                    FormatFixed(values.m_dSecond[p][axis], kSecondDecimals) + " " +
                    HemisphereLetter(values.m_nHemisphere[p][axis], axis);
        break;
    case FORMAT_UTM:
        text = FormatInt(values.m_nZone[p]) + " " + HemisphereLetter(values.m_nHemisphere[p][1], 1) + " " +
               FormatInt(values.m_nUtm[p][0]) + " " + FormatInt(values.m_nUtm[p][1]);
        break;
    }
    return text;
}
