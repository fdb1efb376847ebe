// The map view: loading and showing the bitmap, the markers, panning, the
// context menu and the messages exchanged with the reference dialog.
#include "mapview/kartora_view.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "mapview/bitmap_paint.h"
#include "mapview/map_loading.h"
#include "messages/messages.h"
#include "platform/user_message.h"
#include "platform/winapp.h"
#include "resources/menus.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"
#include "shell/window_messages.h"

namespace
{

const QColor kMarkerRed(255, 0, 0);

/// The mouse position in the client area (the viewport), with its fraction
/// of a pixel. Qt hands a widget the position rounded to whole pixels (the
/// window maps it through integer points), which on a scaled screen puts a
/// click on the lower-right half of a map pixel into the next pixel. The
/// position within the window keeps the fraction, and the viewport stands a
/// whole number of pixels into the window. A position that has a fraction
/// already was not rounded and is taken as it is.
QPointF ClientPosition(const QMouseEvent& event)
{
    const auto exact = [](qreal local, qreal scene)
    { return local != std::floor(local) ? local : local + (scene - qRound(scene)); };
    return {exact(event.position().x(), event.scenePosition().x()),
            exact(event.position().y(), event.scenePosition().y())};
}

/// A 32-bit value of a message's pointed-to array, read as the signed value
/// the messages carry (the dialog keeps its pixels unsigned).
std::int32_t SignedValue(std::uint32_t value)
{
    return static_cast<std::int32_t>(value);
}

} // namespace

CKartoraView::CKartoraView(DialogFactory createReferenceDialog, QWidget* parent)
    : QAbstractScrollArea(parent), m_pThickPen(kMarkerRed, 2, Qt::SolidLine),
      m_pThinPen(kMarkerRed, 1, Qt::SolidLine, Qt::FlatCap), m_createReferenceDialog(std::move(createReferenceDialog))
{
    // The context menu opens on the right button's release, from our own
    // handler; Qt's context-menu event (sent on the press on X11) must not
    // open a second one in a parent.
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    // The status bar shows the position under the mouse, also without a button down.
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    SetAccessibleTexts();

    // A trough click of a scroll bar moves by the page size of the scroll
    // sizes (a tenth of the map), while the bar's own page step stays the
    // visible extent so that the handle shows how much of the map is seen.
    // At actionTriggered the bar's value is still the one before the action.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
    {
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar](int action)
                {
                    const int page = bar == horizontalScrollBar() ? m_sizePage.width() : m_sizePage.height();
                    if (action == QAbstractSlider::SliderPageStepAdd)
                        bar->setSliderPosition(bar->value() + page);
                    else if (action == QAbstractSlider::SliderPageStepSub)
                        bar->setSliderPosition(bar->value() - page);
                });
    }
}

CKartoraView::~CKartoraView() = default;

bool CKartoraView::IsRefPointSet(int index) const
{
    return index >= 0 && index < 2 && m_bRefPointSet[static_cast<std::size_t>(index)] != 0;
}

QPoint CKartoraView::RefPoint(int index) const
{
    return index >= 0 && index < 2 ? m_refPoint[static_cast<std::size_t>(index)] : QPoint();
}

QPoint CKartoraView::ScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint CKartoraView::BitmapPixelAt(QPointF clientPosition) const
{
    // The pixel whose square holds the position: rounding would give the
    // next pixel for the lower-right half of a pixel on a scaled screen.
    return ScrollPosition() +
           QPoint(static_cast<int>(std::floor(clientPosition.x())), static_cast<int>(std::floor(clientPosition.y())));
}

void CKartoraView::OnInitialUpdate()
{
    SetScrollSizes(QSize(100, 100));
    if (m_createReferenceDialog)
        m_pRefDlg = m_createReferenceDialog(this);
    m_pMainFrame = AfxGetMainWnd();
}

// ---- scrolling ------------------------------------------------------------

