#pragma once
// CCalibrationTools: the calibration's checks on the desktop, between the
// reference dialog, the map view and the frame (which do not know each
// other's classes):
// - the status bar's readout of the pixel under the mouse and its position
//   in the dialog's entry format and datum, once the two points calibrate;
// - "Check calibration" (frame menu and map context menu) and the same
//   report beside the dialog after a Save whose values have a finding;
// - "Check point here...": a known position against the calibration, its
//   predicted place marked on the map;
// - "Grid": meridians and parallels over the map, remembered in the settings;
// - "Add fit point here...": the fit of many known points (CFitTool).
//
// The calibration is the one Save would write: both points converted to
// WGS84 by a converter of its own (the dialog's stays untouched) and rounded
// to the file's whole degrees and 0.0001'.

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <optional>

#include "app/fit_tool.h"
#include "calibration/calibration.h"
#include "calibration/calibration_check.h"
#include "conversion/position_converter.h"
#include "formats/cal_file.h"

class CCheckReportWnd;
class CKartoraView;
class CMainFrame;
class CReferenceDlg;

class CCalibrationTools final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CCalibrationTools)
public:
    CCalibrationTools(CReferenceDlg& dialog, CKartoraView& view, CMainFrame& frame);
    ~CCalibrationTools() override;

    /// The calibration of the dialog's points; nothing while a point has no
    /// WGS84 position in the dialog's format and datum.
    const std::optional<calibration::Calibration>& Current() const { return m_calibration; }
    /// The report window, null before the first report.
    CCheckReportWnd* ReportWindow() const;
    CFitTool& FitTool() { return m_fitTool; }

    void OnCommand(int id);
    void OnCheckCalibration();
    void OnCheckPoint();
    void OnToggleGrid();

private:
    /// After a change in the dialog, once its current message is handled
    /// (Save switches to WGS84 and back within one).
    void ScheduleRefresh();
    void Refresh();
    void OnCursorOverMap(QPoint pixel);
    void ShowReadout();
    void OnFileWritten(const QString& path, const formats::CalValues& values);
    /// The shown map's size, else the header's of `bmpPath` or of the BMP
    /// file the dialog names.
    std::optional<calibration::MapSize> MapSize(const QString& bmpPath = {}) const;
    void ShowReport(const std::optional<calibration::CheckReport>& report, bool bBesideDialog);
    void UpdateGrid();
    /// A pixel of the view (y from the top row) as the dialog counts it.
    calibration::PixelPoint DialogPixel(QPointF viewPixel) const;

    CReferenceDlg& m_dialog;
    CKartoraView& m_view;
    CMainFrame& m_frame;
    conversion::CPositionConverter m_converter;
    std::optional<calibration::Calibration> m_calibration;
    std::optional<QPoint> m_cursor; ///< the view pixel under the mouse
    bool m_bGrid = false;
    bool m_bRefreshPending = false;
    QPointer<CCheckReportWnd> m_report; ///< a child of the dialog
    CFitTool m_fitTool;
};
