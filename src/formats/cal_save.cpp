#include "formats/cal_save.h"

#include <cmath>

#include "formats/file_names.h"

namespace formats
{

std::optional<std::pair<int, PositionFault>> FirstPositionFault(const CCoordConverter& converter)
{
    for (int p = 0; p < 2; ++p)
        if (const std::optional<PositionFault>& fault = converter.Fault(p))
            return std::pair{p, *fault};
    return std::nullopt;
}

std::vector<SaveCheck> ChecksBeforeFileChoice(const CalValues& values, const CCoordConverter& converter)
{
    std::vector<SaveCheck> checks;
    if (values.m_strMapName != BaseName(values.m_strBmpFileName))
        checks.push_back({true, MSG_FILE_AND_MAP_NAME, {}});
    if (!converter.CheckPixelRelation(values.m_nPixel))
        checks.push_back({false, MSG_PIXEL_COORD_RELATION, {}});
    return checks;
}

std::optional<SaveCheck> OverwriteCheck(std::string_view path, bool bExists)
{
    if (!bExists)
        return std::nullopt;
    return SaveCheck{true, MSG_FILE_EXISTS, std::string(FileNameOfPath(path))};
}

std::optional<SaveCheck> CalNameCheck(const CalValues& values, std::string_view path)
{
    if (BaseName(values.m_strBmpFileName) == BaseName(FileNameOfPath(path)))
        return std::nullopt;
    return SaveCheck{true, MSG_CAL_AND_BMP_NAME, {}};
}

std::optional<MessageId> TakeFilePositions(CCoordConverter& converter, CalValues& values)
{
    converter.SelectDatum(DATUM_WGS84);
    // A position beyond a whole turn (stored degrees are taken unchecked)
    // has no degrees and minutes: the file would get 0°0' in its place.
    if (!converter.Wgs84ToDegMin(values.m_nHemisphere, values.m_nDegree, values.m_dMinute))
        return MSG_VALUE_TOO_LARGE;
    // An infinite height difference (a loaded file's number beyond every
    // double) would be written as "inf", which reads back as 0.
    if (!std::isfinite(values.m_dHeightDiff))
        return values.m_dHeightDiff > 0.0 ? MSG_VALUE_TOO_LARGE : MSG_VALUE_TOO_SMALL;
    return std::nullopt;
}

} // namespace formats
