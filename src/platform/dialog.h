#pragma once
// CDialog: a Qt dialog built from a DialogTemplate, with the framework's
// life cycle (OnInitDialog, DoDataExchange, OnOK, OnCancel), controls
// addressed by their numeric ids, and dialog-unit geometry.
//
// Controls by kind: Edit -> CEditCtrl (a QLineEdit that reports losing the
// focus), DropList -> CDropListCtrl (a QComboBox that reports opening its
// list and the user's choice), push, radio and check buttons -> QPushButton,
// QRadioButton, QCheckBox, GroupBox -> QGroupBox, Static -> QLabel, Icon ->
// QLabel with a pixmap. Every control carries its id and help context
// number as the dynamic properties "controlId" and "helpId".
//
// Commands: a click on a push button with id IDOK runs OnOK, IDCANCEL runs
// OnCancel, any other button runs OnCommand(id). Enter presses the default
// button (OnOK when it is IDOK); Escape and the close box run OnCancel.
// F1 runs OnHelpInfo with the help context number of the focused control.

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QLineEdit>

#include <cstdint>

#include "platform/dialog_template.h"

class CDataExchange;

class CEditCtrl final : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    /// The control lost the keyboard focus (the moment a Windows edit control
    /// sends EN_KILLFOCUS). Also emitted when its window is hidden or closed
    /// while it has the focus.
    void killFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

class CDropListCtrl final : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
signals:
    /// The list is about to open (CBN_DROPDOWN); handlers may change the selection.
    void dropDown();
    /// The user chose an entry, also the one already selected (CBN_SELCHANGE).
    void selChange();

public:
    void showPopup() override;
};

class CDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CDialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~CDialog() override;

    /// Builds the controls (once) and runs OnInitDialog: a modeless dialog.
    /// The window is shown when the template says DS_VISIBLE or OnInitDialog shows it.
    bool Create();
    /// Builds the controls if needed, runs OnInitDialog and the dialog
    /// modally; returns the code given to EndDialog (IDOK, IDCANCEL, ...).
    int DoModal();
    /// Ends a modal dialog with `result`; hides a modeless one.
    void EndDialog(int result);

    const DialogTemplate& Template() const { return m_template; }
    QWidget* GetDlgItem(int id) const;
    template <class T> T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }

    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;

    /// Runs DoDataExchange: controls to members when `saveAndValidate`, else
    /// members to controls. False when a check failed (CDataExchange::Fail).
    bool UpdateData(bool saveAndValidate = true);

    /// Dialog units of the template's font to pixels.
    QRect MapDialogRect(const QRect& dialogUnits) const;
    /// Average character width and height of the template's font, pixels.
    QSize DialogBaseUnits() const;

    /// The help context number of `widget` (0 when it has none) and of the dialog.
    static std::uint32_t HelpIdOf(const QWidget* widget);

    /// Called with the help context number of the control that help was asked
    /// for (F1 on the focused control, or a click in context-help mode).
    /// Returns true when it handled the request; the default opens the
    /// application's help file at that number and returns true.
    virtual bool OnHelpInfo(std::uint32_t helpId);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    /// Default: UpdateData(false); returns true.
    virtual bool OnInitDialog();
    /// Default: UpdateData(true) and, when it succeeded, EndDialog(IDOK).
    virtual void OnOK();
    /// Default: EndDialog(IDCANCEL).
    virtual void OnCancel();
    /// A click on a push, radio or check button other than IDOK and IDCANCEL.
    virtual void OnCommand(int id);

    // Qt's paths into the life cycle above.
    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();

    DialogTemplate m_template;
    QHash<int, QWidget*> m_controls;
    QFont m_templateFont;
    bool m_bBuilt = false;
    bool m_bModal = false;
};
