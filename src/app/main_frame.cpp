#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QWhatsThis>

#include <algorithm>

#include "app/kartora_app.h"
#include "mapview/kartora_view.h"
#include "messages/messages.h"
#include "platform/dialog.h"
#include "platform/help.h"
#include "platform/winapp.h"
#include "resources/icons.h"
#include "resources/menus.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace
{

/// String `id` of the string table, "" when there is none.
QString ResourceString(int id)
{
    const char* text = LoadResourceString(id);
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

/// The status bar form of a command's prompt: the text before "\n" (after
/// it comes the tooltip form).
QString StatusPrompt(int commandId)
{
    return ResourceString(commandId).section(QLatin1Char('\n'), 0, 0);
}

/// The caption for a map's path: from its last separator on, the separator
/// included. Windows paths may use either separator.
QString MapCaption(const QString& path)
{
#ifdef Q_OS_WIN
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
#else
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
#endif
    QString caption = slash >= 0 ? path.mid(slash) : path;
    // Qt reads "[*]" in a window title as the modified-document mark and
    // hides it; a file name may contain it, so it is escaped as "[*][*]".
    caption.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return caption;
}

constexpr std::array<int, 3> kIndicatorIds = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

/// The lock keys' states as a key event carries them in its native
/// modifiers, where the window system's meaning of those bits is known: the
/// X11 key state (Lock, and Mod2 for Num Lock; Scroll Lock has no fixed
/// modifier there) and the key state Qt keeps on Windows.
struct LockKeys
{
    bool known = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeys LockKeysOf(const QKeyEvent& event)
{
    const quint32 native = event.nativeModifiers();
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return {true, (native & 0x02u) != 0, (native & 0x10u) != 0, false};
    if (platform == QLatin1String("windows"))
        return {true, (native & 0x100u) != 0, (native & 0x200u) != 0, (native & 0x400u) != 0};
    return {};
}

} // namespace

CMainFrame::CMainFrame()
{
    // The frame's help topic, also for context help on its menu bar and view.
    setProperty("helpId", QVariant::fromValue<std::uint32_t>(HID_BASE_RESOURCE + IDR_MAINFRAME));
    RegisterResourceFiles();
    setWindowIcon(LoadIconResource(IDR_MAINFRAME));
    // A new overlapped window of the window system's default size: three
    // quarters of the screen. Every map load places and sizes it anew.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 3 / 4);
}

CMainFrame::~CMainFrame()
{
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
}

bool CMainFrame::OnCreate()
{
    CreateMenus();
    CreateAccelerators();
    if (!CreateStatusBar())
        return false;
    // Key events anywhere in the program keep the lock indicators current.
    qApp->installEventFilter(this);
    return true;
}

void CMainFrame::CreateMenus()
{
    LoadMenuBar(menuBar(), IDR_MAINFRAME);
    // In context-help mode the menus still open: a click on the bar is no
    // request for the frame's topic, and the command then chosen shows its own.
    menuBar()->setAttribute(Qt::WA_CustomWhatsThis);
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
    {
        menu->setAttribute(Qt::WA_CustomWhatsThis);
        menu->installEventFilter(this); // F1 on a highlighted item, commands in context-help mode
        // Kartora's own commands in the language chosen last in the dialog.
        connect(menu, &QMenu::aboutToShow, menu, [menu] { SetMenuLanguage(menu, g_nLanguage); });
        for (QAction* action : menu->actions())
        {
            const int id = action->data().toInt();
            if (id == 0)
                continue;
            action->setStatusTip(StatusPrompt(id));
            connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id); });
        }
    }
}

void CMainFrame::CreateAccelerators()
{
    for (const AcceleratorTemplate& accelerator : GetAccelerators(IDR_MAINFRAME))
    {
        auto* shortcut = new QShortcut(accelerator.Sequence(), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = accelerator.commandId;
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnCmdMsg(id); });
    }
}

