// The four entry formats and three input datums: where the coordinate
// controls stand in each format, the tab order, and carrying the values over
// through WGS84 when the format or the datum changes.
#include "refdialog/reference_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "refdialog/coordinate_fields.h"
#include "resources/resource.h"

const int g_coordControlIds[kCoordControlCount] = {
    IDC_LONG_DEGREE, IDC_LAT_DEGREE, IDC_LONG_DEGREE_SIGN, IDC_LAT_DEGREE_SIGN,
    IDC_LONG_MINUTE, IDC_LAT_MINUTE, IDC_LONG_MINUTE_SIGN, IDC_LAT_MINUTE_SIGN,
    IDC_LONG_SECOND, IDC_LAT_SECOND, IDC_LONG_SECOND_SIGN, IDC_LAT_SECOND_SIGN,
    IDC_LONG_SIGN,   IDC_LAT_SIGN,   IDC_LONG_LABEL,       IDC_LAT_LABEL,
    IDC_EASTING,     IDC_NORTHING,   IDC_EASTING_LABEL,    IDC_NORTHING_LABEL,
    IDC_ZONE,        IDC_ZONE_LABEL, IDC_HEMISPHERE_LABEL,
};

// Row 1 (y 98/99) is longitude or easting and zone, row 2 (y 118/119)
// latitude or northing and the UTM hemisphere. Rectangles of hidden controls
// carry no meaning. Columns: dec.Degree, dec.Minute, dec.Second, UTM.
const ControlPlace g_controlLayout[kCoordControlCount][kFormatCount] = {
    // 1004, 1008: degrees (decimal degrees in dec.Degree)
    {{78, 98, 40, 12, true}, {78, 98, 20, 12, true}, {78, 98, 18, 12, true}, {78, 98, 18, 12, false}},
    {{78, 118, 40, 12, true}, {78, 118, 20, 12, true}, {78, 118, 18, 12, true}, {78, 118, 18, 12, false}},
    // 1033, 1034: degree signs
    {{119, 99, 8, 10, true}, {100, 99, 8, 10, true}, {98, 99, 8, 10, true}, {98, 99, 8, 10, false}},
    {{119, 119, 8, 10, true}, {100, 119, 8, 10, true}, {98, 119, 8, 10, true}, {98, 119, 8, 10, false}},
    // 1005, 1009: minutes
    {{122, 98, 34, 12, false}, {108, 98, 32, 12, true}, {106, 98, 16, 12, true}, {106, 98, 16, 12, false}},
    {{122, 118, 34, 12, false}, {108, 118, 32, 12, true}, {106, 118, 16, 12, true}, {106, 118, 16, 12, false}},
    // 1035, 1036: minute signs
    {{122, 99, 34, 12, false}, {142, 99, 8, 10, true}, {124, 99, 8, 10, true}, {124, 99, 8, 10, false}},
    {{122, 119, 34, 12, false}, {142, 119, 8, 10, true}, {124, 119, 8, 10, true}, {124, 119, 8, 10, false}},
    // 1006, 1010: seconds
    {{122, 98, 34, 12, false}, {114, 98, 34, 12, false}, {132, 98, 24, 12, true}, {132, 98, 24, 12, false}},
    {{122, 118, 34, 12, false}, {114, 118, 34, 12, false}, {132, 118, 24, 12, true}, {132, 118, 24, 12, false}},
    // 1022, 1023: second signs
    {{122, 99, 34, 12, false}, {114, 99, 34, 12, false}, {158, 99, 8, 10, true}, {158, 99, 8, 10, false}},
    {{122, 119, 34, 12, false}, {114, 119, 34, 12, false}, {158, 119, 8, 10, true}, {158, 119, 8, 10, false}},
    // 1007: east/west; 1011: north/south, in UTM the hemisphere under the zone
    {{127, 98, 13, 12, true}, {150, 98, 13, 12, true}, {168, 98, 13, 12, true}, {168, 98, 13, 12, false}},
    {{127, 118, 13, 12, true}, {150, 118, 13, 12, true}, {168, 118, 13, 12, true}, {150, 118, 16, 12, true}},
    // 1037, 1038: "Long", "Lat"
    {{147, 99, 21, 10, true}, {170, 99, 21, 10, true}, {188, 99, 21, 10, true}, {188, 99, 21, 10, false}},
    {{147, 119, 21, 10, true}, {170, 119, 21, 10, true}, {188, 119, 21, 10, true}, {188, 119, 21, 10, false}},
    // 1012, 1013: easting, northing
    {{78, 98, 40, 12, false}, {78, 98, 40, 12, false}, {78, 98, 40, 12, false}, {78, 98, 38, 12, true}},
    {{78, 118, 40, 12, false}, {78, 118, 40, 12, false}, {78, 118, 40, 12, false}, {78, 118, 38, 12, true}},
    // 1057, 1059: "Easting", "Northing"
    {{120, 99, 28, 10, false}, {120, 99, 28, 10, false}, {120, 99, 28, 10, false}, {120, 99, 28, 10, true}},
    {{120, 119, 28, 10, false}, {120, 119, 28, 10, false}, {120, 119, 28, 10, false}, {120, 119, 28, 10, true}},
    // 1014: zone; 1061, 1063: "Zone Number", "Hemisphere"
    {{150, 98, 20, 12, false}, {150, 98, 20, 12, false}, {150, 98, 20, 12, false}, {150, 98, 16, 12, true}},
    {{172, 99, 40, 10, false}, {172, 99, 40, 10, false}, {172, 99, 40, 10, false}, {170, 99, 40, 10, true}},
    {{172, 119, 40, 10, false}, {172, 119, 40, 10, false}, {172, 119, 40, 10, false}, {170, 119, 40, 10, true}},
};