void CKartoraView::SetScrollSizes(QSize total)
{
    m_sizeTotal = total;
    m_sizePage = QSize(std::max(1, total.width() / 10), std::max(1, total.height() / 10));
    UpdateScrollBars();
}

void CKartoraView::UpdateScrollBars()
{
    const QSize visible = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setSingleStep(std::max(1, m_sizeTotal.width() / 100));
    v->setSingleStep(std::max(1, m_sizeTotal.height() / 100));
    h->setPageStep(std::max(1, visible.width()));
    v->setPageStep(std::max(1, visible.height()));
    h->setRange(0, std::max(0, m_sizeTotal.width() - visible.width()));
    v->setRange(0, std::max(0, m_sizeTotal.height() - visible.height()));
}

void CKartoraView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CKartoraView::scrollContentsBy(int dx, int dy)
{
    // Moves what is on screen and paints only the strips that came into view.
    viewport()->scroll(dx, dy);
}

// ---- posted messages ------------------------------------------------------

bool CKartoraView::event(QEvent* event)
{
    if (const UserMessageEvent* msg = UserMessageEvent::From(event))
    {
        switch (msg->Message())
        {
        case WM_MAP_LOAD:
            OnMapLoad(msg->WParam(), msg->LParam(), false);
            break;
        case WM_MAP_CONVERT:
            OnMapLoad(msg->WParam(), msg->LParam(), true);
            break;
        case WM_MAP_SHOW:
            OnMapShow(msg->WParam(), msg->LParam());
            break;
        case WM_REFPOINT_MOVED:
            OnRefPointMoved(msg->WParam(), msg->LParam());
            break;
        default:
            break;
        }
        return true;
    }
    return QAbstractScrollArea::event(event);
}

LRESULT CKartoraView::OnMapLoad(WPARAM wParam, LPARAM lParam, bool bConvert)
{
    if (wParam == 0)
    {
        viewport()->repaint();
        return 0;
    }
    // Both point into the dialog's storage, which outlives the message; the
    // values are copied before anything can run another handler.
    MapLoadRequest request;
    if (bConvert)
    {
        const auto& conversion = *reinterpret_cast<const MapConversion*>(wParam);
        request = {conversion.scanPath, conversion.bmpPath};
    }
    else
    {
        request.path = *reinterpret_cast<const QString*>(wParam);
    }
    std::array<std::int32_t, 4> picked = {};
    if (lParam != 0)
    {
        const auto* values = reinterpret_cast<const std::uint32_t*>(lParam);
        for (std::size_t i = 0; i < picked.size(); ++i)
            picked[i] = SignedValue(values[i]);
    }
    // A load asked for while one runs (its questions included) comes after it.
    m_deferredLoads.push_back({request, picked});
    if (m_bLoading)
        return 0;
    const QPointer<CKartoraView> self(this);
    while (self && !m_deferredLoads.empty())
    {
        const DeferredLoad next = m_deferredLoads.front();
        m_deferredLoads.pop_front();
        m_bLoading = true;
        LoadMap(next.request, next.picked);
        if (self)
            m_bLoading = false;
    }
    return 0;
}

