#include "refdialog/coordinate_fields.h"

#include <QFontMetrics>
#include <QLabel>

#include "refdialog/ddx_numeric.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"

using namespace conversion;

namespace
{

// The layout table counts in units of two pixels of the client area.
constexpr int kLayoutUnit = 2; // pixels

// How far a label's text may be condensed to fit its width, percent.
constexpr int kMinLabelStretch = 75;
constexpr int kLabelStretchStep = 5;

} // namespace

void PlaceCoordinateControls(CDialog& dialog, std::int32_t format, QPoint shift)
{
    if (format < 0 || format >= kFormatCount)
        return;
    for (int i = 0; i < kCoordControlCount; ++i)
    {
        QWidget* control = dialog.GetDlgItem(g_coordControlIds[i]);
        if (control == nullptr)
            continue;
        const ControlPlace& place = g_controlLayout[i][format];
        control->setGeometry(place.x * kLayoutUnit + shift.x(), place.y * kLayoutUnit + shift.y(),
                             place.cx * kLayoutUnit, place.cy * kLayoutUnit);
        control->setVisible(place.bShown);
        // A label's rectangle is centred on its field's: so is its text,
        // level with the text in the field beside it.
        if (auto* label = qobject_cast<QLabel*>(control))
            label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    }
}

void RestoreEntryTabOrder(CDialog& dialog)
{
    // Each control directly behind the one before it; the first keeps its
    // place at the head of the dialog's order.
    for (int i = 1; i < kTabOrderCount; ++i)
    {
        QWidget* previous = dialog.GetDlgItem(g_entryTabOrder[i - 1]);
        QWidget* next = dialog.GetDlgItem(g_entryTabOrder[i]);
        if (previous != nullptr && next != nullptr)
            QWidget::setTabOrder(previous, next);
    }
}

void FitLabelTexts(CDialog& dialog)
{
    // The layout counts in pixels, the texts in the font the platform has.
    for (QObject* child : dialog.children())
    {
        auto* label = qobject_cast<QLabel*>(child);
        if (label == nullptr || !label->property("controlId").isValid())
            continue;
        QFont font = dialog.font();
        const int room = label->contentsRect().width();
        int stretch = 100; // percent of the normal width
        while (stretch > kMinLabelStretch && QFontMetrics(font).horizontalAdvance(label->text()) > room)
        {
            stretch -= kLabelStretchStep;
            font.setStretch(stretch);
        }
        label->setFont(font);
    }
}

void SetCoordinateLabelTexts(CDialog& dialog, bool bEnglish)
{
    for (const LanguageText& row : g_languageTexts)
    {
        const bool bCoordinate = std::find(std::begin(g_coordControlIds), std::end(g_coordControlIds),
                                           row.nControlId) != std::end(g_coordControlIds);
        if (bCoordinate || row.nControlId == IDCANCEL)
            dialog.SetDlgItemText(row.nControlId, QString::fromUtf8(bEnglish ? row.pszEnglish : row.pszGerman));
    }
}

QString LongitudeSignText(std::int32_t flag, bool bEnglish)
{
    // East is "O" (Ost) in German. Any flag but 0 counts as west, as in the
    // converter and the reference file.
    if (flag != 0)
        return QStringLiteral("W");
    return bEnglish ? QStringLiteral("E") : QStringLiteral("O");
}

QString LatitudeSignText(std::int32_t flag)
{
    return flag == 0 ? QStringLiteral("N") : QStringLiteral("S");
}

void DDX_Coordinates(CCoordConverter& converter, CDataExchange* pDX, std::int32_t format, const EntryFields& fields,
                     int c)
{
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        DDX_Double(converter, pDX, IDC_LONG_DEGREE, fields.m_dDegree[c][0], kDegreeDecimals, kMaxLongitudeDegrees, 0.0);
        DDX_Double(converter, pDX, IDC_LAT_DEGREE, fields.m_dDegree[c][1], kDegreeDecimals, kMaxLatitudeDegrees, 0.0);
        break;
    // Minutes and seconds are checked with the degrees (and minutes) before
    // them: their angle may not pass 180 degrees of longitude or 90 of latitude.
    case FORMAT_DEC_MINUTE:
        DDX_Int(converter, pDX, IDC_LONG_DEGREE, fields.m_nDegree[c][0],
                static_cast<std::int32_t>(kMaxLongitudeDegrees));
        DDX_Int(converter, pDX, IDC_LAT_DEGREE, fields.m_nDegree[c][1], static_cast<std::int32_t>(kMaxLatitudeDegrees));
        DDX_Minutes(converter, pDX, IDC_LONG_MINUTE, fields.m_dMinute[c][0], kMinuteDecimals,
                    AngleBefore{kMaxLongitudeDegrees, fields.m_nDegree[c][0]});
        DDX_Minutes(converter, pDX, IDC_LAT_MINUTE, fields.m_dMinute[c][1], kMinuteDecimals,
                    AngleBefore{kMaxLatitudeDegrees, fields.m_nDegree[c][1]});
        break;
    case FORMAT_DEC_SECOND:
        DDX_Int(converter, pDX, IDC_LONG_DEGREE, fields.m_nDegree[c][0],
                static_cast<std::int32_t>(kMaxLongitudeDegrees));
        DDX_Int(converter, pDX, IDC_LAT_DEGREE, fields.m_nDegree[c][1], static_cast<std::int32_t>(kMaxLatitudeDegrees));
        DDX_Minutes(converter, pDX, IDC_LONG_MINUTE, fields.m_nMinute[c][0],
                    AngleBefore{kMaxLongitudeDegrees, fields.m_nDegree[c][0]});
        DDX_Minutes(converter, pDX, IDC_LAT_MINUTE, fields.m_nMinute[c][1],
                    AngleBefore{kMaxLatitudeDegrees, fields.m_nDegree[c][1]});
        DDX_Seconds(converter, pDX, IDC_LONG_SECOND, fields.m_dSecond[c][0], kSecondDecimals,
                    AngleBefore{kMaxLongitudeDegrees, fields.m_nDegree[c][0], fields.m_nMinute[c][0]});
        DDX_Seconds(converter, pDX, IDC_LAT_SECOND, fields.m_dSecond[c][1], kSecondDecimals,
                    AngleBefore{kMaxLatitudeDegrees, fields.m_nDegree[c][1], fields.m_nMinute[c][1]});
        break;
    case FORMAT_UTM:
        DDX_Int(converter, pDX, IDC_EASTING, fields.m_nUtm[c][0], kMaxEasting);
        DDX_Int(converter, pDX, IDC_NORTHING, fields.m_nUtm[c][1], kMaxNorthing);
        DDX_Int(converter, pDX, IDC_ZONE, fields.m_nZone[c], kMaxZone);
        break;
    default:
        break;
    }
}
