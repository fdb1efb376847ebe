#include "conversion/position_converter.h"

#include <cmath>

#include "geodesy/utm.h"

namespace conversion
{

namespace
{

// The converter's own factors (see coord_converter.cpp): a position handed in
// as degrees goes in as the dialog's degrees do.
const double kRadToDeg = 180.0 / (4.0 * std::atan(1.0));

} // namespace

CUtmStateScope::CUtmStateScope()
{
    geodesy::GetUtmParameters(m_a, m_f, m_zoneOverride);
}

CUtmStateScope::~CUtmStateScope()
{
    geodesy::SetUtmParameters(m_a, m_f, m_zoneOverride);
}

CPositionConverter::CPositionConverter()
{
    // Making a converter selects WGS84, which sets the UTM parameters too.
    const CUtmStateScope scope;
    m_converter = std::make_unique<CCoordConverter>();
}

CPositionConverter::~CPositionConverter() = default;

bool CPositionConverter::Express(Wgs84Degrees position, std::int32_t datum, std::int32_t format, EntryValues& values)
{
    return Run(
        [&](CCoordConverter& converter)
        {
            // In as WGS84 decimal degrees, out through the from-WGS84 path.
            EntryValues in;
            for (int p = 0; p < 2; ++p)
            {
                in.m_nHemisphere[p][0] = position.lon < 0.0 ? 1 : 0;
                in.m_nHemisphere[p][1] = position.lat < 0.0 ? 1 : 0;
                in.m_dDegree[p][0] = std::fabs(position.lon);
                in.m_dDegree[p][1] = std::fabs(position.lat);
            }
            converter.SelectDatum(DATUM_WGS84);
            if (!ConvertEntryToWgs84(converter, FORMAT_DEC_DEGREE, in.Fields()))
                return false;
            converter.SelectDatum(datum);
            EntryValues out = values;
            if (!ConvertWgs84ToEntry(converter, format, out.Fields()))
                return false;
            values = out;
            return true;
        });
}

std::optional<Wgs84Degrees> CPositionConverter::ToWgs84(const EntryValues& values, std::int32_t datum,
                                                        std::int32_t format, std::optional<PositionFault>* fault)
{
    return Run(
        [&](CCoordConverter& converter) -> std::optional<Wgs84Degrees>
        {
            EntryValues in = values;
            in.CopyPoint(0, 1);
            converter.SelectDatum(datum);
            ConvertEntryToWgs84(converter, format, in.Fields());
            if (fault != nullptr)
                *fault = converter.Fault(0);
            if (converter.Fault(0))
                return std::nullopt;
            const double* wgs84 = converter.Wgs84Position(0);
            return Wgs84Degrees{wgs84[0] * kRadToDeg, wgs84[1] * kRadToDeg};
        });
}

} // namespace conversion
