#include "shell/message_box_dlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QtMath>

#include <cerrno>
#include <memory>
#include <system_error>

#include "platform/beep.h"
#include "platform/data_exchange.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"

QString CMessageBoxDlg::s_strText;
UINT CMessageBoxDlg::s_nButtons = MB_OK;
std::int32_t CMessageBoxDlg::s_nResult = 0;

namespace
{

CMessageBoxDlg* g_pMessageBox = nullptr;

void DeleteMessageBox()
{
    delete g_pMessageBox;
    g_pMessageBox = nullptr;
}

bool OffersYesNo(UINT buttons)
{
    return buttons == MB_YESNOCANCEL || buttons == MB_YESNO;
}

/// The template rectangle of control `id` of `dialog`, in pixels.
QRect TemplateRect(const CDialog& dialog, int id)
{
    for (const ControlTemplate& control : dialog.Template().controls)
        if (control.id == id)
            return dialog.MapDialogRect(QRect(control.x, control.y, control.cx, control.cy));
    return {};
}

} // namespace

CMessageBoxDlg::CMessageBoxDlg() : CDialog(GetDialogTemplate(IDD_MESSAGE_BOX), nullptr)
{
    m_fontMessage.setFamily(QStringLiteral("Arial"));
    m_fontMessage.setPointSize(12);
}

CMessageBoxDlg& CMessageBoxDlg::Instance()
{
    if (g_pMessageBox == nullptr)
    {
        g_pMessageBox = new CMessageBoxDlg;
        // Post routines run while the application object still exists, so
        // the box goes before the window system it was made on.
        qAddPostRoutine(DeleteMessageBox);
    }
    return *g_pMessageBox;
}

void CMessageBoxDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MESSAGE, m_edMessage);
    DDX_Control(pDX, IDC_YES, m_btnYes);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_NO, m_btnNo);
}

bool CMessageBoxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetDlgItemText(IDC_MESSAGE, s_strText);
    if (m_edMessage != nullptr)
        m_edMessage->setFont(m_fontMessage);
    FitMessage();
    ShowButtons();

    UpdateData(false);
    return true;
}

void CMessageBoxDlg::FitMessage()
{
    // The template's message field holds one line of the 12 pt text, and
    // most messages need two to four: the field and the box grow downwards
    // until the whole message shows (up to half the screen, beyond which it
    // scrolls), so that no question is answered unread. The box is reused,
    // so every showing starts again from the template's size.
    const QRect templateField = TemplateRect(*this, IDC_MESSAGE);
    const QSize templateBox = MapDialogRect(QRect(0, 0, Template().cx, Template().cy)).size();
    m_nGrowth = 0;
    if (auto* field = qobject_cast<QTextEdit*>(m_edMessage))
    {
        const std::unique_ptr<QTextDocument> layout(field->document()->clone());
        layout->setDefaultFont(field->font());
        const int frame = 2 * field->frameWidth();
        layout->setTextWidth(templateField.width() - frame);
        const int needed = qCeil(layout->size().height()) + frame;
        m_nGrowth = qMax(0, needed - templateField.height());
        if (const QScreen* pScreen = screen())
            m_nGrowth = qMin(m_nGrowth, pScreen->availableGeometry().height() / 2);
        field->setGeometry(templateField.adjusted(0, 0, 0, m_nGrowth));
    }
    setFixedSize(templateBox.width(), templateBox.height() + m_nGrowth);
}

