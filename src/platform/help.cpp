// The help window: our HTML help files, shown at a context number.
#include "platform/help.h"

#include "formats/cp1252.h"
#include "messages/messages.h"
#include "platform/regular_file.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <string_view>

using namespace formats;

namespace
{

HelpRequestObserver s_pObserver = nullptr;
QPointer<QTextBrowser> s_pHelpWindow;

constexpr int kWindowWidth = 640;  // pixels
constexpr int kWindowHeight = 560; // pixels

// The window has no parent (it stands beside whatever asked for help), so
// nothing else deletes it before the application goes.
void DestroyHelpWindow()
{
    delete s_pHelpWindow.data();
}

QTextBrowser* EnsureHelpWindow()
{
    if (s_pHelpWindow)
        return s_pHelpWindow;
    auto* browser = new QTextBrowser();
    browser->setAttribute(Qt::WA_QuitOnClose, false);
    browser->resize(kWindowWidth, kWindowHeight);
    // Links between topics are anchors of the same document; the document
    // is set as text, so the browser must not try to load them as files.
    browser->setOpenLinks(false);
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser,
                     [browser](const QUrl& url)
                     {
                         if (url.scheme().isEmpty() && url.path().isEmpty())
                             browser->scrollToAnchor(url.fragment());
                         else
                             QDesktopServices::openUrl(url);
                     });
    // Closed from the keyboard like any viewer window.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
    {
        auto* shortcut = new QShortcut(key, browser);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, browser, &QWidget::close);
    }
    s_pHelpWindow = browser;
    static const bool s_bCleanupAdded = (qAddPostRoutine(DestroyHelpWindow), true);
    (void)s_bCleanupAdded;
    return browser;
}

// Beside `asker` (the window that asked for help: the reference dialog, say)
// rather than over it, on the side with room on its screen; over it only
// when neither side has room.
void PlaceBeside(QWidget* window, const QWidget* asker)
{
    if (asker == nullptr || asker == window || asker->screen() == nullptr)
        return;
    const QRect area = asker->screen()->availableGeometry();
    const QRect beside = asker->frameGeometry();
    const QSize size = window->frameGeometry().size();
    const int top = std::clamp(beside.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    if (beside.right() + 1 + size.width() <= area.right() + 1)
        window->move(beside.right() + 1, top);
    else if (beside.left() - size.width() >= area.left())
        window->move(beside.left() - size.width(), top);
}

void ShowHelpWindow(QTextBrowser* browser)
{
    if (!browser->isVisible())
        PlaceBeside(browser, QApplication::activeWindow());
    browser->show();
    browser->raise();
    browser->activateWindow();
}

} // namespace

QString HelpAnchorName(std::uint32_t contextId)
{
    return QStringLiteral("0x") + QString::number(contextId, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

bool WinHelp(const QString& helpFile, UINT command, std::uintptr_t data)
{
    if (s_pObserver != nullptr)
        s_pObserver(helpFile, command, data);

    if (command == HELP_QUIT)
    {
        if (s_pHelpWindow)
            s_pHelpWindow->close();
        return true;
    }

    QTextBrowser* browser = EnsureHelpWindow();
    QFile file(helpFile);
    // A directory, a pipe or a device stored as the help file counts as not
    // found: reading a pipe would wait for a writer for ever.
    if (!OpenRegularFileForReading(file))
    {
        const QByteArray path = helpFile.toUtf8();
        browser->setPlainText(QString::fromUtf8(GetMessageText(MSG_FILE_NOT_FOUND, path.constData())));
        browser->setWindowTitle(QStringLiteral("Help"));
        ShowHelpWindow(browser);
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string html = Cp1252ToUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    browser->setHtml(QString::fromStdString(html));
    const QString title = browser->documentTitle();
    browser->setWindowTitle(title.isEmpty() ? QStringLiteral("Help") : title);
    ShowHelpWindow(browser);
    // Scrolled once the window is shown: the browser needs its final width
    // to know where the anchor lies.
    if (command == HELP_CONTEXT)
        browser->scrollToAnchor(HelpAnchorName(static_cast<std::uint32_t>(data)));
    else
        browser->scrollToAnchor(QStringLiteral("contents"));
    return true;
}

void SetHelpRequestObserver(HelpRequestObserver observer)
{
    s_pObserver = observer;
}

QTextBrowser* HelpWindow()
{
    return s_pHelpWindow;
}
