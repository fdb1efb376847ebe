#include "calibration/exchange.h"

#include <charconv>
#include <cmath>

#include "conversion/numeric_text.h"
#include "messages/messages.h"

using namespace conversion;

namespace calibration
{

namespace
{

struct FaultText
{
    ExchangeFault fault;
    const char* german;
    const char* english;
};

constexpr FaultText kFaultTexts[] = {
    {ExchangeFault::CannotOpen, "kann nicht geöffnet werden: %1", "cannot be opened: %1"},
    {ExchangeFault::UnknownKind,
     "keine Datei, die Kartora einliest: erwartet ein World-File (.bpw, .bmpw, .wld, .tfw, .jgw, .pgw), eine "
     "OziExplorer-.map-Datei, .kml oder .kmz",
     "not a file Kartora imports: expected a world file (.bpw, .bmpw, .wld, .tfw, .jgw, .pgw), an OziExplorer .map "
     "file, .kml or .kmz"},
    {ExchangeFault::UnknownExportKind,
     "keine Datei, die Kartora schreibt: Wählen Sie .bpw oder .wld (World-File), .map (OziExplorer), .kml, .kmz "
     "oder .gpx",
     "not a file Kartora writes: choose .bpw or .wld (world file), .map (OziExplorer), .kml, .kmz or .gpx"},
    {ExchangeFault::LineTooLong, "Zeile %1 ist zu lang: keine Datei dieser Art",
     "line %1 is too long: not a file of this kind"},
    {ExchangeFault::TooLarge, "größer als %1 MiB: keine Datei dieser Art",
     "larger than %1 MiB: not a file of this kind"},
    {ExchangeFault::MissingField, "%1 fehlt", "%1 is missing"},
    {ExchangeFault::BadNumber, "%1: \"%2\" ist keine Zahl im erlaubten Bereich",
     "%1: \"%2\" is no number in the allowed range"},
    {ExchangeFault::NotOziMap,
     "keine OziExplorer-Kartendatei: Die erste Zeile muss \"OziExplorer Map Data File\" lauten",
     "not an OziExplorer map file: its first line must read \"OziExplorer Map Data File\""},
    {ExchangeFault::NotWgs84Prj,
     "die .prj-Datei beschreibt %1, keine geographischen Koordinaten in WGS 84; Kartora errät keine Projektionen",
     "the .prj file describes %1, not geographic WGS 84 coordinates; Kartora does not guess projections"},
    {ExchangeFault::OutsideRange,
     "Koordinaten außerhalb von ±180° Länge und ±90° Breite: keine geographischen Koordinaten in WGS 84; Kartora errät "
     "keine Projektionen",
     "coordinates outside ±180° longitude and ±90° latitude: not geographic WGS 84 coordinates; Kartora does not "
     "guess projections"},
    {ExchangeFault::Rotated, "die Karte ist gegen Norden gedreht (%1); die Kalibrierung des Geräts kennt keine Drehung",
     "the map is rotated against north (%1); the device's calibration has no rotation"},
    {ExchangeFault::UnknownDatum,
     "das Datum \"%1\" kennt Kartora nicht (bekannt: WGS 84, European 1950, Potsdam Rauenberg DHDN)",
     "the datum \"%1\" is not one Kartora knows (WGS 84, European 1950, Potsdam Rauenberg DHDN)"},
    {ExchangeFault::TooFewPoints,
     "weniger als zwei Kalibrierpunkte mit Breite und Länge, deren Pixel sich in x und y unterscheiden",
     "fewer than two calibration points with latitude and longitude whose pixels differ in x and in y"},
    {ExchangeFault::PointOutsideMap, "Kalibrierpunkt %1 liegt außerhalb der Karte",
     "calibration point %1 lies outside the map"},
    {ExchangeFault::NotKml, "keine KML-Datei: %1", "not a KML file: %1"},
    {ExchangeFault::NoGroundOverlay, "kein GroundOverlay mit LatLonBox in der Datei",
     "no GroundOverlay with a LatLonBox in the file"},
    {ExchangeFault::NoLatLonBox,
     "das GroundOverlay ist durch vier Ecken (LatLonQuad) platziert, nicht durch eine LatLonBox: Die Karte ist "
     "verzerrt oder gedreht",
     "the GroundOverlay is placed by four corners (LatLonQuad), not by a LatLonBox: the map is skewed or rotated"},
    {ExchangeFault::CrossesDateLine,
     "die Karte überquert den 180. Längengrad, den eine .CAL-Datei nicht beschreiben kann",
     "the map crosses the 180° meridian, which a .CAL file cannot describe"},
    {ExchangeFault::NotZip, "keine KMZ-Datei (Zip-Archiv): %1", "not a KMZ file (zip archive): %1"},
    {ExchangeFault::NoKmlInZip, "das KMZ-Archiv enthält keine .kml-Datei", "the KMZ archive holds no .kml file"},
    {ExchangeFault::NoCalibration,
     "die Punkte bestimmen keine Kalibrierung (gleiche Pixelspalte oder -zeile, gleiche Länge oder Breite)",
     "the points define no calibration (same pixel column or row, same longitude or latitude)"},
    {ExchangeFault::NoMapSize,
     "die Größe der Karte ist unbekannt: Kein BMP-File liegt neben der Datei, und sie nennt keine Größe",
     "the map's size is unknown: no BMP file lies beside the file, and the file states no size"},
    {ExchangeFault::NotABmp, "%1 ist kein lesbares BMP-File", "%1 is not a readable BMP file"},
    {ExchangeFault::SizeMismatch, "die Karte ist %1 Pixel groß, die Datei nennt %2",
     "the map is %1 pixels, the file states %2"},
    {ExchangeFault::NotExportable,
     "die Datei beschreibt keine Karte, die andere Programme lesen: Pixel und Koordinaten laufen gegeneinander oder "
     "die Punkte teilen eine Pixelspalte, -zeile, Länge oder Breite (kartora-cli cal check sagt mehr)",
     "the file describes no map other programs read: its pixels and coordinates run against each other, or the "
     "points share a pixel column, row, longitude or latitude (kartora-cli cal check tells more)"},
    {ExchangeFault::NoPosition, "Punkt %1 hat keine Position in WGS84", "point %1 has no position in WGS84"},
    {ExchangeFault::NeedsImage, "KMZ braucht die Karte als PNG: Dieses Programm wurde ohne die Qt-Schichten gebaut",
     "KMZ needs the map converted to PNG: this program was built without the Qt layers"},
    {ExchangeFault::MapNotReadable,
     "das Bitmap der Karte ist nicht zu lesen; seine Größe legt die Karte fest: Öffnen Sie es mit „Ref.von Karte“",
     "the map's bitmap cannot be read, and its size places the map: open it with \"Ref.from Map\""},
    {ExchangeFault::WriteFailed, "die Datei konnte nicht erzeugt werden: %1", "the file could not be made: %1"},
};

} // namespace

std::string ExchangeErrorText(const ExchangeError& error)
{
    for (const FaultText& entry : kFaultTexts)
    {
        if (entry.fault != error.fault)
            continue;
        std::string text = g_nLanguage == 1 ? entry.english : entry.german;
        // One pass per mark, so that an insert holding "%2" stays as it is.
        if (const std::size_t at = text.find("%1"); at != std::string::npos)
        {
            text.replace(at, 2, error.insert);
            if (const std::size_t at2 = text.find("%2", at + error.insert.size()); at2 != std::string::npos)
                text.replace(at2, 2, error.insert2);
        }
        return text;
    }
    return {};
}

std::optional<double> StrictNumber(std::string_view text)
{
    text = TrimBlanks(text);
    // from_chars takes no "+"; a second sign after it would then be taken.
    if (text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || !(text.front() == '-' || text.front() == '.' || (text.front() >= '0' && text.front() <= '9')))
        return std::nullopt;
    // Only decimal forms: from_chars would also take "infinity" and "nan".
    if (text.find_first_not_of("0123456789.-+eE") != std::string_view::npos)
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string ShortestDecimal(double value)
{
    if (value == 0.0)
        return "0";
    char buffer[400]; // the longest fixed double is about 330 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string InLanguage(const char* german, const char* english)
{
    return g_nLanguage == 1 ? english : german;
}

std::string_view LastPathComponent(std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

} // namespace calibration
