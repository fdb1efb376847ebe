// The dialog's two languages and its context help.
#include "refdialog/reference_dlg.h"

#include "messages/messages.h"
#include "platform/winapp.h"
#include "refdialog/coordinate_fields.h"
#include "resources/resource.h"

const LanguageText g_languageTexts[kLanguageTextCount] = {
    {IDC_MAP_NAME_LABEL, "Kartenname", "Map Name"},
    {IDC_BMP_FILE_NAME_LABEL, "BMP-Filename", "BMP-File Name"},
    {IDC_REF_POINTS_GROUP, "Referenzpunkte", "Reference Points"},
    {IDC_REF_POINT_1, "Ref.Punkt 1", "Ref.Point 1"},
    {IDC_REF_POINT_2, "Ref.Punkt 2", "Ref.Point 2"},
    {IDC_DATUM_LABEL, "Eingabe-Kartendatum", "Input Map Datum"},
    {IDC_FORMAT_LABEL, "Eingabeformat", "Input Format"},
    {IDC_PIXEL_X_LABEL, "X-Pixel", "X-Pixel"},
    {IDC_PIXEL_Y_LABEL, "Y-Pixel", "Y-Pixel"},
    {IDC_LONG_LABEL, "Länge", "Long"},
    {IDC_LAT_LABEL, "Breite", "Lat"},
    {IDC_EASTING_LABEL, "Rechtswert", "Easting"},
    {IDC_NORTHING_LABEL, "Hochwert", "Northing"},
    {IDC_ZONE_LABEL, "Zone", "Zone"},
    {IDC_HEMISPHERE_LABEL, "Hemisphäre", "Hemisphere"},
    {IDC_HEIGHT_DIFF_LABEL, "Höhendifferenz", "Height Difference"},
    {IDC_REF_FROM_MAP, "Ref.von Karte", "Ref.from Map"},
    {IDC_SHOW_MAP, "Zeige Karte", "Show Map"},
    {IDC_LOAD, "Laden", "Load"},
    {IDC_SAVE, "Sichern", "Save"},
    {IDOK, "Schließen", "Close"},
    {IDCANCEL, "Abbrechen", "Cancel"},
};

namespace
{

constexpr int kEnglish = 1;

// The help context numbers of dialog 130's controls: this base plus the id.
constexpr std::uint32_t kControlHelpBase = HidReferenceDialogControl(0);

// Groups of controls share the topic of their first member.
std::uint32_t HelpTopicOf(std::uint32_t helpId)
{
    if (helpId < kControlHelpBase || helpId > kControlHelpBase + 0xFFFFu)
        return helpId;
    switch (static_cast<int>(helpId - kControlHelpBase))
    {
    case IDC_PIXEL_X:
    case IDC_PIXEL_Y:
        return HidReferenceDialogControl(IDC_PIXEL_X);
    case IDC_LONG_DEGREE:
    case IDC_LONG_MINUTE:
    case IDC_LONG_SECOND:
    case IDC_LAT_DEGREE:
    case IDC_LAT_MINUTE:
    case IDC_LAT_SECOND:
    case IDC_EASTING:
    case IDC_NORTHING:
    case IDC_ZONE:
    case IDC_LONG_LABEL:
    case IDC_LAT_LABEL:
    case IDC_EASTING_LABEL:
    case IDC_NORTHING_LABEL:
    case IDC_ZONE_LABEL:
    case IDC_HEMISPHERE_LABEL:
        return HidReferenceDialogControl(IDC_LONG_DEGREE);
    case IDC_REF_POINT_1:
    case IDC_REF_POINT_2:
        return HidReferenceDialogControl(IDC_REF_POINT_1);
    default:
        return helpId;
    }
}

} // namespace

void CReferenceDlg::SetLanguageTexts()
{
    // Anything but English reads German, as the message catalogue does.
    const bool bEnglish = m_nLanguage == kEnglish;
    for (const LanguageText& row : g_languageTexts)
        SetDlgItemText(row.nControlId, QString::fromUtf8(bEnglish ? row.pszEnglish : row.pszGerman));
    SetDlgItemText(IDC_LANGUAGE, bEnglish ? QStringLiteral("English") : QStringLiteral("Deutsch"));
    SetAccessibleTexts();
    FitLabelTexts(*this);
    UpdateData(false);
}

void CReferenceDlg::OnLanguageToggle()
{
    m_nLanguage = m_nLanguage < 1 ? 1 : 0;
    g_nLanguage = m_nLanguage;
    UpdateData(false);
    SetLanguageTexts();
    m_dlgLanguage.SetLanguageHelpPath();
}

bool CReferenceDlg::OnHelpInfo(std::uint32_t helpId)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(HelpTopicOf(helpId), HELP_CONTEXT);
    return true;
}
