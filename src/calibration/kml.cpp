#include "calibration/kml.h"

#include <libxml/xmlreader.h>

#include <cmath>
#include <memory>

#include "calibration/xml_text.h"
#include "conversion/numeric_text.h"

using namespace conversion;

namespace calibration
{

namespace
{

constexpr const char* kBoxEdges[4] = {"north", "south", "east", "west"};

// libxml2 reports some faults (an encoding it cannot convert) through its
// generic error function, which writes to the error stream: the refusal
// says what is wrong, so they are silenced while a document is read.
void Ignore(void*, const char*, ...) {}

class CSilentGenericErrors
{
public:
    CSilentGenericErrors() : m_function(xmlGenericError), m_context(xmlGenericErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, Ignore);
    }
    ~CSilentGenericErrors() { xmlSetGenericErrorFunc(m_context, m_function); }
    CSilentGenericErrors(const CSilentGenericErrors&) = delete;
    CSilentGenericErrors& operator=(const CSilentGenericErrors&) = delete;

private:
    xmlGenericErrorFunc m_function;
    void* m_context;
};

struct ReaderDeleter
{
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

// The first error the parser reports, with its line.
void KeepFirstError(void* arg, const char* message, xmlParserSeverities, xmlTextReaderLocatorPtr locator)
{
    std::string& first = *static_cast<std::string*>(arg);
    if (!first.empty() || message == nullptr)
        return;
    first = InLanguage("Zeile ", "line ") + std::to_string(xmlTextReaderLocatorLineNumber(locator)) + ": " +
            std::string(TrimBlanks(message));
}

std::string LocalName(xmlTextReader* reader)
{
    const xmlChar* name = xmlTextReaderConstLocalName(reader);
    return name == nullptr ? std::string() : reinterpret_cast<const char*>(name);
}

// The text of the element the reader stands on.
std::string Text(xmlTextReader* reader)
{
    xmlChar* text = xmlTextReaderReadString(reader);
    if (text == nullptr)
        return {};
    std::string value(reinterpret_cast<const char*>(text));
    xmlFree(text);
    return value;
}

// What one GroundOverlay holds, as text.
struct Overlay
{
    int depth = -1;
    bool bBox = false;
    bool bQuad = false;
    std::optional<std::string> edges[4];
    std::optional<std::string> rotation;
    std::string href;
};

Exchange<Georeference> GeoreferenceOf(const Overlay& overlay)
{
    double edge[4] = {};
    for (int i = 0; i < 4; ++i)
    {
        const std::string name = std::string("LatLonBox ") + kBoxEdges[i];
        if (!overlay.edges[i])
            return ExchangeError{ExchangeFault::MissingField, name};
        const std::optional<double> value = StrictNumber(*overlay.edges[i]);
        if (!value)
            return ExchangeError{ExchangeFault::BadNumber, name, std::string(TrimBlanks(*overlay.edges[i]))};
        edge[i] = *value;
    }
    if (overlay.rotation)
    {
        const std::optional<double> rotation = StrictNumber(*overlay.rotation);
        if (!rotation)
            return ExchangeError{ExchangeFault::BadNumber, "LatLonBox rotation",
                                 std::string(TrimBlanks(*overlay.rotation))};
        if (*rotation != 0.0)
            return ExchangeError{ExchangeFault::Rotated,
                                 "rotation " + std::string(TrimBlanks(*overlay.rotation)) + "°"};
    }
    const auto [north, south, east, west] = edge;
    if (std::fabs(north) > 90.0 || std::fabs(south) > 90.0 || std::fabs(east) > 180.0 || std::fabs(west) > 180.0)
        return ExchangeError{ExchangeFault::OutsideRange};
    if (west > east)
        return ExchangeError{ExchangeFault::CrossesDateLine};
    Georeference g;
    g.bRelative = true;
    g.u[1] = g.v[1] = 1.0;
    g.position[0] = {west, north};
    g.position[1] = {east, south};
    g.imageName = std::string(LastPathComponent(TrimBlanks(overlay.href)));
    return g;
}

} // namespace

Exchange<std::string> KmlText(const Calibration& c, MapSize size, std::string_view name, std::string_view imageHref)
{
    const GeoPoint topLeft = c.PositionAt({-0.5, size.height + 0.5});
    const GeoPoint bottomRight = c.PositionAt({size.width - 0.5, 0.5});
    CXmlText xml;
    xml.Start("kml");
    xml.Attribute("xmlns", "http://www.opengis.net/kml/2.2");
    xml.Start("GroundOverlay");
    xml.Element("name", name);
    xml.Start("Icon");
    xml.Element("href", imageHref);
    xml.End();
    xml.Start("LatLonBox");
    xml.Element("north", ShortestDecimal(topLeft.lat));
    xml.Element("south", ShortestDecimal(bottomRight.lat));
    xml.Element("east", ShortestDecimal(bottomRight.lon));
    xml.Element("west", ShortestDecimal(topLeft.lon));
    xml.Element("rotation", "0");
    xml.End();
    xml.End();
    xml.End();
    std::optional<std::string> text = xml.Finish();
    if (!text)
        return ExchangeError{ExchangeFault::WriteFailed, "XML"};
    return *text;
}

Exchange<Georeference> ReadKml(std::string_view xml)
{
    if (xml.size() > kMaxKmlBytes)
        return ExchangeError{ExchangeFault::TooLarge, std::to_string(kMaxKmlBytes >> 20)};
    // No network, no entity substitution, no messages on the error stream.
    const CSilentGenericErrors silent;
    const std::unique_ptr<xmlTextReader, ReaderDeleter> reader(
        xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!reader)
        return ExchangeError{ExchangeFault::NotKml, "?"};
    std::string error;
    xmlTextReaderSetErrorHandler(reader.get(), KeepFirstError, &error);

    Overlay overlay;
    bool bQuadSeen = false;
    int boxDepth = -1;
    int iconDepth = -1;
    std::optional<Exchange<Georeference>> found;
    int result = 0;
    while ((result = xmlTextReaderRead(reader.get())) == 1)
    {
        const int type = xmlTextReaderNodeType(reader.get());
        const int depth = xmlTextReaderDepth(reader.get());
        if (type == XML_READER_TYPE_DOCUMENT_TYPE)
            return ExchangeError{ExchangeFault::NotKml, "<!DOCTYPE>"};
        if (found)
            continue; // to the end: a document cut short is no KML file
        if (type == XML_READER_TYPE_END_ELEMENT && depth == overlay.depth)
        {
            if (overlay.bBox)
            {
                found = GeoreferenceOf(overlay);
                continue;
            }
            bQuadSeen = bQuadSeen || overlay.bQuad;
            overlay = Overlay();
            continue;
        }
        if (type != XML_READER_TYPE_ELEMENT)
            continue;
        const std::string name = LocalName(reader.get());
        const bool bEmpty = xmlTextReaderIsEmptyElement(reader.get()) == 1;
        if (overlay.depth < 0)
        {
            if (name == "GroundOverlay" && !bEmpty)
            {
                overlay.depth = depth;
                boxDepth = iconDepth = -1;
            }
            continue;
        }
        if (name == "LatLonBox" && depth == overlay.depth + 1)
        {
            overlay.bBox = true;
            boxDepth = depth;
        }
        else if (name == "LatLonQuad")
            overlay.bQuad = true;
        else if (name == "Icon" && depth == overlay.depth + 1)
            iconDepth = depth;
        else if (name == "href" && iconDepth >= 0 && depth == iconDepth + 1)
            overlay.href = Text(reader.get());
        else if (boxDepth >= 0 && depth == boxDepth + 1)
        {
            for (int i = 0; i < 4; ++i)
                if (name == kBoxEdges[i])
                    overlay.edges[i] = Text(reader.get());
            if (name == "rotation")
                overlay.rotation = Text(reader.get());
        }
    }
    if (result < 0)
        return ExchangeError{ExchangeFault::NotKml,
                             error.empty() ? InLanguage("nicht lesbares XML", "unreadable XML") : error};
    if (found)
        return *found;
    return ExchangeError{bQuadSeen || overlay.bQuad ? ExchangeFault::NoLatLonBox : ExchangeFault::NoGroundOverlay};
}

} // namespace calibration
