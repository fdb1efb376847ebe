#include "conversion/entry_fields.h"

#include <algorithm>

#include "conversion/numeric_text.h"

namespace conversion
{

namespace
{

// Characters of a UTF-8 text: every byte but the continuation bytes
// 10xxxxxx, which carry the rest of a character that started before them.
std::size_t CharacterCount(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The minutes that an angle's whole degrees leave below its limit. Exact:
// both are whole numbers, and so is their difference times 60.
double MinutesLeft(const AngleBefore& angle)
{
    return (angle.maxDegrees - angle.degrees) * 60.0;
}

// The value of a minutes or seconds field that passed its own check (no
// `failure`) goes to `out` when it stays within the `room` that its angle's
// fields before it leave.
template <class Value>
std::optional<MessageId> StoreWithin(std::optional<MessageId> failure, Value value, double room, Value& out)
{
    if (failure)
        return failure;
    if (value > room)
        return MSG_VALUE_TOO_LARGE;
    out = value;
    return std::nullopt;
}

} // namespace

std::optional<MessageId> CheckDoubleField(std::string_view text, double minValue, double maxValue, double& out)
{
    if (CharacterCount(text) > kMaxFieldText)
        return MSG_STRING_TOO_LONG;
    double value = 0.0;
    if (!ParseDouble(text, value))
        return MSG_FORBIDDEN_CHARS;
    if (value < minValue)
        return MSG_VALUE_TOO_SMALL;
    if (value > maxValue)
        return MSG_VALUE_TOO_LARGE;
    out = value;
    return std::nullopt;
}

std::optional<MessageId> CheckIntField(std::string_view text, std::int32_t maxValue, std::int32_t& out)
{
    if (CharacterCount(text) > kMaxFieldText)
        return MSG_STRING_TOO_LONG;
    std::int32_t value = 0;
    if (!ParseInt(text, value))
        return MSG_FORBIDDEN_CHARS;
    if (value < 0)
        return MSG_VALUE_TOO_SMALL;
    if (maxValue >= 1 && value > maxValue)
        return MSG_VALUE_TOO_LARGE;
    out = value;
    return std::nullopt;
}

std::optional<MessageId> CheckMinutesField(std::string_view text, const AngleBefore& angle, double& out)
{
    double value = 0.0;
    const auto failure = CheckDoubleField(text, 0.0, kMaxMinutes, value);
    return StoreWithin(failure, value, MinutesLeft(angle), out);
}

std::optional<MessageId> CheckMinutesField(std::string_view text, const AngleBefore& angle, std::int32_t& out)
{
    std::int32_t value = 0;
    const auto failure = CheckIntField(text, static_cast<std::int32_t>(kMaxMinutes), value);
    return StoreWithin(failure, value, MinutesLeft(angle), out);
}

std::optional<MessageId> CheckSecondsField(std::string_view text, const AngleBefore& angle, double& out)
{
    double value = 0.0;
    const auto failure = CheckDoubleField(text, 0.0, kMaxSeconds, value);
    return StoreWithin(failure, value, (MinutesLeft(angle) - angle.minutes) * 60.0, out);
}

bool ConvertEntryToWgs84(CCoordConverter& converter, std::int32_t format, const EntryFields& fields)
{
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        return converter.DegreesToWgs84(fields.m_nHemisphere, fields.m_dDegree);
    case FORMAT_DEC_MINUTE:
        return converter.DegMinToWgs84(fields.m_nHemisphere, fields.m_nDegree, fields.m_dMinute);
    case FORMAT_DEC_SECOND:
        return converter.DegMinSecToWgs84(fields.m_nHemisphere, fields.m_nDegree, fields.m_nMinute, fields.m_dSecond);
    case FORMAT_UTM:
    {
        const std::int32_t south[2] = {fields.m_nHemisphere[0][1], fields.m_nHemisphere[1][1]};
        return converter.UtmToWgs84(south, fields.m_nZone, fields.m_nUtm);
    }
    default:
        return false;
    }
}

bool ConvertWgs84ToEntry(const CCoordConverter& converter, std::int32_t format, const EntryFields& fields)
{
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        return converter.Wgs84ToDegrees(fields.m_nHemisphere, fields.m_dDegree);
    case FORMAT_DEC_MINUTE:
        return converter.Wgs84ToDegMin(fields.m_nHemisphere, fields.m_nDegree, fields.m_dMinute);
    case FORMAT_DEC_SECOND:
        return converter.Wgs84ToDegMinSec(fields.m_nHemisphere, fields.m_nDegree, fields.m_nMinute, fields.m_dSecond);
    case FORMAT_UTM:
    {
        std::int32_t south[2] = {fields.m_nHemisphere[0][1], fields.m_nHemisphere[1][1]};
        const bool ok = converter.Wgs84ToUtm(south, fields.m_nZone, fields.m_nUtm);
        fields.m_nHemisphere[0][1] = south[0];
        fields.m_nHemisphere[1][1] = south[1];
        return ok;
    }
    default:
        return false;
    }
}

} // namespace conversion
