#include "app/calibration_tools.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <filesystem>

#include "app/main_frame.h"
#include "calibration/bmp_size.h"
#include "calibration/fit.h"
#include "calibration/graticule.h"
#include "calibration/third_point.h"
#include "checkwindows/check_report_wnd.h"
#include "checkwindows/position_text.h"
#include "checkwindows/tool_texts.h"
#include "checkwindows/window_place.h"
#include "mapview/kartora_view.h"
#include "platform/winapp.h"
#include "refdialog/known_position_dlg.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "resources/settings_keys.h"
#include "shell/message_box_dlg.h"

using namespace calibration;
using conversion::EntryValues;
using conversion::Wgs84Degrees;

namespace
{

EntryValues EntryValuesOf(const CReferenceDlg& d)
{
    EntryValues v;
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            v.m_nHemisphere[p][axis] = d.m_nHemisphere[p][axis];
            v.m_dDegree[p][axis] = d.m_dDegree[p][axis];
            v.m_nDegree[p][axis] = d.m_nDegree[p][axis];
            v.m_dMinute[p][axis] = d.m_dMinute[p][axis];
            v.m_nMinute[p][axis] = d.m_nMinute[p][axis];
            v.m_dSecond[p][axis] = d.m_dSecond[p][axis];
            v.m_nUtm[p][axis] = d.m_nUtm[p][axis];
        }
        v.m_nZone[p] = d.m_nZone[p];
    }
    return v;
}

std::optional<MapSize> BmpSize(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return ReadBmpSize(std::filesystem::path(path.toStdU16String()));
}

} // namespace

CCalibrationTools::CCalibrationTools(CReferenceDlg& dialog, CKartoraView& view, CMainFrame& frame)
    : m_dialog(dialog), m_view(view), m_frame(frame), m_fitTool(dialog, view,
                                                                [this]
                                                                {
                                                                    Refresh();
                                                                    return m_calibration;
                                                                })
{
    if (const CWinApp* app = AfxGetApp())
        m_bGrid = app->GetProfileInt(QLatin1String(kSettingsSection), QLatin1String(kEntryGrid), 0) != 0;
    m_frame.SetCommandChecked(ID_GRID, m_bGrid);
    connect(&m_dialog, &CReferenceDlg::dataExchanged, this, &CCalibrationTools::ScheduleRefresh);
    connect(&m_dialog, &CReferenceDlg::fileWritten, this, &CCalibrationTools::OnFileWritten);
    connect(&m_view, &CKartoraView::mapChanged, this, &CCalibrationTools::ScheduleRefresh);
    connect(&m_view, &CKartoraView::calibrationCommand, this, &CCalibrationTools::OnCommand);
    connect(&m_view, &CKartoraView::cursorOverMap, this, &CCalibrationTools::OnCursorOverMap);
    connect(&m_view, &CKartoraView::cursorLeftMap, this,
            [this]
            {
                m_cursor.reset();
                ShowReadout();
            });
    Refresh();
}

CCalibrationTools::~CCalibrationTools() = default;

CCheckReportWnd* CCalibrationTools::ReportWindow() const
{
    return m_report.data();
}

void CCalibrationTools::OnCommand(int id)
{
    switch (id)
    {
    case ID_CHECK_CALIBRATION:
        OnCheckCalibration();
        break;
    case ID_CHECK_POINT:
        OnCheckPoint();
        break;
    case ID_ADD_FIT_POINT:
        m_fitTool.OnAddFitPoint();
        break;
    case ID_GRID:
        OnToggleGrid();
        break;
    default:
        break;
    }
}

void CCalibrationTools::ScheduleRefresh()
{
    if (m_bRefreshPending)
        return;
    m_bRefreshPending = true;
    QTimer::singleShot(0, this, &CCalibrationTools::Refresh);
}

void CCalibrationTools::Refresh()
{
    m_bRefreshPending = false;
    m_calibration.reset();
    Calibration c;
    bool bPositions = true;
    for (int p = 0; p < 2 && bPositions; ++p)
    {
        EntryValues values = EntryValuesOf(m_dialog);
        values.CopyPoint(p, 0);
        const std::optional<Wgs84Degrees> position = m_converter.ToWgs84(values, m_dialog.m_nDatum, m_dialog.m_nFormat);
        bPositions = position.has_value();
        if (position)
            c.position[p] = {position->lon, position->lat};
        c.pixel[p] = {static_cast<double>(m_dialog.m_nPixel[p][0]), static_cast<double>(m_dialog.m_nPixel[p][1])};
    }
    // At the file's precision: what Save writes and the device reads.
    if (bPositions)
        m_calibration = CalibrationOf(CalValuesOf(c));
    ShowReadout();
    UpdateGrid();
    if (m_report && m_report->isVisible())
        ShowReport(m_calibration ? std::optional(CheckCalibration(*m_calibration, {MapSize(), std::nullopt}))
                                 : std::nullopt,
                   false);
}

PixelPoint CCalibrationTools::DialogPixel(QPointF viewPixel) const
{
    return {viewPixel.x(), m_view.BitmapInfo().bmHeight - viewPixel.y()};
}

void CCalibrationTools::OnCursorOverMap(QPoint pixel)
{
    m_cursor = pixel;
    ShowReadout();
}

