#include "calibration/check_texts.h"

#include "conversion/numeric_text.h"
#include "messages/messages.h"

using conversion::FormatFixed;

namespace calibration
{

namespace
{

enum TextId : int
{
    TXT_SCALE,
    TXT_SCALE_RATIO,
    TXT_UTM_GRID,
    TXT_SEPARATION,
    TXT_MAP_SIZE,
    TXT_MAP_SCALE,
    TXT_CORNER_ERROR,
    TXT_NO_FINDING,
    TXT_ERROR,
    TXT_WARNING,
    TXT_NOT_DEFINED,
    TXT_UNKNOWN,
    TXT_FIT_FEW_PIXELS,
    TXT_FIT_SAME_POSITIONS,
};

// German, English.
constexpr const char* kTexts[][2] = {
    {"Maßstab (m/Pixel)", "Scale (m/pixel)"},
    {"Maßstabsverhältnis x zu y", "Scale ratio of x and y"},
    {"im UTM-Gitter", "in the UTM grid"},
    {"Abstand der Punkte (Pixel)", "Separation of the points (pixels)"},
    {"Kartengröße (Pixel)", "Map size (pixels)"},
    {"Kartenmaßstab", "Map scale"},
    {"Abweichung an den Ecken von einem UTM-Gitter (m)", "Error at the corners against a UTM grid (m)"},
    {"Kein Befund.", "No finding."},
    {"Fehler", "error"},
    {"Warnung", "warning"},
    {"nicht bestimmt", "not defined"},
    {"unbekannt", "unknown"},
    {"weniger als zwei verschiedene Pixel in %1", "fewer than two different pixels in %1"},
    {"alle Positionen gleich in %1 (Länge zu x, Breite zu y)",
     "all positions the same in %1 (longitude with x, latitude with y)"},
};

std::string Text(TextId id, const std::string& insert = {})
{
    std::string text = kTexts[id][g_nLanguage == 1 ? 1 : 0];
    if (const std::size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, insert);
    return text;
}

} // namespace

std::vector<FigureText> FigureTexts(const CalibrationFigures& f)
{
    std::vector<FigureText> figures;
    const std::string undefined = Text(TXT_NOT_DEFINED);
    figures.push_back({Text(TXT_SCALE), f.scaleX && f.scaleY
                                            ? "x " + FormatFixed(*f.scaleX, 3) + ", y " + FormatFixed(*f.scaleY, 3)
                                            : undefined});
    std::string ratio = f.scaleRatio ? FormatFixed(*f.scaleRatio, 3) : undefined;
    if (f.gridScaleRatio)
        ratio += " (" + Text(TXT_UTM_GRID) + ": " + FormatFixed(*f.gridScaleRatio, 3) + ")";
    figures.push_back({Text(TXT_SCALE_RATIO), ratio});
    figures.push_back(
        {Text(TXT_SEPARATION), "x " + FormatFixed(f.separationX, 0) + ", y " + FormatFixed(f.separationY, 0)});
    figures.push_back({Text(TXT_MAP_SIZE), f.size
                                               ? std::to_string(f.size->width) + " x " + std::to_string(f.size->height)
                                               : Text(TXT_UNKNOWN)});
    if (f.scaleDenominator)
        figures.push_back({Text(TXT_MAP_SCALE), "1 : " + std::to_string(*f.scaleDenominator)});
    if (f.cornerError)
        figures.push_back({Text(TXT_CORNER_ERROR), FormatFixed(*f.cornerError, 1)});
    return figures;
}

std::string FindingKindText(FindingKind kind)
{
    return Text(kind == FindingKind::Error ? TXT_ERROR : TXT_WARNING);
}

std::string NoFindingText()
{
    return Text(TXT_NO_FINDING);
}

std::string FitRefusalText(const FitRefusal& refusal)
{
    return Text(refusal.reason == FitRefusal::FewPixels ? TXT_FIT_FEW_PIXELS : TXT_FIT_SAME_POSITIONS, refusal.axis);
}

} // namespace calibration
