#include "calibration/gpx.h"

#include "calibration/xml_text.h"

namespace calibration
{

Exchange<std::string> GpxText(const Calibration& calibration, std::string_view mapName)
{
    CXmlText xml;
    xml.Start("gpx");
    xml.Attribute("version", "1.1");
    xml.Attribute("creator", "Kartora");
    xml.Attribute("xmlns", "http://www.topografix.com/GPX/1/1");
    for (int p = 0; p < 2; ++p)
    {
        xml.Start("wpt");
        xml.Attribute("lat", ShortestDecimal(calibration.position[p].lat));
        xml.Attribute("lon", ShortestDecimal(calibration.position[p].lon));
        xml.Element("name", std::string(mapName) + " Ref." + std::to_string(p + 1));
        xml.End();
    }
    xml.End();
    std::optional<std::string> text = xml.Finish();
    if (!text)
        return ExchangeError{ExchangeFault::WriteFailed, "XML"};
    return *text;
}

} // namespace calibration
