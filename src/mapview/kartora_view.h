#pragma once
// CKartoraView: the map view of the main frame. It shows the map bitmap at its
// own size, one screen pixel per bitmap pixel, with scroll bars when the map is
// larger than the window; the user pans by dragging with the left button and
// picks the two reference points from a context menu on the right button.
//
// The view does not open files on its own initiative and does not know the
// reference dialog's class: it receives the dialog as a widget from a factory
// given at construction and talks to it only through posted window messages
// (shell/window_messages.h). Pointers that arrive with WM_MAP_LOAD and
// WM_REFPOINT_MOVED point into the dialog's members or the process-lifetime
// array of picked pixels; the view reads them when the message arrives and
// keeps no pointer to them.
//
// Coordinates: inside the view a position is a bitmap pixel with y counted
// from the top row; in every message y is counted from the bottom row. The
// view converts with y' = bitmap height - y on the way in and on the way out.
// One bitmap pixel is one logical pixel; on a scaled screen it covers several
// device pixels, and a mouse position inside it (fractional in logical
// pixels) still names that bitmap pixel.
//
// Keyboard: the arrow keys move a keyboard cursor (a crosshair; with Shift
// ten pixels a step) and the map scrolls to keep it in view; the Menu key
// and Shift+F10 open the context menu at it, so that "Ref. Point 1/2" pick
// the pixel under it; Escape brings the reference dialog back.

#include <QAbstractScrollArea>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QSize>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "mapview/calibration_overlay.h"

#include "mapview/map_loading.h"
#include "platform/bitmap/bmp_decoder.h"
#include "platform/win_types.h"

class QPainter;

class CKartoraView final : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY(CKartoraView)
public:
    /// Makes the reference dialog for a view (the application's
    /// CreateReferenceDialog). The dialog receives the view's messages.
    using DialogFactory = std::function<QWidget*(CKartoraView*)>;

    explicit CKartoraView(DialogFactory createReferenceDialog, QWidget* parent = nullptr);
    ~CKartoraView() override;

    /// Sets the scroll size to 100 x 100 pixels, asks the factory for the
    /// reference dialog and takes the application's main window as the frame
    /// that map loads show and "Hide Map" hides.
    void OnInitialUpdate();

    /// Runs command `id`: the context menu's commands and "Import
    /// Ref.Points" (1018); the calibration's commands (Check calibration,
    /// Check point here..., Add fit point here..., Grid) go out as calibrationCommand. Returns false
    /// for commands the view does not know.
    bool OnCommand(int id);

    /// The grid drawn over the map while `bShown` (the lines are kept as given).
    void SetGrid(bool bShown, std::vector<MapGridLine> lines);
    bool IsGridShown() const { return m_bGridShown; }
    const std::vector<MapGridLine>& GridLines() const { return m_gridLines; }
    /// The checked point's mark, until the next check or "Hide Map"; nothing removes it.
    void SetCheckMark(std::optional<MapCheckMark> mark);
    const std::optional<MapCheckMark>& CheckMark() const { return m_checkMark; }
    /// The fit's points, until they change or the map goes.
    void SetFitMarks(std::vector<MapFitMark> marks);
    const std::vector<MapFitMark>& FitMarks() const { return m_fitMarks; }
    /// The bitmap pixel (y from the top row) of the last context menu.
    QPoint ContextPixel() const { return m_ptContext; }

    // Read access for the frame and for tests.
    bool IsBitmapLoaded() const { return m_bBitmapLoaded != 0; }
    /// Whether a map load runs (the map shown meanwhile is the previous one).
    bool IsLoading() const { return m_bLoading; }
    const BitmapRecord& BitmapInfo() const { return m_bmInfo; }
    /// Whether the marker of point `index` (0 or 1) is shown when a map is.
    bool IsRefPointSet(int index) const;
    /// Position of point `index` in bitmap pixels, y from the top row.
    QPoint RefPoint(int index) const;
    /// The bitmap pixel at the client area's top-left corner.
    QPoint ScrollPosition() const;
    /// The keyboard cursor's bitmap pixel (y from the top row), and whether it shows.
    QPoint KeyboardCursor() const { return m_ptKeyCursor; }
    bool IsKeyboardCursorShown() const { return m_bKeyCursorShown; }

    /// The bitmap pixel under a position of the client area in logical
    /// pixels, which may be fractional on a scaled screen.
    QPoint BitmapPixelAt(QPointF clientPosition) const;
    QWidget* ReferenceDialog() const { return m_pRefDlg; }

    /// Width of the labels' placement test: the view window's width on the
    /// screen, scroll bars and border included.
    int ViewWindowWidth() const { return width(); }

