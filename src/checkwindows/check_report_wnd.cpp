#include "checkwindows/check_report_wnd.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "calibration/check_texts.h"
#include "checkwindows/tool_texts.h"
#include "platform/winapp.h"
#include "resources/resource.h"

namespace
{

constexpr std::uint32_t kHelpId = HID_BASE_RESOURCE + IDD_CHECK_REPORT;

QString Html(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

} // namespace

CCheckReportWnd::CCheckReportWnd(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    setProperty("helpId", QVariant::fromValue<std::uint32_t>(kHelpId));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_text = new QTextBrowser(this);
    m_text->setOpenLinks(false);
    m_btnHelp = new QPushButton(this);
    m_btnClose = new QPushButton(this);
    m_btnClose->setDefault(true);
    connect(m_btnHelp, &QPushButton::clicked, this, &CCheckReportWnd::OnHelp);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnHelp);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    // Narrow enough to stand beside the reference dialog on a 1280 pixel screen.
    resize(380, 400);
}

void CCheckReportWnd::ShowReport(const std::optional<calibration::CheckReport>& report)
{
    setWindowTitle(ToolText(TT_REPORT_TITLE));
    m_btnHelp->setText(ToolText(TT_HELP));
    m_btnClose->setText(ToolText(TT_CLOSE));
    if (!report)
    {
        m_text->setHtml(QStringLiteral("<p>%1</p>").arg(ToolText(TT_NO_POSITION).toHtmlEscaped()));
        return;
    }
    QString html =
        QStringLiteral("<h3>%1</h3><table cellspacing='0' cellpadding='2'>").arg(ToolText(TT_REPORT_FIGURES));
    for (const calibration::FigureText& figure : calibration::FigureTexts(report->figures))
        html += QStringLiteral("<tr><td>%1:</td><td>%2</td></tr>").arg(Html(figure.name), Html(figure.value));
    html += QStringLiteral("</table><h3>%1</h3>").arg(ToolText(TT_REPORT_FINDINGS));
    if (report->findings.empty())
        html += QStringLiteral("<p>%1</p>").arg(Html(calibration::NoFindingText()));
    for (const calibration::Finding& finding : report->findings)
    {
        const QString colour =
            finding.kind == calibration::FindingKind::Error ? QStringLiteral("#b00000") : QStringLiteral("#905000");
        html += QStringLiteral("<p><b style='color:%1'>%2 (%3)</b>: %4</p>")
                    .arg(colour, Html(calibration::FindingKindText(finding.kind)), Html(finding.code),
                         Html(finding.message));
    }
    m_text->setHtml(html);
}

QString CCheckReportWnd::ReportText() const
{
    return m_text->toPlainText();
}

void CCheckReportWnd::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(kHelpId, HELP_CONTEXT);
}

void CCheckReportWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier)
    {
        OnHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}
