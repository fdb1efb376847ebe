// Context-help mode: the next click asks for help instead of acting.
//
// QWhatsThis runs the mode (cursor, Escape, the click turned into a
// QEvent::WhatsThis for the widget under the cursor). An application event
// filter takes that request, or the click itself when it sees the click
// first, and routes it as a help request instead of showing a tooltip.
#include "platform/help.h"

#include "platform/dialog.h"
#include "platform/winapp.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWhatsThis>

namespace
{

class CContextHelpFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType() || !QWhatsThis::inWhatsThisMode())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type())
        {
        case QEvent::QueryWhatsThis:
            // Every widget can answer: the help cursor, not the "no help" one.
            event->accept();
            return true;
        case QEvent::MouseButtonPress:
            // A widget with its own help in the mode (a menu bar) takes the
            // click as usual.
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton ||
                widget->testAttribute(Qt::WA_CustomWhatsThis))
                return false;
            Answer(widget);
            return true;
        case QEvent::WhatsThis:
            Answer(widget);
            event->accept();
            return true;
        default:
            return false;
        }
    }

private:
    static void Answer(QWidget* widget)
    {
        // The mode ends after this event: QWhatsThis may be delivering it
        // and must not be destroyed under its own feet.
        QMetaObject::invokeMethod(
            qApp,
            []
            {
                if (QWhatsThis::inWhatsThisMode())
                    QWhatsThis::leaveWhatsThisMode();
            },
            Qt::QueuedConnection);
        RequestContextHelp(widget);
    }
};

QPointer<CContextHelpFilter> s_pFilter;

} // namespace

void InstallContextHelpRouting()
{
    if (s_pFilter || qApp == nullptr)
        return;
    s_pFilter = new CContextHelpFilter(qApp);
    qApp->installEventFilter(s_pFilter);
}

void EnterContextHelpMode()
{
    InstallContextHelpRouting();
    if (!QWhatsThis::inWhatsThisMode())
        QWhatsThis::enterWhatsThisMode();
}

void RequestContextHelp(QWidget* widget)
{
    if (widget == nullptr)
        return;
    const std::uint32_t helpId = CDialog::HelpIdOf(widget);
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget())
    {
        if (auto* dialog = qobject_cast<CDialog*>(w))
        {
            dialog->OnHelpInfo(helpId);
            return;
        }
        if (w->isWindow())
            break;
    }
    if (CWinApp* app = AfxGetApp())
    {
        if (helpId != 0)
            app->WinHelp(helpId, HELP_CONTEXT);
        else
            app->WinHelp(0, HELP_FINDER);
    }
}