void CKartoraView::LoadMap(const MapLoadRequest& request, const std::array<std::int32_t, 4>& picked)
{
    // The map the user works with: for a conversion the device BMP.
    const QString& shownPath = request.devicePath.isEmpty() ? request.path : request.devicePath;

    // Every load brings the frame up, also when the file then fails to load.
    emit placeFrameForMap(shownPath);
    if (m_pMainFrame)
    {
        ShowMainFrame();
        setFocus();
        m_pMainFrame->repaint();
    }

    // The previous map stays shown while the new one loads, so that Cancel
    // can leave it there; the two are in memory together only meanwhile.
    const QPointer<CKartoraView> self(this);
    const QString label =
        QString::fromUtf8(GetMessageText(MSG_LOADING_MAP, QFileInfo(shownPath).fileName().toUtf8().constData()));
    MapLoadResult loaded = RunMapLoad(request, m_pMainFrame ? m_pMainFrame.data() : this, label);
    if (!self)
        return;
    if (loaded.bCancelled)
    {
        // The dialog names the map shown again; without one, it comes back.
        PostMessage(m_pRefDlg, WM_MAP_LOAD_FAILED);
        PostMessage(m_pRefDlg, WM_MAP_STATE, m_bBitmapLoaded != 0 ? 1 : 0);
        if (m_bBitmapLoaded == 0)
            OnCommand(ID_HIDE_MAP);
        return;
    }
    if (!loaded.map)
    {
        m_bitmap = QImage();
        m_bmInfo = BitmapRecord();
        m_bBitmapLoaded = 0;
        viewport()->update();
        ReportLoadFailure(request, loaded);
        PostMessage(m_pRefDlg, WM_MAP_LOAD_FAILED);
        PostMessage(m_pRefDlg, WM_MAP_STATE, 0);
        emit mapChanged();
        OnCommand(ID_HIDE_MAP);
        return;
    }
    m_bitmap = std::move(loaded.map->image);
    m_bmInfo = loaded.map->info;
    loaded.map.reset();
    SetScrollSizes(QSize(m_bmInfo.bmWidth, m_bmInfo.bmHeight));

    for (std::size_t i = 0; i < 2; ++i)
    {
        const std::int32_t x = picked[2 * i];
        const std::int32_t y = picked[2 * i + 1];
        m_bRefPointSet[i] = x > 0 && y > 0 ? 1 : 0;
        m_refPoint[i] = QPoint(x, m_bRefPointSet[i] != 0 ? m_bmInfo.bmHeight - y : y);
    }
    // The keyboard cursor starts in the middle of what is in view.
    m_ptKeyCursor = ScrollPosition() + QPoint(std::min(m_bmInfo.bmWidth, viewport()->width()) / 2,
                                              std::min(m_bmInfo.bmHeight, viewport()->height()) / 2);
    m_bKeyCursorShown = false;
    m_bBitmapLoaded = 1;
    // Painted at once, before the question: the map shows as soon as it is
    // read, behind the question and before the message box is built.
    viewport()->repaint();

    if (m_bmInfo.bmBitsPixel > 8 && ShowMessage(MSG_BPP_NOT_4_OR_8, MB_YESNO) != IDYES)
    {
        if (!self)
            return;
        m_bBitmapLoaded = 0;
        PostMessage(m_pRefDlg, WM_MAP_STATE, 0);
        emit mapChanged();
        OnCommand(ID_HIDE_MAP);
        return;
    }
    if (!self)
        return;
    PostMessage(m_pRefDlg, WM_MAP_STATE, 1);
    emit mapChanged();
    viewport()->repaint();
}

void CKartoraView::ReportLoadFailure(const MapLoadRequest& request, const MapLoadResult& loaded)
{
    if (loaded.writeError)
    {
        ShowFileNotWritten(request.devicePath, *loaded.writeError);
        return;
    }
    // A file of another image format that its reader could not take says
    // why; anything else is no map, as the design's message says.
    const bool bKnownImage = loaded.readError == MapReadError::Damaged || loaded.readError == MapReadError::TooLarge ||
                             loaded.readError == MapReadError::OutOfMemory;
    if (!bKnownImage)
    {
        ShowMessage(MSG_NOT_A_BMP, MB_OK);
        return;
    }
    ShowMessageWithReason(MSG_IMAGE_NOT_READ, QFileInfo(request.path).fileName(),
                          QString::fromUtf8(MapReadErrorText(loaded.readError)));
}