signals:
    /// A map is about to be loaded from `path`, also one that then fails to
    /// load: the frame places itself and names the map in its caption. The
    /// view then shows the frame, raised and active.
    void placeFrameForMap(const QString& path);
    /// A map was loaded, or a load failed or was refused, or the map was hidden.
    void mapChanged();
    /// The mouse is over bitmap pixel `pixel` (y from the top row) of a shown map.
    void cursorOverMap(QPoint pixel);
    /// The mouse left the map (or the map went).
    void cursorLeftMap();
    /// One of the calibration's commands was chosen (the context menu's
    /// pixel is ContextPixel()).
    void calibrationCommand(int id);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    /// Names the view for screen readers in the current language.
    void SetAccessibleTexts();
    // Handlers of the posted messages; each returns 0. OnMapLoad serves
    // WM_MAP_LOAD and, with `bConvert`, WM_MAP_CONVERT.
    LRESULT OnMapLoad(WPARAM wParam, LPARAM lParam, bool bConvert);
    LRESULT OnRefPointMoved(WPARAM wParam, LPARAM lParam);
    LRESULT OnMapShow(WPARAM wParam, LPARAM lParam);

    /// Loads and shows one map (map_loading.h); the frame, the messages and
    /// the questions around it in the design's order.
    void LoadMap(const MapLoadRequest& request, const std::array<std::int32_t, 4>& picked);
    /// The message of a load that failed.
    void ReportLoadFailure(const MapLoadRequest& request, const MapLoadResult& loaded);

    /// Paints the bitmap's part `exposed` (bitmap pixels) and the markers.
    void OnDraw(QPainter& painter, const QRegion& exposed);
    void DrawMarker(QPainter& painter, const QRect& exposed, int index);

    void OnLButtonDown(QPoint point);
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point);
    void OnRButtonUp(QPoint point);
    /// The context menu with its top-left corner at `clientPoint`, for the
    /// bitmap pixel `pixel`; "Ref. Point 1/2" are disabled without a map.
    void TrackContextMenu(QPoint pixel, QPoint clientPoint);
    /// Moves the keyboard cursor by (dx, dy) within the bitmap and scrolls it into view.
    void MoveKeyboardCursor(int dx, int dy);
    void DrawKeyboardCursor(QPainter& painter) const;
    void OnImportRefPoints();
    void PickRefPoint(int index);

    /// The scrollable size in pixels, with the default page and line sizes
    /// (a tenth and a hundredth of it).
    void SetScrollSizes(QSize total);
    void UpdateScrollBars();
    void ShowMainFrame();
    void ShowReferenceDialog();

    // Members, in the order of the original design.
    QPen m_pThickPen;                                ///< red, 2 pixels: the circles
    QPen m_pThinPen;                                 ///< red, 1 pixel: the crosses
    QPoint m_ptDragAnchor;                           ///< bitmap pixel under the cursor at left button down
    QPoint m_ptContext;                              ///< bitmap pixel of the last right click
    std::array<QPoint, 2> m_refPoint;                ///< y from the top row
    std::array<std::int32_t, 2> m_bRefPointSet = {}; ///< markers shown
    std::int32_t m_bBitmapLoaded = 0;                ///< a map is drawn
    BitmapRecord m_bmInfo;                           ///< the loaded bitmap's record
    QImage m_bitmap;                                 ///< the loaded bitmap, null when none is held
    QPointer<QWidget> m_pRefDlg;                     ///< the reference dialog
    QPointer<QWidget> m_pMainFrame;                  ///< the application's main window

    DialogFactory m_createReferenceDialog;
    QSize m_sizeTotal;              ///< scrollable size, pixels
    QSize m_sizePage;               ///< page step of the scroll bars' trough clicks
    QImage m_paintBuffer;           ///< reused RGB32 buffer of the Indexed8 and BGR888 paint paths
    QPoint m_ptKeyCursor;           ///< keyboard cursor, bitmap pixel from the top row
    bool m_bKeyCursorShown = false; ///< shown from the first key that uses it until a mouse press
    bool m_bGridShown = false;
    std::vector<MapGridLine> m_gridLines;
    std::optional<MapCheckMark> m_checkMark;
    std::vector<MapFitMark> m_fitMarks;

    struct DeferredLoad
    {
        MapLoadRequest request;
        std::array<std::int32_t, 4> picked;
    };
    bool m_bLoading = false;                  ///< a load runs, its questions included
    std::deque<DeferredLoad> m_deferredLoads; ///< loads asked for meanwhile, in order
};
