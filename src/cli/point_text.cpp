#include "cli/point_text.h"

#include <cctype>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/reporting.h"
#include "conversion/numeric_text.h"

using namespace conversion;

namespace cli
{

namespace
{

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The blank-separated tokens of `text`. A plain loop: the library's
// find_first_of searches the set of blanks once per character, which made it
// the largest cost of converting a batch of points.
std::vector<std::string_view> Tokens(std::string_view text)
{
    std::vector<std::string_view> tokens;
    tokens.reserve(8); // the most a point has
    std::size_t pos = 0;
    while (pos < text.size())
    {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !IsBlank(text[pos]))
            ++pos;
        if (pos > start)
            tokens.push_back(text.substr(start, pos - start));
    }
    return tokens;
}

// The syntax a format expects, in the current language.
std::string Syntax(std::int32_t format)
{
    return CliText(static_cast<CliTextId>(TXT_SYNTAX_DEG + format));
}
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

// The name of a field in a message, e.g. "latitude minutes", "easting".
struct FieldName
{
    CliTextId value;
    CliTextId unit = TXT_COUNT; // none
};

FieldName AngleField(int axis, CliTextId unit = TXT_COUNT)
{
    return FieldName{axis == 0 ? TXT_LONGITUDE : TXT_LATITUDE, unit};
}

// Reads the tokens of one format; the first failed check ends it, with the
// name of the field and the dialog's message for it.
class PointReader
{
public:
    PointReader(const std::vector<std::string_view>& tokens, std::int32_t format) : m_tokens(tokens), m_format(format)
    {
    }

    void Double(double& out, double maxValue, FieldName name)
    {
        if (!m_error)
            Check(name, CheckDoubleField(Next(), 0.0, maxValue, out));
    }
    void Int(std::int32_t& out, std::int32_t maxValue, FieldName name)
    {
        if (!m_error)
            Check(name, CheckIntField(Next(), maxValue, out));
    }
    // A minutes or seconds field, checked with the fields of its angle before it.
    template <class Value> void Minutes(Value& out, const AngleBefore& angle, FieldName name)
    {
        if (!m_error)
            Check(name, CheckMinutesField(Next(), angle, out));
    }
    void Seconds(double& out, const AngleBefore& angle, FieldName name)
    {
        if (!m_error)
            Check(name, CheckSecondsField(Next(), angle, out));
    }
    void Hemisphere(std::int32_t& out, int axis)
    {
        if (m_error)
            return;
        const std::string_view token = Next();
        if (const auto flag = ParseHemisphere(token, axis))
            out = *flag;
        else
            m_error = CliText(TXT_BAD_HEMISPHERE, Shown(token, kShownInputBytes)) + ": " + Syntax(m_format);
    }

    const std::optional<std::string>& Error() const { return m_error; }

private:
    std::string_view Next() { return m_tokens[m_next++]; }
    void Check(FieldName name, std::optional<MessageId> failure)
    {
        if (!failure)
            return;
        std::string text = CliText(name.value);
        if (name.unit != TXT_COUNT)
            text += " " + CliText(name.unit);
        m_error = text + ": " + GetMessageText(*failure, "");
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
        return CliText(TXT_UNKNOWN_FORMAT, std::to_string(format));
    const std::vector<std::string_view> tokens = Tokens(text);
    if (tokens.size() != kTokenCount[format])
        return Syntax(format);

    PointReader reader(tokens, format);
    const double maxDegrees[2] = {kMaxLongitudeDegrees, kMaxLatitudeDegrees};
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        for (int axis = 0; axis < 2; ++axis)
        {
            reader.Double(values.m_dDegree[p][axis], maxDegrees[axis], AngleField(axis));
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_DEC_MINUTE:
        for (int axis = 0; axis < 2; ++axis)
        {
            const std::int32_t& degrees = values.m_nDegree[p][axis];
            reader.Int(values.m_nDegree[p][axis], static_cast<std::int32_t>(maxDegrees[axis]),
                       AngleField(axis, TXT_DEGREES));
            reader.Minutes(values.m_dMinute[p][axis], AngleBefore{maxDegrees[axis], degrees},
                           AngleField(axis, TXT_MINUTES));
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_DEC_SECOND:
        for (int axis = 0; axis < 2; ++axis)
        {
            const std::int32_t& degrees = values.m_nDegree[p][axis];
            const std::int32_t& minutes = values.m_nMinute[p][axis];
            reader.Int(values.m_nDegree[p][axis], static_cast<std::int32_t>(maxDegrees[axis]),
                       AngleField(axis, TXT_DEGREES));
            reader.Minutes(values.m_nMinute[p][axis], AngleBefore{maxDegrees[axis], degrees},
                           AngleField(axis, TXT_MINUTES));
            reader.Seconds(values.m_dSecond[p][axis], AngleBefore{maxDegrees[axis], degrees, minutes},
                           AngleField(axis, TXT_SECONDS));
            reader.Hemisphere(values.m_nHemisphere[p][axis], axis);
        }
        break;
    case FORMAT_UTM:
        reader.Int(values.m_nZone[p], kMaxZone, FieldName{TXT_ZONE});
        reader.Hemisphere(values.m_nHemisphere[p][1], 1);
        reader.Int(values.m_nUtm[p][0], kMaxEasting, FieldName{TXT_EASTING});
        reader.Int(values.m_nUtm[p][1], kMaxNorthing, FieldName{TXT_NORTHING});
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

} // namespace cli