void CMessageBoxDlg::ShowButtons()
{
    struct Shown
    {
        bool yes, ok, no, cancel;
    };
    Shown shown{true, true, true, true}; // the template's state
    switch (s_nButtons)
    {
    case MB_OK:
        shown = {false, true, false, false};
        break;
    case MB_OKCANCEL:
        shown = {false, true, false, true};
        break;
    case MB_YESNOCANCEL:
        shown = {true, false, true, true};
        break;
    case MB_YESNO:
        shown = {true, false, true, false};
        break;
    default:
        break;
    }

    // "No" and "Cancel" share one place in the template. When both are
    // offered, "No" takes the place of the hidden "Ok" so that all three
    // buttons can be seen and pressed.
    struct Button
    {
        QPushButton* button;
        bool bShow;
        int place; ///< id of the control whose template place it takes
    };
    const Button buttons[] = {{m_btnYes, shown.yes, IDC_YES},
                              {m_btnOk, shown.ok, IDOK},
                              {m_btnNo, shown.no, s_nButtons == MB_YESNOCANCEL ? IDOK : IDC_NO},
                              {m_btnCancel, shown.cancel, IDCANCEL}};
    for (const auto& [button, bShow, place] : buttons)
    {
        if (button == nullptr)
            continue;
        // Below the message, however far it grew.
        button->setGeometry(TemplateRect(*this, place).translated(0, m_nGrowth));
        button->setVisible(bShow);
        button->setEnabled(bShow);
        if (bShow)
            button->raise();
    }

    // Enter presses the default button. The template's is "Yes", which the
    // Ok sets hide: there "Ok" takes its part, so Enter answers every box.
    if (m_btnYes != nullptr && m_btnOk != nullptr)
    {
        m_btnOk->setDefault(!shown.yes && shown.ok);
        m_btnYes->setDefault(shown.yes);
    }
}

void CMessageBoxDlg::OnCommand(int id)
{
    if (id == IDC_YES)
        OnYes();
    else if (id == IDC_NO)
        OnNo();
    else
        CDialog::OnCommand(id);
}

void CMessageBoxDlg::OnYes()
{
    if (OffersYesNo(s_nButtons))
        s_nResult = IDYES;
    EndDialog(IDOK);
}

void CMessageBoxDlg::OnNo()
{
    if (OffersYesNo(s_nButtons))
        s_nResult = IDNO;
    EndDialog(IDOK);
}

void CMessageBoxDlg::OnOK()
{
    if (s_nButtons == MB_OK || s_nButtons == MB_OKCANCEL)
        s_nResult = IDOK;
    EndDialog(IDOK);
}

void CMessageBoxDlg::OnCancel()
{
    if (s_nButtons == MB_OKCANCEL || s_nButtons == MB_YESNOCANCEL)
        s_nResult = IDCANCEL;
    // A question left with Escape is not answered Yes: the answer to the
    // question before would otherwise come back, and a Yes there would let
    // Save replace an existing file.
    else if (s_nButtons == MB_YESNO)
        s_nResult = IDNO;
    EndDialog(IDCANCEL);
}

int ShowMessage(MessageId id, UINT buttons)
{
    return ShowMessageText(QString::fromUtf8(GetMessageText(id, "")), buttons);
}

int ShowMessageText(const QString& text, UINT buttons)
{
    CMessageBoxDlg::s_nButtons = buttons;
    CMessageBoxDlg::s_strText = text;
    MessageBeep(MB_ICONHAND);
    CMessageBoxDlg::Instance().DoModal();
    return CMessageBoxDlg::s_nResult;
}

void ShowMessageWithReason(MessageId id, const QString& insert, const QString& reason)
{
    QString text = QString::fromUtf8(GetMessageText(id, insert.toUtf8().constData()));
    if (!reason.isEmpty())
        text += u'\n' + reason;
    ShowMessageText(text, MB_OK);
}

void ShowFileNotWritten(const QString& path, const platform::FileWriteError& error)
{
    using platform::FileWriteFault;
    // The system's reason; a device, FIFO or socket has none.
    QString reason;
    if (error.fault == FileWriteFault::System)
        reason = QString::fromStdString(error.reason);
    else if (error.fault == FileWriteFault::Directory)
        reason = QString::fromStdString(std::generic_category().message(EISDIR));
    ShowMessageWithReason(MSG_FILE_NOT_WRITTEN, QDir::toNativeSeparators(path), reason);
}