LRESULT CKartoraView::OnRefPointMoved(WPARAM wParam, LPARAM lParam)
{
    // Only points 0 and 1 exist; any other index is not a point of ours.
    if (m_bBitmapLoaded != 0 && wParam < 2 && lParam != 0)
    {
        const auto* values = reinterpret_cast<const std::uint32_t*>(lParam);
        const std::int32_t x = SignedValue(values[0]);
        const std::int32_t y = SignedValue(values[1]);
        const std::size_t i = wParam;
        m_bRefPointSet[i] = x > 0 && y > 0 ? 1 : 0;
        m_refPoint[i] = QPoint(x, m_bRefPointSet[i] != 0 ? m_bmInfo.bmHeight - y : y);
        viewport()->update();
    }
    viewport()->repaint();
    return 0;
}

LRESULT CKartoraView::OnMapShow(WPARAM, LPARAM)
{
    ShowMainFrame();
    return 0;
}

void CKartoraView::ShowMainFrame()
{
    if (!m_pMainFrame)
        return;
    m_pMainFrame->show();
    m_pMainFrame->raise();
    m_pMainFrame->activateWindow();
}

void CKartoraView::ShowReferenceDialog()
{
    if (!m_pRefDlg)
        return;
    m_pRefDlg->show();
    m_pRefDlg->raise();
    m_pRefDlg->activateWindow();
}

// ---- commands -------------------------------------------------------------

bool CKartoraView::OnCommand(int id)
{
    switch (id)
    {
    case ID_SHOW_DIALOG:
        ShowReferenceDialog();
        break;
    case ID_REF_POINT_1:
        PickRefPoint(0);
        break;
    case ID_REF_POINT_2:
        PickRefPoint(1);
        break;
    case ID_HIDE_DIALOG:
        if (m_pRefDlg)
            m_pRefDlg->hide();
        break;
    case ID_HIDE_MAP:
        m_bRefPointSet = {0, 0};
        m_checkMark.reset();
        m_fitMarks.clear();
        emit cursorLeftMap();
        emit mapChanged();
        if (m_pMainFrame)
        {
            m_pMainFrame->hide();
            m_pMainFrame->repaint();
        }
        ShowReferenceDialog();
        if (m_pRefDlg)
            m_pRefDlg->repaint();
        break;
    case ID_IMPORT_REFPOINTS:
        OnImportRefPoints();
        break;
    case ID_EXPORT_CALIBRATION:
        PostMessage(m_pRefDlg, WM_EXPORT_CALIBRATION);
        break;
    case ID_IMPORT_CALIBRATION:
        PostMessage(m_pRefDlg, WM_IMPORT_CALIBRATION);
        break;
    case ID_CHECK_CALIBRATION:
    case ID_CHECK_POINT:
    case ID_ADD_FIT_POINT:
    case ID_GRID:
        emit calibrationCommand(id);
        break;
    default:
        // The context menu's id range has more ids than items; they do nothing.
        if (id < ID_SHOW_DIALOG || id > ID_HIDE_MAP)
            return false;
        break;
    }
    viewport()->update();
    return true;
}

void CKartoraView::PickRefPoint(int index)
{
    const auto i = static_cast<std::size_t>(index);
    if (m_bRefPointSet[i] != 0)
        viewport()->update();
    m_refPoint[i] = m_ptContext;
    // The position is not checked against the bitmap: a click beside a small
    // map gives a pixel outside it, and the dialog shows what it got.
    PostMessage(m_pRefDlg, index == 0 ? WM_REFPOINT1_PICKED : WM_REFPOINT2_PICKED,
                static_cast<WPARAM>(static_cast<std::intptr_t>(m_ptContext.x())),
                static_cast<LPARAM>(m_bmInfo.bmHeight - m_ptContext.y()));
    m_bRefPointSet[i] = 1;
}

void CKartoraView::OnImportRefPoints()
{
    PostMessage(m_pRefDlg, WM_IMPORT_REFPOINTS);
}

// ---- mouse ----------------------------------------------------------------

void CKartoraView::mousePressEvent(QMouseEvent* event)
{
    // The mouse takes over from the keyboard cursor.
    if (m_bKeyCursorShown)
    {
        m_bKeyCursorShown = false;
        viewport()->update();
    }
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(BitmapPixelAt(ClientPosition(*event)) - ScrollPosition());
    event->accept();
}

