#pragma once
// CDialog: a Qt dialog built from a DialogTemplate, with the framework's
// life cycle (OnInitDialog, DoDataExchange, OnOK, OnCancel), controls
// addressed by their numeric ids, and dialog-unit geometry.
//
// Controls by kind: Edit -> CEditCtrl (a QLineEdit that reports losing the
// focus), or CMultiEditCtrl when the style says CS_MULTILINE (a word-wrapping
// QTextEdit, since a QLineEdit holds one line only), DropList ->
// CDropListCtrl (a QComboBox that reports opening its list and the user's
// choice), push, radio and check buttons -> QPushButton, QRadioButton,
// QCheckBox, GroupBox -> QGroupBox, Static -> QLabel (word-wrapped, as a
// static text control wraps), Icon -> QLabel with the icon of
// LoadIconResource, 32 x 32 pixels whatever the template's rectangle says.
// Every control carries its id and help context number as the dynamic
// properties "controlId" and "helpId"; the dialog carries its own "helpId".
// Radio buttons are mutually exclusive within a group: from a control with
// CS_GROUP up to the next control with CS_GROUP.
//
// Commands: a click on a push button with id IDOK runs OnOK, IDCANCEL runs
// OnCancel, any other button runs OnCommand(id). Enter presses the default
// button (the focused push button, else the template's DefPushButton; OnOK
// when the template has none); Escape and the close box run OnCancel.
// F1 runs OnHelpInfo with the help context number of the focused control;
// Shift+F1 starts context-help mode in a dialog with DS_CONTEXTHELP (the
// title bar's "?" button exists only where the window system draws one).
//
// A CDialog never ends the program by closing (Qt::WA_QuitOnClose is off):
// the application decides when the program ends.

#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QTextEdit>

#include <cstdint>

#include "platform/dialog_template.h"
#include "platform/win_types.h"

class CDataExchange;

/// What both edit controls do when they lose the keyboard focus (the moment
/// a Windows edit control sends EN_KILLFOCUS): to another control, to another
/// window, or because their window was hidden or closed while they had the
/// focus. OnKillFocus runs once per focus the control had, after `TEdit`'s
/// own handling (so a handler may put the focus back and select the text),
/// and not while the control's own context menu is open.
template <class TEdit> class CKillFocusEdit : public TEdit
{
public:
    using TEdit::TEdit;

protected:
    virtual void OnKillFocus() = 0;

    void focusInEvent(QFocusEvent* event) override
    {
        TEdit::focusInEvent(event);
        m_bHasFocus = true;
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        // The edit's own handling first: it drops the selection, and a
        // handler may want to put the focus back and select the text.
        TEdit::focusOutEvent(event);
        if (event->reason() == Qt::PopupFocusReason || !m_bHasFocus)
            return;
        m_bHasFocus = false;
        OnKillFocus();
    }

private:
    bool m_bHasFocus = false;
};

class CEditCtrl final : public CKillFocusEdit<QLineEdit>
{
    Q_OBJECT
public:
    using CKillFocusEdit::CKillFocusEdit;
signals:
    /// The control lost the keyboard focus (see CKillFocusEdit).
    void killFocus();

private:
    void OnKillFocus() override { emit killFocus(); }
};

/// A multi-line edit control: word-wrapped plain text, Tab moves the focus
/// on (as in a dialog), Enter reaches the dialog unless the text is editable.
class CMultiEditCtrl final : public CKillFocusEdit<QTextEdit>
{
    Q_OBJECT
public:
    explicit CMultiEditCtrl(QWidget* parent = nullptr);

    /// Plain text; "\r\n" line ends are taken as "\n".
    void SetText(const QString& text);
    QString Text() const;
    /// Alignment of every paragraph (Qt::AlignLeft, AlignHCenter, AlignRight).
    void SetTextAlignment(Qt::Alignment alignment);
signals:
    /// As CEditCtrl::killFocus.
    void killFocus();

private:
    void OnKillFocus() override { emit killFocus(); }

    Qt::Alignment m_alignment = Qt::AlignLeft;
};

class CDropListCtrl final : public QComboBox
{
    Q_OBJECT
public:
    explicit CDropListCtrl(QWidget* parent = nullptr);
signals:
    /// The list is about to open (CBN_DROPDOWN); handlers may change the selection.
    void dropDown();
    /// The user chose an entry, also the one already selected (CBN_SELCHANGE):
    /// from the list, with the arrow keys or with the wheel; never for a
    /// selection the program makes.
    void selChange();

public:
    void showPopup() override;
};

/// Icon resource `id` with every size it is drawn in: the files of the Qt
/// resource folder ":/icons/<id>", each named by its side in pixels
/// (":/icons/130/16.png"); a null icon when there is no such folder.
QIcon LoadIconResource(int id);

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

    /// The help context number of `widget` or, when it has none, of its
    /// nearest parent that has one (a control without its own number gets
    /// its dialog's); 0 when none has one.
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

    /// Silences every control for good. The controls outlive the dialog's
    /// destructors (QWidget deletes them last); should the window system
    /// take the focus from an edit control while the window is torn down,
    /// no handler may run on members that are already gone. A derived
    /// dialog whose members go before CDialog's destructor runs calls it first.
    void BlockControlSignals();

    // Qt's paths into the life cycle above.
    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    QWidget* CreateControl(const ControlTemplate& control);
    void ConnectCommand(QWidget* control, int id);
    QWidget* FocusedControl() const;

    DialogTemplate m_template;
    QHash<int, QWidget*> m_controls;
    QFont m_templateFont;
    QSize m_baseUnits;
    int m_nResult = IDCANCEL; ///< the code given to EndDialog
    bool m_bBuilt = false;
    bool m_bEnded = false; ///< EndDialog ran since DoModal started
};
