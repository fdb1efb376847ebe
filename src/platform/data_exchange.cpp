// The data-exchange context and the text exchange of edit controls.
#include "platform/data_exchange.h"

CDataExchange::CDataExchange(CDialog* dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{
}

QLineEdit* CDataExchange::PrepareEditCtrl(int id)
{
    m_pLastControl = m_pDlgWnd->GetDlgItem(id);
    return qobject_cast<QLineEdit*>(m_pLastControl);
}

QWidget* CDataExchange::PrepareCtrl(int id)
{
    m_pLastControl = m_pDlgWnd->GetDlgItem(id);
    return m_pLastControl;
}

void CDataExchange::Fail()
{
    // Writing into the controls has no offending field to return to; the
    // exchange is abandoned all the same.
    if (m_bSaveAndValidate && m_pLastControl != nullptr)
    {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        // Selected after the focus moved: taking the focus may reset the selection.
        if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl))
            edit->selectAll();
        else if (auto* multi = qobject_cast<CMultiEditCtrl*>(m_pLastControl))
            multi->selectAll();
    }
    throw CDataExchangeFailure();
}

void DDX_Text(CDataExchange* pDX, int id, QString& value)
{
    if (pDX->PrepareCtrl(id) == nullptr)
    {
        qWarning("DDX_Text: the dialog has no control %d", id);
        return;
    }
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
}