void CKartoraView::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(event->buttons(), event->modifiers(), BitmapPixelAt(ClientPosition(*event)) - ScrollPosition());
    // Asked after the pan: the mouse then stands over another pixel.
    const QPoint over = BitmapPixelAt(ClientPosition(*event));
    if (m_bBitmapLoaded != 0 && QRect(0, 0, m_bmInfo.bmWidth, m_bmInfo.bmHeight).contains(over))
        emit cursorOverMap(over);
    else
        emit cursorLeftMap();
    event->accept();
}

bool CKartoraView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        emit cursorLeftMap();
    return QAbstractScrollArea::viewportEvent(event);
}

void CKartoraView::SetGrid(bool bShown, std::vector<MapGridLine> lines)
{
    m_bGridShown = bShown;
    m_gridLines = std::move(lines);
    viewport()->update();
}

void CKartoraView::SetCheckMark(std::optional<MapCheckMark> mark)
{
    m_checkMark = std::move(mark);
    viewport()->update();
}

void CKartoraView::SetFitMarks(std::vector<MapFitMark> marks)
{
    m_fitMarks = std::move(marks);
    viewport()->update();
}

void CKartoraView::mouseReleaseEvent(QMouseEvent* event)
{
    // A release outside the view belongs to whatever lies there; Qt still
    // delivers it here because the press grabbed the mouse.
    const QPoint point = BitmapPixelAt(ClientPosition(*event)) - ScrollPosition();
    if (event->button() == Qt::RightButton && viewport()->rect().contains(point))
        OnRButtonUp(point);
    event->accept();
}

void CKartoraView::OnLButtonDown(QPoint point)
{
    m_ptDragAnchor = ScrollPosition() + point;
}

