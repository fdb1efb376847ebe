#include "conversion/entry_fields.h"

#include "conversion/numeric_text.h"

std::optional<MessageId> CheckDoubleField(std::string_view text, double minValue, double maxValue, double& out)
{
    double value = 0.0;
    if (!ParseDouble(text.substr(0, kMaxFieldText), value))
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
    std::int32_t value = 0;
    if (!ParseInt(text.substr(0, kMaxFieldText), value))
        return MSG_FORBIDDEN_CHARS;
    if (value < 0)
        return MSG_VALUE_TOO_SMALL;
    if (maxValue >= 1 && value > maxValue)
        return MSG_VALUE_TOO_LARGE;
    out = value;
    return std::nullopt;
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