bool CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setProperty("controlId", AFX_IDW_STATUS_BAR);
    setStatusBar(m_wndStatusBar);

    // The message pane is a normal widget: a menu prompt (a temporary
    // message) covers it and "Ready" shows again when the prompt goes.
    m_paneMessage = new QLabel(ResourceString(AFX_IDS_IDLEMESSAGE), m_wndStatusBar);
    m_wndStatusBar->addWidget(m_paneMessage, 1);

    for (std::size_t i = 0; i < kIndicatorIds.size(); ++i)
    {
        auto* pane = new QLabel(m_wndStatusBar);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        // Wide enough for its text also while the text is not shown.
        const QString text = ResourceString(kIndicatorIds[i]);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 2 * pane->frameWidth() + 8);
        pane->setProperty("controlId", kIndicatorIds[i]);
        m_wndStatusBar->addPermanentWidget(pane);
        m_paneIndicators[i] = pane;
    }
    SetIndicators(false, false, false);
    return true;
}

void CMainFrame::SetIndicators(bool capsLock, bool numLock, bool scrollLock)
{
    const std::array<bool, 3> on = {capsLock, numLock, scrollLock};
    for (std::size_t i = 0; i < kIndicatorIds.size(); ++i)
        m_paneIndicators[i]->setText(on[i] ? ResourceString(kIndicatorIds[i]) : QString());
}

void CMainFrame::OnKeyState(const QKeyEvent& key)
{
    const LockKeys locks = LockKeysOf(key);
    if (!locks.known || key.isAutoRepeat())
        return;
    std::array<bool, 3> on = {locks.caps, locks.num, locks.scroll};
    // An X11 key event carries the state from before the event, and a
    // locking key locks at its first press and unlocks at the release of its
    // second one; for the lock key's own events the new state follows from that.
    const int lock = key.key() == Qt::Key_CapsLock ? 0 : key.key() == Qt::Key_NumLock ? 1 : -1;
    if (lock >= 0 && QGuiApplication::platformName() == QLatin1String("xcb"))
    {
        const auto i = static_cast<std::size_t>(lock);
        if (key.type() == QEvent::KeyPress)
        {
            m_bSecondLockPress[i] = on[i];
            on[i] = true;
        }
        else
        {
            on[i] = !m_bSecondLockPress[i];
        }
    }
    SetIndicators(on[0], on[1], on[2]);
}

QString CMainFrame::PaneText(int index) const
{
    if (index == 0)
    {
        const QString prompt = m_wndStatusBar->currentMessage();
        return prompt.isEmpty() ? m_paneMessage->text() : prompt;
    }
    if (index >= 1 && index <= 3)
        return m_paneIndicators[static_cast<std::size_t>(index - 1)]->text();
    return {};
}

void CMainFrame::SetMessageText(const QString& text)
{
    m_paneMessage->setText(text.isEmpty() ? ResourceString(AFX_IDS_IDLEMESSAGE) : text);
}

void CMainFrame::SetCommandChecked(int id, bool bChecked)
{
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->data().toInt() == id)
            {
                action->setCheckable(true);
                action->setChecked(bChecked);
            }
}

void CMainFrame::SetView(CKartoraView* view)
{
    m_pView = view;
    setCentralWidget(view);
    connect(view, &CKartoraView::placeFrameForMap, this, &CMainFrame::PlaceForMap);
}

CKartoraView* CMainFrame::GetActiveView() const
{
    return m_pView.data();
}

void CMainFrame::UpdateFrameTitle(const QString& documentTitle)
{
    // The template string's first part is the window title.
    const QString appTitle = ResourceString(IDR_MAINFRAME).section(QLatin1Char('\n'), 0, 0);
    QString title = documentTitle + QStringLiteral(" - ") + appTitle;
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")); // not Qt's modification mark
    setWindowTitle(title);
}

void CMainFrame::PlaceForMap(const QString& mapPath)
{
    const QScreen* pScreen = screen();
    if (pScreen == nullptr)
        pScreen = QGuiApplication::primaryScreen();
    const QRect desktop = pScreen != nullptr ? pScreen->geometry() : QRect(0, 0, 800, 600);
    // 90 % of the screen, truncated toward zero: 1280 x 1024 gives 1152 x 921.
    const QSize outer(static_cast<int>(desktop.width() * 0.9), static_cast<int>(desktop.height() * 0.9));
    move(desktop.topLeft() + QPoint(50, 50));
    resize(outer);
    show();
    // Take the window decorations off once the window system has reported them.
    const QSize decorations = frameGeometry().size() - size();
    if (!decorations.isEmpty())
        resize(outer - decorations);
    setWindowTitle(MapCaption(mapPath));
}

