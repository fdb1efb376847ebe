#include "formats/magicmaps.h"

#include "conversion/numeric_text.h"

#include <cmath>
#include <istream>
#include <string>
#include <string_view>

int ReadMagicMapsPoints(std::istream& file, std::int32_t hemisphere[2][2], double degree[2][2])
{
    std::int32_t nHemisphere[2][2] = {};
    double dDegree[2][2] = {};
    int nLines = 0;
    std::string strLine;
    while (nLines < 2 && std::getline(file, strLine))
    {
        const std::string_view line = strLine;
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
