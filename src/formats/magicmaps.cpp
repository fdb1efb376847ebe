#include "formats/magicmaps.h"

#include "conversion/numeric_text.h"
#include "formats/text_lines.h"

#include <cmath>
#include <istream>
#include <string>
#include <string_view>

using namespace conversion;

namespace formats
{

int ReadMagicMapsPoints(std::istream& file, std::int32_t hemisphere[2][2], double degree[2][2])
{
    std::int32_t nHemisphere[2][2] = {};
    double dDegree[2][2] = {};
    int nLines = 0;
    std::string strLine;
    while (nLines < 2 && ReadBoundedLine(file, strLine) == LineRead::Line)
    {
        const std::string_view line = nLines == 0 ? WithoutByteOrderMark(strLine) : std::string_view(strLine);
        const std::size_t nComma = line.find(',');
        const double dLatitude = nComma == std::string_view::npos ? 0.0 : ScanLeadingDouble(line.substr(0, nComma));
        const double dLongitude =
            nComma == std::string_view::npos ? ScanLeadingDouble(line) : ScanLeadingDouble(line.substr(nComma + 1));

        // Magnitude and sign flag; -0 is not below 0 and stays east or north.
        const int p = nLines++;
        dDegree[p][1] = std::fabs(dLatitude);
        nHemisphere[p][1] = dLatitude < 0.0 ? 1 : 0;
        dDegree[p][0] = std::fabs(dLongitude);
        nHemisphere[p][0] = dLongitude < 0.0 ? 1 : 0;
    }
    if (nLines == 2)
    {
        for (int p = 0; p < 2; ++p)
        {
            for (int axis = 0; axis < 2; ++axis)
            {
                hemisphere[p][axis] = nHemisphere[p][axis];
                degree[p][axis] = dDegree[p][axis];
            }
        }
    }
    return nLines;
}

MagicMapsLineCheck CheckMagicMapsLine(std::string_view line)
{
    const std::size_t nComma = line.find(',');
    if (nComma == std::string_view::npos)
        return MagicMapsLineCheck::NotTwoNumbers;
    const std::string_view latitude = TrimBlanks(line.substr(0, nComma));
    const std::string_view rest = line.substr(nComma + 1);
    const std::size_t nLongitude = LeadingDoubleLength(rest);
    const bool bLongitudeEnds = nLongitude == rest.size() || IsBlank(rest[nLongitude]) || rest[nLongitude] == ',';
    if (latitude.empty() || LeadingDoubleLength(latitude) != latitude.size() || nLongitude == 0 || !bLongitudeEnds)
        return MagicMapsLineCheck::NotTwoNumbers;
    // Written so that an infinite value fails too.
    if (!(std::fabs(ScanLeadingDouble(latitude)) <= 90.0))
        return MagicMapsLineCheck::LatitudeTooLarge;
    if (!(std::fabs(ScanLeadingDouble(rest)) <= 180.0))
        return MagicMapsLineCheck::LongitudeTooLarge;
    return MagicMapsLineCheck::Valid;
}

} // namespace formats
