#include "app/fit_tool.h"

#include <QTimer>

#include <algorithm>

#include "calibration/check_texts.h"
#include "checkwindows/fit_wnd.h"
#include "checkwindows/position_text.h"
#include "checkwindows/tool_texts.h"
#include "checkwindows/window_place.h"
#include "mapview/kartora_view.h"
#include "refdialog/known_position_dlg.h"
#include "refdialog/reference_dlg.h"

using namespace calibration;
using namespace conversion;

CFitTool::CFitTool(CReferenceDlg& dialog, CKartoraView& view,
                   std::function<std::optional<calibration::Calibration>()> calibration)
    : m_dialog(dialog), m_view(view), m_calibration(std::move(calibration))
{
    // Another map, or none: the points were on the map that went.
    connect(&m_view, &CKartoraView::mapChanged, this, &CFitTool::Clear);
    // The positions follow the dialog's format, datum and language.
    connect(&m_dialog, &CReferenceDlg::dataExchanged, this,
            [this]
            {
                if (m_window && !m_bRefreshPending)
                {
                    m_bRefreshPending = true;
                    QTimer::singleShot(0, this, &CFitTool::Refresh);
                }
            });
}

CFitTool::~CFitTool() = default;

CFitWnd* CFitTool::Window() const
{
    return m_window.data();
}

PixelPoint CFitTool::DialogPixel(QPoint viewPixel) const
{
    return {static_cast<double>(viewPixel.x()), static_cast<double>(m_view.BitmapInfo().bmHeight - viewPixel.y())};
}

bool CFitTool::AskPosition(QPoint viewPixel, std::optional<Wgs84Degrees> start, Point& point)
{
    const PixelPoint pixel = DialogPixel(viewPixel);
    const QString prompt = ToolText(TT_POSITION_PROMPT)
                               .arg(static_cast<long long>(pixel.x))
                               .arg(static_cast<long long>(pixel.y))
                               .arg(FormatName(m_dialog.m_nFormat), DatumName(m_dialog.m_nDatum));
    EntryValues typed = point.typed;
    const std::optional<Wgs84Degrees> position =
        AskKnownPosition(m_dialog, ToolText(TT_FIT_POINT_CAPTION), prompt, start, &typed);
    if (!position)
        return false;
    point = {viewPixel, *position, typed, m_dialog.m_nFormat, m_dialog.m_nDatum};
    return true;
}

void CFitTool::OnAddFitPoint()
{
    if (!m_view.IsBitmapLoaded())
        return;
    const QPoint viewPixel = m_view.ContextPixel();
    // The fields start where the fit so far, or else the dialog's two
    // points, put the click: the user types over the digits that differ.
    std::optional<Wgs84Degrees> start;
    const PixelPoint pixel = DialogPixel(viewPixel);
    if (m_fit)
    {
        const GeoPoint fitted = m_fit->PositionAt(pixel);
        start = Wgs84Degrees{fitted.lon, fitted.lat};
    }
    else if (const std::optional<Calibration> calibration = m_calibration ? m_calibration() : std::nullopt;
             calibration && calibration->IsDefined())
    {
        const GeoPoint there = calibration->PositionAt(pixel);
        start = Wgs84Degrees{there.lon, there.lat};
    }
    Point point;
    if (!AskPosition(viewPixel, start, point))
        return;
    // A second point on the same pixel replaces the first: one feature, one position.
    const auto same = std::find_if(m_points.begin(), m_points.end(),
                                   [&](const Point& known) { return known.viewPixel == viewPixel; });
    const auto index = static_cast<int>(same - m_points.begin());
    if (same != m_points.end())
        *same = point;
    else
        m_points.push_back(point);
    const bool bFirstShow = !m_window;
    Refresh();
    if (bFirstShow)
        PlaceBesideDialog(*m_window, m_dialog);
    m_window->show();
    m_window->raise();
    m_window->SelectPoint(index);
}

void CFitTool::Clear()
{
    m_points.clear();
    m_fit.reset();
    if (m_window)
    {
        m_window->hide();
        Refresh();
    }
    m_view.SetFitMarks({});
}

void CFitTool::Refresh()
{
    m_bRefreshPending = false;
    std::vector<FitPoint> points;
    std::vector<CFitWnd::Row> rows;
    for (const Point& point : m_points)
    {
        const PixelPoint pixel = DialogPixel(point.viewPixel);
        points.push_back({pixel, {point.position.lon, point.position.lat}});
        // As typed while the dialog's format and datum are those it was typed
        // in; else through the converter's from-WGS84 path, as the dialog's
        // fields would show it.
        EntryValues values = point.typed;
        QString position;
        if ((point.format == m_dialog.m_nFormat && point.datum == m_dialog.m_nDatum) ||
            m_converter.Express(point.position, m_dialog.m_nDatum, m_dialog.m_nFormat, values))
            position = PositionText(m_dialog.m_nFormat, values, 0);
        rows.push_back(
            {QStringLiteral("%1, %2").arg(static_cast<long long>(pixel.x)).arg(static_cast<long long>(pixel.y)),
             position});
    }
    FitRefusal refusal{};
    m_fit = points.empty() ? std::nullopt : FitPoints(points, &refusal);
    const QString why =
        m_fit || points.empty() ? QString() : QString::fromStdString(calibration::FitRefusalText(refusal));

    if (!m_window)
    {
        m_window = new CFitWnd(&m_dialog);
        connect(m_window, &CFitWnd::EditPoint, this, &CFitTool::OnEdit);
        connect(m_window, &CFitWnd::RemovePoint, this, &CFitTool::OnRemove);
        connect(m_window, &CFitWnd::UseFit, this, &CFitTool::OnUseFit);
    }
    m_window->ShowFit(rows, m_fit, why);

    std::vector<MapFitMark> marks;
    for (std::size_t i = 0; i < m_points.size(); ++i)
        marks.push_back({QPointF(m_points[i].viewPixel) + QPointF(0.5, 0.5), static_cast<int>(i + 1),
                         m_fit && i == m_fit->worst && m_fit->residuals[i].metres > kExactFitMetres});
    m_view.SetFitMarks(std::move(marks));
}

void CFitTool::OnEdit(int index)
{
    if (index < 0 || index >= static_cast<int>(m_points.size()))
        return;
    // Typed again where it was typed: the fields start at what was typed.
    Point& point = m_points[static_cast<std::size_t>(index)];
    const bool bAsTyped = point.format == m_dialog.m_nFormat && point.datum == m_dialog.m_nDatum;
    if (AskPosition(point.viewPixel, bAsTyped ? std::nullopt : std::optional(point.position), point))
        Refresh();
}

void CFitTool::OnRemove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_points.size()))
        return;
    m_points.erase(m_points.begin() + index);
    Refresh();
}

void CFitTool::OnUseFit()
{
    if (!m_fit || !m_view.IsBitmapLoaded())
        return;
    const MapSize size{m_view.BitmapInfo().bmWidth, m_view.BitmapInfo().bmHeight};
    m_dialog.TakeReferencePoints(CalValuesOf(ReferencePointsOf(*m_fit, size)));
    m_window->hide();
}
