#include "checkwindows/tool_texts.h"

#include "messages/messages.h"

namespace
{

// German, English; indexed by ToolTextId.
constexpr const char* kTexts[TT_COUNT][2] = {
    {"Kalibrierung prüfen", "Check calibration"},
    {"Kennzahlen", "Figures"},
    {"Befunde", "Findings"},
    {"Schließen", "Close"},
    {"Hilfe", "Help"},
    {"Punkt prüfen", "Check point"},
    {"Bekannte Position des Objekts bei x %1, y %2 (%3, %4):", "Known position of the feature at x %1, y %2 (%3, %4):"},
    {"Die Referenzpunkte ergeben noch keine Kalibrierung: Beide brauchen ein Pixel und eine Position, in "
     "verschiedenen Pixelspalten und -zeilen, mit verschiedener Länge und Breite.",
     "The reference points give no calibration yet: both need a pixel and a position, in different pixel columns "
     "and rows, with different longitudes and latitudes."},
    {"Die Koordinaten eines Referenzpunkts ergeben in diesem Format und Datum keine Position: Bitte im Dialog "
     "berichtigen.",
     "The coordinates of a reference point give no position in this format and datum: please correct them in the "
     "dialog."},
    {"Dafür muss eine Karte angezeigt werden.", "This needs a map to be shown."},
    {"x %1, y %2:  %3", "x %1, y %2:  %3"},
    {"Rechtswert", "Easting"},
    {"Hochwert", "Northing"},
    {"Zone", "Zone"},
    {"Ausgleichung", "Fit"},
    {"Nr.", "No."},
    {"Pixel x, y", "Pixel x, y"},
    {"Position", "Position"},
    {"Ost (m)", "East (m)"},
    {"Nord (m)", "North (m)"},
    {"Pixel", "Pixels"},
    {"&Ändern…", "&Edit…"},
    {"&Entfernen", "&Remove"},
    {"Ausgleichung &übernehmen", "&Use fit"},
    {"&Hilfe", "&Help"},
    {"Mittlerer Fehler (RMS): %1 m. Größter Fehler: Punkt %2 (%3 m).",
     "Root mean square: %1 m. Largest residual: point %2 (%3 m)."},
    {"Zwei Punkte passen immer genau: Erst ein dritter Punkt zeigt einen Fehler.",
     "Two points always fit exactly: a third point shows an error."},
    {"Keine Ausgleichung: %1.", "No fit: %1."},
    {"Passpunkte fügen Sie mit \"Passpunkt hier hinzufügen…\" im Kontextmenü der Karte hinzu: mindestens zwei, in "
     "verschiedenen Zeilen und Spalten, am besten nahe den Ecken und dazwischen.",
     "Add points with \"Add fit point here…\" in the map's context menu: at least two, in different rows and columns, "
     "best near the corners and in between."},
    {"Passpunkt", "Fit point"},
};

} // namespace

QString ToolText(ToolTextId id)
{
    if (id < 0 || id >= TT_COUNT)
        return {};
    return QString::fromUtf8(kTexts[id][g_nLanguage == 1 ? 1 : 0]);
}
