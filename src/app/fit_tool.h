#pragma once
// CFitTool: a calibration fitted to many known points on the desktop. "Add
// fit point here..." in the map's context menu asks for the known position
// of the clicked feature (the reference dialog's format, datum and field
// checks) and marks it on the map; the Fit window lists the points with
// their residuals, edits or removes one, and "Use fit" puts the two
// reference points that reproduce the fit into the dialog. The points live
// until the map is hidden or another map is shown.

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "calibration/fit.h"
#include "conversion/position_converter.h"

class CFitWnd;
class CKartoraView;
class CReferenceDlg;

class CFitTool final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CFitTool)
public:
    /// `calibration` gives the dialog's calibration, where a new point's
    /// fields start while there is no fit.
    CFitTool(CReferenceDlg& dialog, CKartoraView& view,
             std::function<std::optional<calibration::Calibration>()> calibration);
    ~CFitTool() override;

    /// Asks for the position of the feature at the view's context pixel and
    /// adds it as a fit point.
    void OnAddFitPoint();
    /// Forgets every point (the map went).
    void Clear();

    /// The Fit window, null before the first point.
    CFitWnd* Window() const;
    const std::optional<calibration::Fit>& Current() const { return m_fit; }

private:
    struct Point
    {
        QPoint viewPixel; ///< bitmap pixel from the top row
        conversion::Wgs84Degrees position;
        conversion::EntryValues typed; ///< point 0 as typed, in `format` and `datum`
        std::int32_t format = 0;
        std::int32_t datum = 0;
    };

    /// Asks for the position of the feature at `viewPixel`, the fields
    /// starting at `start`, else at `point`'s typed values; fills `point`
    /// and returns true unless cancelled.
    bool AskPosition(QPoint viewPixel, std::optional<conversion::Wgs84Degrees> start, Point& point);
    calibration::PixelPoint DialogPixel(QPoint viewPixel) const;
    /// Fits the points again and shows them in the window and on the map.
    void Refresh();
    void OnEdit(int index);
    void OnRemove(int index);
    void OnUseFit();

    CReferenceDlg& m_dialog;
    CKartoraView& m_view;
    std::function<std::optional<calibration::Calibration>()> m_calibration;
    conversion::CPositionConverter m_converter;
    std::vector<Point> m_points;
    std::optional<calibration::Fit> m_fit;
    QPointer<CFitWnd> m_window; ///< a child of the dialog
    bool m_bRefreshPending = false;
};