void CCalibrationTools::ShowReadout()
{
    if (!m_cursor || !m_calibration || !m_calibration->IsDefined())
    {
        m_frame.SetMessageText({});
        return;
    }
    const PixelPoint pixel = DialogPixel(*m_cursor);
    const GeoPoint position = m_calibration->PositionAt(pixel);
    EntryValues values;
    QString where;
    // Through the converter's from-WGS84 path: rounded as the dialog's fields are.
    if (m_converter.Express({position.lon, position.lat}, m_dialog.m_nDatum, m_dialog.m_nFormat, values))
        where =
            PositionText(m_dialog.m_nFormat, values, 0) + QStringLiteral("  (") + DatumName(m_dialog.m_nDatum) + u')';
    m_frame.SetMessageText(
        ToolText(TT_CURSOR).arg(static_cast<long long>(pixel.x)).arg(static_cast<long long>(pixel.y)).arg(where));
}

std::optional<MapSize> CCalibrationTools::MapSize(const QString& bmpPath) const
{
    if (m_view.IsBitmapLoaded())
        return calibration::MapSize{m_view.BitmapInfo().bmWidth, m_view.BitmapInfo().bmHeight};
    if (const std::optional<calibration::MapSize> size = BmpSize(bmpPath))
        return size;
    return BmpSize(m_dialog.ExchangeMapPath());
}

void CCalibrationTools::OnCheckCalibration()
{
    Refresh();
    ShowReport(m_calibration ? std::optional(CheckCalibration(*m_calibration, {MapSize(), std::nullopt}))
                             : std::nullopt,
               !m_report);
    m_report->activateWindow();
}

void CCalibrationTools::OnFileWritten(const QString& path, const formats::CalValues& values)
{
    // The map beside the file, as kartora-cli's check finds it, unless one is shown.
    const QString bmp = QFileInfo(path).dir().filePath(QString::fromStdString(values.m_strBmpFileName));
    const CheckReport report = CheckCalibration(CalibrationOf(values), {MapSize(bmp), std::nullopt});
    if (!report.findings.empty())
        ShowReport(report, true);
}

void CCalibrationTools::ShowReport(const std::optional<CheckReport>& report, bool bBesideDialog)
{
    if (!m_report)
        m_report = new CCheckReportWnd(&m_dialog);
    m_report->ShowReport(report);
    if (bBesideDialog)
        PlaceBesideDialog(*m_report, m_dialog);
    m_report->show();
    m_report->raise();
}

void CCalibrationTools::OnCheckPoint()
{
    // The mark of the check before goes with the new one.
    m_view.SetCheckMark(std::nullopt);
    Refresh();
    if (!m_view.IsBitmapLoaded())
        return static_cast<void>(ShowMessageText(ToolText(TT_NO_MAP), MB_OK));
    if (!m_calibration)
        return static_cast<void>(ShowMessageText(ToolText(TT_NO_POSITION), MB_OK));
    if (!m_calibration->IsDefined())
        return static_cast<void>(ShowMessageText(ToolText(TT_NO_CALIBRATION), MB_OK));
    const Calibration c = *m_calibration;
    const PixelPoint clicked = DialogPixel(m_view.ContextPixel());
    const QString prompt = ToolText(TT_POSITION_PROMPT)
                               .arg(static_cast<long long>(clicked.x))
                               .arg(static_cast<long long>(clicked.y))
                               .arg(FormatName(m_dialog.m_nFormat), DatumName(m_dialog.m_nDatum));
    // The fields start at the calibration's position of the click: the
    // user types over the digits that differ.
    const GeoPoint atClick = c.PositionAt(clicked);
    const std::optional<Wgs84Degrees> known =
        AskKnownPosition(m_dialog, ToolText(TT_CHECK_POINT_CAPTION), prompt, Wgs84Degrees{atClick.lon, atClick.lat});
    if (!known)
        return;
    const ThirdPointCheck check = CheckThirdPoint(c, clicked, {known->lon, known->lat});
    const double height = m_view.BitmapInfo().bmHeight;
    // Pixel centres: column x spans x to x + 1 in the view.
    m_view.SetCheckMark(MapCheckMark{QPointF(clicked.x + 0.5, height - clicked.y + 0.5),
                                     QPointF(check.predicted.x + 0.5, height - check.predicted.y + 0.5)});
    ShowMessageText(QString::fromStdString(ThirdPointText(check)), MB_OK);
}

void CCalibrationTools::OnToggleGrid()
{
    m_bGrid = !m_bGrid;
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt(QLatin1String(kSettingsSection), QLatin1String(kEntryGrid), m_bGrid ? 1 : 0);
    m_frame.SetCommandChecked(ID_GRID, m_bGrid);
    UpdateGrid();
}

void CCalibrationTools::UpdateGrid()
{
    std::vector<MapGridLine> lines;
    if (m_bGrid && m_view.IsBitmapLoaded() && m_calibration)
    {
        const double height = m_view.BitmapInfo().bmHeight;
        for (const GraticuleLine& line :
             GraticuleOf(*m_calibration, {m_view.BitmapInfo().bmWidth, m_view.BitmapInfo().bmHeight}))
            lines.push_back({line.bMeridian, line.bMeridian ? line.pixel + 0.5 : height - line.pixel + 0.5,
                             QString::fromStdString(GraticuleLabel(line))});
    }
    m_view.SetGrid(m_bGrid, std::move(lines));
}
