#pragma once
// CMainFrame: the program's one frame window around the map view, with the
// menu 128, the frame's accelerators, a status bar of four panes and icon 128.
//
// Commands of the menu and the accelerators are routed as the framework
// routes them: first the view, then the frame itself (help), then the
// application (About, Exit). The status bar's first pane says "Ready", shows
// the prompt of the menu item under the cursor while a menu is open and "Select
// the Object for Help" in context-help mode; the other three show "CAP", "NUM"
// and "SCRL" while that lock key is on (as far as the window system tells).
//
// Closing the frame, by "Exit", its close box or the reference dialog's Close
// and Cancel, ends the program. Its own close (not the dialog's) first lets
// the reference dialog save unsaved changes and stays open when that fails.

#include <QMainWindow>
#include <QPointer>

#include <array>

class CKartoraView;
class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QStatusBar;

class CMainFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    /// Builds the menu bar, the accelerators and the status bar with its four
    /// panes. Returns false when the status bar could not be made.
    bool OnCreate();

    /// Makes `view` the frame's client (the frame owns it) and places the
    /// frame whenever the view loads a map.
    void SetView(CKartoraView* view);
    CKartoraView* GetActiveView() const;

    /// The caption the framework gives a single-document frame:
    /// "<document title> - Kartora".
    void UpdateFrameTitle(const QString& documentTitle);

    /// Where every map load puts the frame, also after the user moved it:
    /// shown at 50, 50 from the screen's corner with 90 % of the screen's
    /// size (the outer size, window decorations included), the caption the
    /// map's path from its last separator on ("/maps/harz.bmp" -> "/harz.bmp";
    /// a path without one whole).
    void PlaceForMap(const QString& mapPath);

    /// Runs command `id` through the view, the frame and the application.
    /// False when none of them handles it (the edit and pane commands).
    bool OnCmdMsg(int id);

    QStatusBar* StatusBar() const { return m_wndStatusBar; }
    /// Shows `text` in the message pane (the position under the mouse);
    /// an empty text brings back "Ready".
    void SetMessageText(const QString& text);
    /// Checks or clears the check mark of the menu item of command `id`
    /// (the item becomes checkable).
    void SetCommandChecked(int id, bool bChecked);
    /// Text of status bar pane `index` (0 the message pane, 1 to 3 the indicators).
    QString PaneText(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Puts the visible reference dialog back in front of the frame.
    void KeepDialogInFront();

protected:
private:
    void CreateMenus();
    void CreateAccelerators();
    bool CreateStatusBar();
    void SetIndicators(bool capsLock, bool numLock, bool scrollLock);
    /// Updates the lock indicators from a key event anywhere in the program.
    void OnKeyState(const QKeyEvent& key);

    /// Help for the current context: the frame's topic.
    void OnHelp();
    /// F1 in an open menu: the topic of the highlighted command.
    void OnMenuHelp(QMenu* menu);
    /// `object` when it is a pop-up of the menu bar, else null.
    QMenu* MenuOfBar(QObject* object) const;
    /// In context-help mode, `action` chosen in `menu` shows the topic of its
    /// command and ends the mode; false (nothing done) outside the mode or
    /// for an item without a command.
    bool OnContextHelpChoice(QMenu* menu, QAction* action);

    QPointer<CKartoraView> m_pView;
    QStatusBar* m_wndStatusBar = nullptr;
    QLabel* m_paneMessage = nullptr;
    std::array<QLabel*, 3> m_paneIndicators = {};
    /// Caps Lock, Num Lock: the last press was the one that unlocks (X11).
    std::array<bool, 2> m_bSecondLockPress = {};
};