void CKartoraView::OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point)
{
    // Only a plain left drag pans: with Shift, Ctrl or another button down
    // the map stays where it is. The scroll bars clamp to the map.
    if (buttons != Qt::LeftButton || (modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return;
    horizontalScrollBar()->setValue(m_ptDragAnchor.x() - point.x());
    verticalScrollBar()->setValue(m_ptDragAnchor.y() - point.y());
}

void CKartoraView::OnRButtonUp(QPoint point)
{
    // The keyboard goes on from the pixel the mouse picked.
    m_ptKeyCursor = ScrollPosition() + point;
    TrackContextMenu(ScrollPosition() + point, point);
}

void CKartoraView::TrackContextMenu(QPoint pixel, QPoint clientPoint)
{
    QPointer<QMenu> menu = LoadPopupMenu(IDR_CONTEXT_MENU, 0, this);
    if (!menu)
        return;
    m_ptContext = pixel;
    // Without a map there is no pixel to pick: the empty window's click
    // used to give the dialog a pixel beside any bitmap. Nor while a map
    // loads: the pixel would be one of the map about to be replaced.
    for (QAction* action : menu->actions())
    {
        const int id = action->data().toInt();
        if (id == ID_REF_POINT_1 || id == ID_REF_POINT_2 || id == ID_CHECK_POINT || id == ID_ADD_FIT_POINT)
            action->setEnabled(m_bBitmapLoaded != 0 && !m_bLoading);
        if (id == ID_GRID)
        {
            action->setCheckable(true);
            action->setChecked(m_bGridShown);
        }
    }
    SetMenuLanguage(menu, g_nLanguage);
    // Left-aligned at the point, from the top-left corner of the client
    // area (the viewport, inside the view's frame).
    const QPointer<CKartoraView> self(this);
    const QAction* chosen = menu->exec(viewport()->mapToGlobal(clientPoint));
    const int id = chosen != nullptr ? chosen->data().toInt() : 0;
    delete menu;
    if (self && id != 0)
        OnCommand(id);
}

void CKartoraView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int step = modifiers == Qt::ShiftModifier ? 10 : 1;
    const bool plain = modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier;
    switch (event->key())
    {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!plain || m_bBitmapLoaded == 0)
            break;
        MoveKeyboardCursor(event->key() == Qt::Key_Left    ? -step
                           : event->key() == Qt::Key_Right ? step
                                                           : 0,
                           event->key() == Qt::Key_Up     ? -step
                           : event->key() == Qt::Key_Down ? step
                                                          : 0);
        event->accept();
        return;
    case Qt::Key_Menu:
    case Qt::Key_F10:
        if (event->key() == Qt::Key_F10 && modifiers != Qt::ShiftModifier)
            break;
        // At the keyboard cursor, which then shows, or in the window's
        // middle when there is no map to point at.
        if (m_bBitmapLoaded != 0)
        {
            MoveKeyboardCursor(0, 0);
            TrackContextMenu(m_ptKeyCursor, m_ptKeyCursor - ScrollPosition());
        }
        else
        {
            const QPoint middle(viewport()->width() / 2, viewport()->height() / 2);
            TrackContextMenu(ScrollPosition() + middle, middle);
        }
        event->accept();
        return;
    case Qt::Key_Escape:
        if (modifiers != Qt::NoModifier)
            break;
        OnCommand(ID_SHOW_DIALOG);
        event->accept();
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CKartoraView::focusInEvent(QFocusEvent* event)
{
    // Named when the focus arrives, which is when a screen reader reads it:
    // the language may have changed since.
    SetAccessibleTexts();
    QAbstractScrollArea::focusInEvent(event);
}

void CKartoraView::SetAccessibleTexts()
{
    const bool bEnglish = g_nLanguage == 1;
    setAccessibleName(bEnglish ? QStringLiteral("Map") : QStringLiteral("Karte"));
    setAccessibleDescription(
        bEnglish ? QStringLiteral("Arrow keys move the cursor, with Shift ten pixels; the Menu key or Shift+F10 "
                                  "opens the menu to pick a reference point there; Escape shows the dialog.")
                 : QString::fromUtf8("Pfeiltasten bewegen den Cursor, mit Umschalt zehn Pixel; die Menütaste oder "
                                     "Umschalt+F10 öffnet das Menü, um dort einen Referenzpunkt zu wählen; Escape "
                                     "zeigt den Dialog."));
}

void CKartoraView::MoveKeyboardCursor(int dx, int dy)
{
    const int width = std::max(1, m_bmInfo.bmWidth);
    const int height = std::max(1, m_bmInfo.bmHeight);
    m_ptKeyCursor =
        QPoint(std::clamp(m_ptKeyCursor.x() + dx, 0, width - 1), std::clamp(m_ptKeyCursor.y() + dy, 0, height - 1));
    m_bKeyCursorShown = true;
    // Scroll just enough to keep the cursor (and a margin around it) in view.
    const int margin = 20;
    const QPoint origin = ScrollPosition();
    const QSize visible = viewport()->size();
    auto keep = [margin](int value, int position, int extent)
    {
        if (position < value + margin)
            return position - margin;
        if (position > value + extent - 1 - margin)
            return position - extent + 1 + margin;
        return value;
    };
    horizontalScrollBar()->setValue(keep(origin.x(), m_ptKeyCursor.x(), visible.width()));
    verticalScrollBar()->setValue(keep(origin.y(), m_ptKeyCursor.y(), visible.height()));
    viewport()->update();
}

// ---- drawing --------------------------------------------------------------

void CKartoraView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    // One logical unit is one bitmap pixel; the translation follows the scroll position.
    const QPoint origin = ScrollPosition();
    painter.translate(-origin);
    OnDraw(painter, event->region().translated(origin));
}

void CKartoraView::OnDraw(QPainter& painter, const QRegion& exposedRegion)
{
    if (m_bBitmapLoaded == 0)
        return; // the erased background only
    // A diagonal pan exposes an L of two strips; its bounding rectangle
    // would be the whole window, so each rectangle is copied on its own.
    for (const QRect& part : exposedRegion)
        DrawBitmapArea(painter, m_bitmap, part, m_paintBuffer);
    const QRect exposed = exposedRegion.boundingRect();
    if (m_bGridShown)
        DrawGrid(painter, m_gridLines, QSize(m_bmInfo.bmWidth, m_bmInfo.bmHeight), exposed);
    const QPen previous = painter.pen();
    for (int i = 0; i < 2; ++i)
        if (m_bRefPointSet[static_cast<std::size_t>(i)] != 0)
            DrawMarker(painter, exposed, i);
    // Over the markers: a checked point is often one of them.
    if (m_checkMark)
        DrawCheckMark(painter, *m_checkMark);
    DrawFitMarks(painter, m_fitMarks);
    if (m_bKeyCursorShown)
        DrawKeyboardCursor(painter);
    painter.setPen(previous);
}

void CKartoraView::DrawKeyboardCursor(QPainter& painter) const
{
    // A crosshair of black and white dashes, seen on light and dark maps,
    // with its centre pixel left open so that the pixel itself shows.
    const QPointF centre = QPointF(m_ptKeyCursor) + QPointF(0.5, 0.5);
    constexpr double kArm = 16.0;
    constexpr double kGap = 2.0;
    const QLineF arms[] = {{centre - QPointF(kArm, 0), centre - QPointF(kGap, 0)},
                           {centre + QPointF(kGap, 0), centre + QPointF(kArm, 0)},
                           {centre - QPointF(0, kArm), centre - QPointF(0, kGap)},
                           {centre + QPointF(0, kGap), centre + QPointF(0, kArm)}};
    QPen white(Qt::white, 1);
    painter.setPen(white);
    painter.drawLines(arms, 4);
    QPen black(Qt::black, 1, Qt::DashLine);
    painter.setPen(black);
    painter.drawLines(arms, 4);
}

void CKartoraView::DrawMarker(QPainter& painter, const QRect& exposed, int index)
{
    const QPoint point = m_refPoint[static_cast<std::size_t>(index)];
    const QString label = index == 0 ? QStringLiteral("Ref.1") : QStringLiteral("Ref.2");
    const QFontMetrics metrics(painter.font());

    // The label stands right of the marker unless the marker's x (a bitmap
    // pixel) comes within 60 of the view window's width; the test compares
    // the two as they are, whatever the scroll position.
    const qint64 x = point.x();
    const qint64 y = point.y();
    const qint64 labelX = x + 60 > ViewWindowWidth() ? x - 50 : x + 20;

    // A marker far outside the exposed area is skipped; this also keeps the
    // arithmetic below within int for any pixel the dialog sends.
    const qint64 left = std::min(x - 11, labelX);
    const qint64 right = std::max(x + 11, labelX + metrics.horizontalAdvance(label));
    const qint64 top = y - 11;
    const qint64 bottom = std::max(y + 11, y + metrics.height());
    if (right < exposed.left() || left > exposed.right() || bottom < exposed.top() || top > exposed.bottom())
        return;
    const int px = static_cast<int>(x);
    const int py = static_cast<int>(y);

    // Centred on the middle of the pixel: on a scaled screen a pixel covers
    // several device pixels, and its corner would put the marker beside it.
    const QPointF centre(px + 0.5, py + 0.5);
    // Cross of the thin pen, 10 pixels each way (the end pixel not drawn).
    painter.setPen(m_pThinPen);
    painter.drawLine(centre - QPointF(10, 0), centre + QPointF(10, 0));
    painter.drawLine(centre - QPointF(0, 10), centre + QPointF(0, 10));
    // Circle of radius 10 of the thick pen around it.
    painter.setPen(m_pThickPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 10, 10);

    // The label in the painter's font: black text on an opaque white box,
    // top-left corner at the label position.
    painter.save();
    painter.setPen(Qt::black);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.drawText(QRect(static_cast<int>(labelX), py, metrics.horizontalAdvance(label) + 1, metrics.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, label);
    painter.restore();
}
