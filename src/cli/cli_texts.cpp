#include "cli/cli_texts.h"

#include "messages/messages.h"

namespace cli
{

namespace
{

// German first, English second for every id, as in the catalogue.
constexpr const char* kTexts[2 * TXT_COUNT] = {
    // TXT_SYNTAX_DEG
    "erwartet LÄNGE E|W BREITE N|S, z. B. 10.5 E 53.25 N",
    "expected LON E|W LAT N|S, e.g. 10.5 E 53.25 N",
    // TXT_SYNTAX_DM
    "erwartet G M E|W G M N|S (Grad, Minuten), z. B. 10 30 E 53 15 N",
    "expected D M E|W D M N|S, e.g. 10 30 E 53 15 N",
    // TXT_SYNTAX_DMS
    "erwartet G M S E|W G M S N|S (Grad, Minuten, Sekunden), z. B. 10 30 0 E 53 15 0 N",
    "expected D M S E|W D M S N|S, e.g. 10 30 0 E 53 15 0 N",
    // TXT_SYNTAX_UTM
    "erwartet ZONE N|S RECHTSWERT HOCHWERT, z. B. 32 N 500000 5900000",
    "expected ZONE N|S EASTING NORTHING, e.g. 32 N 500000 5900000",
    // TXT_BAD_HEMISPHERE
    "falscher Buchstabe der Himmelsrichtung \"%1\"",
    "bad hemisphere letter \"%1\"",
    // TXT_UNKNOWN_FORMAT
    "unbekanntes Format \"%1\"",
    "unknown format \"%1\"",
    // TXT_UNKNOWN_DATUM
    "unbekanntes Datum \"%1\"",
    "unknown datum \"%1\"",
    // TXT_PIXEL_SYNTAX
    "erwartet X,Y, z. B. 120,840",
    "expected X,Y, e.g. 120,840",
    // TXT_CANNOT_OPEN
    "kann die Datei nicht öffnen: %1",
    "cannot open the file: %1",
    // TXT_CANNOT_READ
    "Lesefehler: %1",
    "cannot read: %1",
    // TXT_CANNOT_WRITE
    "Schreibfehler: %1",
    "cannot write: %1",
    // TXT_IS_DIRECTORY
    "ist ein Verzeichnis",
    "is a directory",
    // TXT_NOT_REGULAR_FILE
    "ist keine gewöhnliche Datei (Gerät, FIFO oder Socket)",
    "is not a regular file (a device, FIFO or socket)",
    // TXT_STANDARD_INPUT
    "Standardeingabe",
    "standard input",
    // TXT_STANDARD_OUTPUT
    "Standardausgabe",
    "standard output",
    // TXT_NOT_EXPRESSIBLE
    "im Ausgabeformat und -datum nicht darstellbar",
    "cannot be expressed in the output format and datum",
    // TXT_FEWER_THAN_TWO_LINES
    "weniger als zwei Zeilen; nichts importiert",
    "fewer than two lines; nothing imported",
    // TXT_NOT_TWO_NUMBERS
    "nicht zwei Zahlen \"Breite,Länge\"",
    "not two numbers \"latitude,longitude\"",
    // TXT_LINE
    "Zeile %1",
    "line %1",
    // TXT_LONGITUDE
    "Länge",
    "longitude",
    // TXT_LATITUDE
    "Breite",
    "latitude",
    // TXT_EASTING
    "Rechtswert",
    "easting",
    // TXT_NORTHING
    "Hochwert",
    "northing",
    // TXT_ZONE
    "Zone",
    "zone",
    // TXT_DEGREES
    "Grad",
    "degrees",
    // TXT_MINUTES
    "Minuten",
    "minutes",
    // TXT_SECONDS
    "Sekunden",
    "seconds",
    // TXT_UNKNOWN_COMMAND
    "unbekannter Befehl; die Befehle sind %1",
    "unknown command; the commands are %1",
    // TXT_RUN_WITH_HELP
    "Hilfe mit --help.",
    "Run with --help for more information.",
    // TXT_YES
    "Ja",
    "Yes",
    // TXT_NO
    "Nein",
    "No",
    // TXT_NOT_A_BMP
    "kein lesbares BMP-File",
    "not a readable BMP file",
    // TXT_SIZE_SYNTAX
    "erwartet BxH, z. B. 800x600",
    "expected WxH, e.g. 800x600",
    // TXT_BAD_DPI
    "erwartet eine Auflösung über 0 dpi",
    "expected a resolution above 0 dpi",
    // TXT_NO_CALIBRATION
    "die Referenzpunkte bestimmen keine Kalibrierung (gleiche Pixelspalte oder -zeile, gleiche Länge oder Breite)",
    "the reference points define no calibration (same pixel column or row, same longitude or latitude)",
    // TXT_FIT_LINE_SYNTAX
    "erwartet X<Tab>Y<Tab>Punkt",
    "expected X<TAB>Y<TAB>POINT",
    // TXT_FIT_SAME_PIXEL
    "dasselbe Pixel wie Zeile %1",
    "the same pixel as line %1",
    // TXT_FIT_HEADER
    "Punkt   X       Y       Ost m     Nord m    m        Pixel",
    "point   X       Y       east m    north m   m        pixels",
    // TXT_FIT_RMS
    "Mittlerer Fehler (RMS): %1 m",
    "Root mean square: %1 m",
    // TXT_FIT_WORST
    "Größter Fehler: Punkt %1",
    "Largest residual: point %1",
    // TXT_NEED_MAP_SIZE
    "--bmp oder --size nötig",
    "--bmp or --size is required",
    // TXT_MAP_NEEDS_QT
    "Karten-Bilder braucht ein kartora-cli mit den Qt-Schichten; dieses wurde ohne sie gebaut",
    "map images need a kartora-cli built with the Qt layers; this one was built without them",
    // TXT_IMAGE_NOT_READ
    "das Bild konnte nicht gelesen werden: %1",
    "the image could not be read: %1",
    // TXT_CROP_SYNTAX
    "erwartet X,Y,B,H in Pixeln, Breite und Höhe über 0, z. B. 0,0,800,600",
    "expected X,Y,W,H in pixels, width and height above 0, e.g. 0,0,800,600",
    // TXT_CROP_OUTSIDE
    "der Ausschnitt liegt nicht ganz in der Karte (%1 Pixel)",
    "the crop does not lie wholly inside the map (%1 pixels)",
    // TXT_OUTPUT_IS_INPUT
    "das ist die Karte selbst; sie wird nie überschrieben",
    "that is the map itself; it is never overwritten",
    // TXT_MAP_FORMAT
    "Format",
    "Format",
    // TXT_MAP_SIZE
    "Kartengröße (Pixel)",
    "Map size (pixels)",
    // TXT_MAP_BITS_PER_PIXEL
    "Bits pro Pixel",
    "Bits per pixel",
    // TXT_MAP_PALETTE
    "Farben der Palette",
    "Palette entries",
    // TXT_MAP_DEVICE_READS
    "Vom Gerät lesbar",
    "Readable by the device",
};

} // namespace

std::string CliText(CliTextId id, std::string_view insert)
{
    if (id < 0 || id >= TXT_COUNT)
        return {};
    const int language = g_nLanguage == 1 ? 1 : 0;
    std::string text = kTexts[2 * id + language];
    const std::size_t nPos = text.find("%1");
    if (nPos != std::string::npos)
        text.replace(nPos, 2, insert);
    return text;
}

} // namespace cli
