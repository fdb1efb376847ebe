#pragma once
// The data-exchange context of a dialog: which direction the exchange runs,
// which edit control was prepared last, and Fail(), which puts the focus back
// on that control with its whole text selected and abandons the exchange.
// CDialog::UpdateData catches the abandonment and returns false; it is the
// only exception that flows through Kartora's code.

#include <QString>

#include "platform/dialog.h"

class CDataExchange
{
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate);

    /// Remembers edit control `id` as the one to return to on failure.
    QLineEdit* PrepareEditCtrl(int id);
    /// Remembers control `id` (not an edit) as the one to return to on failure.
    QWidget* PrepareCtrl(int id);
    /// Focus to the control prepared last, its text selected; abandons the exchange.
    [[noreturn]] void Fail();

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

private:
    QWidget* m_pLastControl = nullptr;
};

/// The exception that abandons an exchange; only CDialog::UpdateData catches it.
struct CDataExchangeFailure
{
};

/// Text of edit control `id` <-> `value`.
void DDX_Text(CDataExchange* pDX, int id, QString& value);

/// Binds `member` to control `id` of the dialog (both directions).
template <class T> void DDX_Control(CDataExchange* pDX, int id, T*& member)
{
    member = pDX->m_pDlgWnd->Item<T>(id);
}