bool CMainFrame::OnCmdMsg(int id)
{
    if (m_pView && m_pView->OnCommand(id))
        return true;
    switch (id)
    {
    case ID_HELP_FINDER:
    case ID_DEFAULT_HELP:
        if (CWinApp* app = AfxGetApp())
            app->WinHelp(0, HELP_FINDER);
        return true;
    case ID_HELP:
        OnHelp();
        return true;
    case ID_NEXT_PANE:
        // F6: from the map window to the reference dialog, the program's other pane.
        return m_pView && m_pView->OnCommand(ID_SHOW_DIALOG);
    case ID_CONTEXT_HELP:
        EnterContextHelpMode();
        return true;
    default:
        break;
    }
    if (CKartoraApp* app = KartoraApp())
        return app->OnCommand(id);
    return false;
}

void CMainFrame::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(HID_BASE_RESOURCE + IDR_MAINFRAME, HELP_CONTEXT);
}

void CMainFrame::OnMenuHelp(QMenu* menu)
{
    const QAction* action = menu->activeAction();
    const int id = action != nullptr ? action->data().toInt() : 0;
    // Help replaces the menu, as choosing an item would.
    for (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr;
         popup = QApplication::activePopupWidget())
        popup->close();
    if (id == 0)
    {
        OnHelp();
        return;
    }
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(HID_BASE_COMMAND + static_cast<unsigned>(id), HELP_CONTEXT);
}

QMenu* CMainFrame::MenuOfBar(QObject* object) const
{
    auto* menu = qobject_cast<QMenu*>(object);
    return menu != nullptr && menu->parentWidget() == menuBar() ? menu : nullptr;
}

bool CMainFrame::OnContextHelpChoice(QMenu* menu, QAction* action)
{
    if (!QWhatsThis::inWhatsThisMode() || action == nullptr || action->data().toInt() == 0)
        return false;
    QWhatsThis::leaveWhatsThisMode();
    menu->setActiveAction(action);
    OnMenuHelp(menu);
    return true;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type())
    {
    case QEvent::MouseButtonPress:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && widget->window() == this)
            KeepDialogInFront();
        break;
    // A command chosen in context-help mode shows its topic instead of
    // running (Qt's menu would show the item's empty "What's This" text).
    case QEvent::MouseButtonRelease:
        if (QMenu* menu = MenuOfBar(watched))
        {
            const QPoint at = static_cast<const QMouseEvent*>(event)->position().toPoint();
            if (OnContextHelpChoice(menu, menu->actionAt(at)))
                return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    {
        const auto* key = static_cast<const QKeyEvent*>(event);
        OnKeyState(*key);
        // The menus hold the keyboard while they are open, so F1 there
        // never reaches the frame's accelerator.
        QMenu* menu = event->type() == QEvent::KeyPress ? MenuOfBar(watched) : nullptr;
        if (menu != nullptr && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier)
        {
            OnMenuHelp(menu);
            return true;
        }
        if (menu != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            OnContextHelpChoice(menu, menu->activeAction()))
            return true;
        break;
    }
    // Qt announces context-help mode to every top-level window.
    case QEvent::EnterWhatsThisMode:
        if (watched == this)
            m_paneMessage->setText(ResourceString(AFX_IDS_HELPMODEMESSAGE));
        break;
    case QEvent::LeaveWhatsThisMode:
        if (watched == this)
            m_paneMessage->setText(ResourceString(AFX_IDS_IDLEMESSAGE));
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::KeepDialogInFront()
{
    // The reference dialog stays in front of the map window while both show.
    // It is owned by the frame, but a window manager that read that before
    // the frame was first shown (openbox) raises the frame over it on every
    // click; raised once the window system has handled the click.
    const CKartoraApp* app = KartoraApp();
    if (app == nullptr || !app->m_pRefDlg)
        return;
    QTimer::singleShot(0, app->m_pRefDlg,
                       [dialog = app->m_pRefDlg]
                       {
                           if (dialog && dialog->isVisible())
                               dialog->raise();
                       });
}

void CMainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        KeepDialogInFront();
    QMainWindow::changeEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The program ends with its main frame, whether the frame was shown or
    // hidden; but the frame's close box, Exit and Alt+F4 must not throw away
    // typed work: the reference dialog saves it first, as its "Close" does,
    // and a Save that fails or is declined keeps the program open.
    if (CKartoraApp* app = KartoraApp(); app != nullptr && !app->CanEndProgram())
    {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}
