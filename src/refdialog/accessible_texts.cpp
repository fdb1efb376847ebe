// Names and descriptions of the dialog's controls for screen readers, in
// the dialog's language. Buttons and labels are announced by their captions;
// the fields, lists and sign buttons have no caption of their own, so they
// are named after the labels beside them and what they hold in the current
// entry format.
#include "refdialog/reference_dlg.h"

#include "resources/resource.h"

namespace
{

struct AccessibleText
{
    int nControlId;
    const char* pszGerman;
    const char* pszEnglish;
};

// Fields named the same in every format.
constexpr AccessibleText kFixedNames[] = {
    {IDC_MAP_NAME, "Kartenname", "Map Name"},
    {IDC_BMP_FILE_NAME, "BMP-Filename", "BMP-File Name"},
    {IDC_PIXEL_X, "X-Pixel", "X-Pixel"},
    {IDC_PIXEL_Y, "Y-Pixel", "Y-Pixel"},
    {IDC_HEIGHT_DIFF, "Höhendifferenz in Metern", "Height Difference in metres"},
    {IDC_FORMAT, "Eingabeformat", "Input Format"},
    {IDC_DATUM, "Eingabe-Kartendatum", "Input Map Datum"},
    {IDC_LANGUAGE, "Sprache", "Language"},
    {IDC_EASTING, "Rechtswert in Metern", "Easting in metres"},
    {IDC_NORTHING, "Hochwert in Metern", "Northing in metres"},
    {IDC_ZONE, "Zone", "Zone Number"},
};

// The parts of a coordinate, by the field that holds them.
struct CoordinatePart
{
    int nLongitudeId;
    int nLatitudeId;
    const char* pszGerman;
    const char* pszEnglish;
};
constexpr CoordinatePart kDegrees = {IDC_LONG_DEGREE, IDC_LAT_DEGREE, "Grad", "degrees"};
constexpr CoordinatePart kDecimalDegrees = {IDC_LONG_DEGREE, IDC_LAT_DEGREE, "Dezimalgrad", "decimal degrees"};
constexpr CoordinatePart kMinutes = {IDC_LONG_MINUTE, IDC_LAT_MINUTE, "Minuten", "minutes"};
constexpr CoordinatePart kSeconds = {IDC_LONG_SECOND, IDC_LAT_SECOND, "Sekunden", "seconds"};
constexpr CoordinatePart kHemisphere = {IDC_LONG_SIGN, IDC_LAT_SIGN, "Hemisphäre", "hemisphere"};

QString Text(bool bEnglish, const char* pszGerman, const char* pszEnglish)
{
    return QString::fromUtf8(bEnglish ? pszEnglish : pszGerman);
}

} // namespace

void CReferenceDlg::SetAccessibleTexts()
{
    const bool bEnglish = m_nLanguage == 1;
    // Which point the coordinate fields show, for every field of the point.
    const QString point =
        m_nCurPoint == 0 ? Text(bEnglish, "Ref.Punkt 1", "Ref.Point 1") : Text(bEnglish, "Ref.Punkt 2", "Ref.Point 2");
    auto set = [this](int id, const QString& name, const QString& description)
    {
        if (QWidget* control = GetDlgItem(id))
        {
            control->setAccessibleName(name);
            control->setAccessibleDescription(description);
        }
    };
    for (const AccessibleText& row : kFixedNames)
    {
        const bool bOfPoint = row.nControlId == IDC_PIXEL_X || row.nControlId == IDC_PIXEL_Y ||
                              row.nControlId == IDC_EASTING || row.nControlId == IDC_NORTHING ||
                              row.nControlId == IDC_ZONE;
        set(row.nControlId, Text(bEnglish, row.pszGerman, row.pszEnglish), bOfPoint ? point : QString());
    }
    const QString longitude = Text(bEnglish, "Länge", "Longitude");
    const QString latitude = Text(bEnglish, "Breite", "Latitude");
    const CoordinatePart degrees = m_nFormat == FORMAT_DEC_DEGREE ? kDecimalDegrees : kDegrees;
    const QString minutes = m_nFormat == FORMAT_DEC_MINUTE ? Text(bEnglish, "Dezimalminuten", "decimal minutes")
                                                           : Text(bEnglish, kMinutes.pszGerman, kMinutes.pszEnglish);
    const auto part = [&](const CoordinatePart& p, const QString& what)
    {
        set(p.nLongitudeId, longitude + u' ' + what, point);
        set(p.nLatitudeId, latitude + u' ' + what, point);
    };
    part(degrees, Text(bEnglish, degrees.pszGerman, degrees.pszEnglish));
    part(kMinutes, minutes);
    part(kSeconds, Text(bEnglish, kSeconds.pszGerman, kSeconds.pszEnglish));
    part(kHemisphere, Text(bEnglish, kHemisphere.pszGerman, kHemisphere.pszEnglish));
    // In UTM the north/south button is the zone's hemisphere.
    if (m_nFormat == FORMAT_UTM)
        set(IDC_LAT_SIGN, Text(bEnglish, "Hemisphäre", "Hemisphere"), point);
}