const int g_entryTabOrder[kTabOrderCount] = {
    IDC_MAP_NAME,    IDC_BMP_FILE_NAME, IDC_PIXEL_X,   IDC_PIXEL_Y,    IDC_LONG_DEGREE,
    IDC_LONG_MINUTE, IDC_LONG_SECOND,   IDC_LONG_SIGN, IDC_LAT_DEGREE, IDC_LAT_MINUTE,
    IDC_LAT_SECOND,  IDC_LAT_SIGN,      IDC_EASTING,   IDC_ZONE,       IDC_NORTHING,
};

namespace
{

bool IsKnownFormat(std::int32_t format)
{
    return format >= 0 && format < kFormatCount;
}

} // namespace

bool CReferenceDlg::EntryToWgs84()
{
    // A field that fails its check is reported; the conversion goes on with
    // the members as they are (the failing field keeps its last valid value).
    const bool bExchanged = UpdateData(true);
    ConvertEntryToWgs84(m_converter, m_nFormat, Fields());
    return bExchanged;
}

bool CReferenceDlg::ReportPositionFault()
{
    for (int p = 0; p < 2; ++p)
    {
        const std::optional<PositionFault>& fault = m_converter.Fault(p);
        if (!fault)
            continue;
        // The point's fields in front of the user, as typed: the exchange
        // into the controls writes back the members it just read.
        if (p == 0)
            OnRefPoint1();
        else
            OnRefPoint2();
        static constexpr int kValueControls[] = {IDC_LONG_DEGREE, IDC_LAT_DEGREE, IDC_EASTING, IDC_NORTHING, IDC_ZONE};
        if (auto* field = Item<QLineEdit>(kValueControls[fault->value]))
        {
            field->setFocus();
            field->selectAll();
        }
        // After the exchange above, which hides the error window.
        m_converter.ShowInputError(fault->message);
        return true;
    }
    return false;
}

void CReferenceDlg::Wgs84ToEntry()
{
    ConvertWgs84ToEntry(m_converter, m_nFormat, Fields());
    UpdateData(false);
}

void CReferenceDlg::OnFormatChange()
{
    // Out of the format in force so far, into the chosen one, through WGS84.
    EntryToWgs84();
    const int selection = m_cbFormat->currentIndex();
    if (IsKnownFormat(selection))
        m_nFormat = selection;
    PlaceCoordinateControls(*this, m_nFormat);
    RestoreEntryTabOrder(*this);
    FitLabelTexts(*this);
    SetAccessibleTexts();
    Wgs84ToEntry();
}

void CReferenceDlg::OnDatumChange()
{
    // The converter's positions (taken by the last format switch, Save, Load
    // or import) shown in the new datum; values typed since are replaced.
    const int selection = m_cbDatum->currentIndex();
    if (selection >= 0 && selection < kDatumCount)
        m_nDatum = selection;
    m_converter.SelectDatum(m_nDatum);
    Wgs84ToEntry();
}

void CReferenceDlg::OnDatumDropDown()
{
    // Only the list's selection: the datum in force changes when the user
    // picks an entry.
    m_cbDatum->setCurrentIndex(DATUM_WGS84);
}

void CReferenceDlg::OnToggleLongitudeSign()
{
    std::int32_t& flag = m_nHemisphere[m_nCurPoint][0];
    flag = flag == 0 ? 1 : 0;
    m_bModified = true;
    UpdateData(false);
}

void CReferenceDlg::OnToggleLatitudeSign()
{
    std::int32_t& flag = m_nHemisphere[m_nCurPoint][1];
    flag = flag == 0 ? 1 : 0;
    m_bModified = true;
    UpdateData(false);
}

void CReferenceDlg::SetLongitudeSignText(std::int32_t flag)
{
    SetDlgItemText(IDC_LONG_SIGN, LongitudeSignText(flag, m_nLanguage == 1));
}

void CReferenceDlg::SetLatitudeSignText(std::int32_t flag)
{
    SetDlgItemText(IDC_LAT_SIGN, LatitudeSignText(flag));
}
