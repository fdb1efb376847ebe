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

    /// Remembers edit control `id` as the one to return to on failure and
    /// returns it (null when the dialog has no single-line edit `id`).
    QLineEdit* PrepareEditCtrl(int id);
    /// Remembers control `id` (any kind) as the one to return to on failure
    /// and returns it (null when the dialog has no control `id`).
    QWidget* PrepareCtrl(int id);
    /// Abandons the exchange by throwing CDataExchangeFailure. When the
    /// exchange reads the controls (m_bSaveAndValidate), the focus first goes
    /// to the control prepared last and an edit control's whole text is
    /// selected; when it writes them, the focus stays where it is.
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

/// Text of control `id` (edit, label, button caption) <-> `value`. A missing
/// control leaves both sides unchanged (and says so on the debug output).
void DDX_Text(CDataExchange* pDX, int id, QString& value);

/// Binds `member` to control `id` of the dialog (both directions).
template <class T> void DDX_Control(CDataExchange* pDX, int id, T*& member)
{
    member = pDX->m_pDlgWnd->Item<T>(id);
}
