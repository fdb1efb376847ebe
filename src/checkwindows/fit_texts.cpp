#include "checkwindows/fit_texts.h"

#include "messages/messages.h"

namespace
{

// German, English; indexed by FitTextId.
constexpr const char* kTexts[FT_COUNT][2] = {
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
    {"Schließen", "Close"},
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

const char* Pick(const char* const (&texts)[2])
{
    return texts[g_nLanguage == 1 ? 1 : 0];
}

} // namespace

QString FitText(FitTextId id)
{
    if (id < 0 || id >= FT_COUNT)
        return {};
    return QString::fromUtf8(Pick(kTexts[id]));
}

QString FitRefusalText(const calibration::FitRefusal& refusal)
{
    static constexpr const char* kFewPixels[2] = {"weniger als zwei verschiedene Pixel in %1",
                                                  "fewer than two different pixels in %1"};
    static constexpr const char* kSamePositions[2] = {
        "alle Positionen gleich in %1 (Länge zu x, Breite zu y)",
        "all positions the same in %1 (longitude with x, latitude with y)"};
    const char* text = Pick(refusal.reason == calibration::FitRefusal::FewPixels ? kFewPixels : kSamePositions);
    return QString::fromUtf8(text).arg(QString::fromStdString(refusal.axis));
}
