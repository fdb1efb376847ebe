#include "shell/error_message_dlg.h"

#include <QTimer>

#include <QLabel>

#include "platform/beep.h"
#include "platform/data_exchange.h"
#include "platform/winapp.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"
#include "resources/settings_keys.h"

namespace
{

const QString kSection = QLatin1String(kSettingsSection);
const QString kEntryX = QLatin1String(kEntryErrorWindowX);
const QString kEntryY = QLatin1String(kEntryErrorWindowY);
constexpr int kDefaultX = 200; // screen pixels
constexpr int kDefaultY = 400;

} // namespace

CErrorMessageDlg::CErrorMessageDlg(QWidget* pParent) : CDialog(GetDialogTemplate(IDD_ERROR_MESSAGE), pParent)
{
    m_fontMessage.setFamily(QStringLiteral("Arial"));
    m_fontMessage.setPointSize(12);

    const bool bCreated = Create();

    int x = kDefaultX;
    int y = kDefaultY;
    if (const CWinApp* pApp = AfxGetApp())
    {
        x = pApp->GetProfileInt(kSection, kEntryX, kDefaultX);
        y = pApp->GetProfileInt(kSection, kEntryY, kDefaultY);
    }

    // On top of every other window whenever it shows. Set while the window
    // is hidden, since changing the flags of a shown window hides it.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Shown without taking the keyboard focus: the error is reported while
    // the user types in the reference dialog, and taking the focus from the
    // field being checked would end its editing and run its check again.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    // For a window, move() places the top-left corner of its frame.
    move(x, y);

    m_hWndOwn = bCreated ? this : nullptr;
    m_bShown = 0;
}

void CErrorMessageDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ERROR_TEXT, m_ctlMessage);
}

void CErrorMessageDlg::ShowError(MessageId id)
{
    if (m_hWndOwn == nullptr)
        return;

    setWindowTitle(QString::fromUtf8(GetMessageText(MSG_INPUT_ERROR, "")));
    m_strMessage = QString::fromUtf8(GetMessageText(id, ""));
    SetDlgItemText(IDC_ERROR_TEXT, m_strMessage);
    if (m_ctlMessage != nullptr)
        m_ctlMessage->setFont(m_fontMessage);
    UpdateData(false);

    show();
    raise();
    // Hidden and shown again within one handler (every exchange hides it
    // first), the window can lose its stays-on-top state to the window
    // manager, which drops it for the unmap it handles after the new map:
    // in front once more when the window system has caught up.
    QTimer::singleShot(0, this,
                       [this]
                       {
                           if (m_bShown == 1)
                               raise();
                       });
    m_bShown = 1;
    MessageBeep(MB_ICONHAND);
}

void CErrorMessageDlg::HideError()
{
    if (m_bShown == 1 && m_hWndOwn != nullptr)
    {
        hide();
        m_bShown = 0;
    }
}

void CErrorMessageDlg::SavePosition()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    const QPoint topLeft = frameGeometry().topLeft();
    pApp->WriteProfileInt(kSection, kEntryX, topLeft.x());
    pApp->WriteProfileInt(kSection, kEntryY, topLeft.y());
}
