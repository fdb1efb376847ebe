#pragma once
// Kartora's own modal message box (template 141): the message in the current
// language, the button captions "Yes", "No", "Ok", "Cancel" in English in
// both languages. One box exists for the whole process; its text, button
// set and last result are shared, class-wide state. The box has the
// template's size unless the message needs more lines: then it grows
// downwards until the whole text shows.

#include <QFont>
#include <QString>

#include <cstdint>

#include "messages/messages.h"
#include "platform/dialog.h"
#include "platform/file_writer.h"
#include "platform/win_types.h"

class QPushButton;

class CMessageBoxDlg final : public CDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CMessageBoxDlg)
public:
    CMessageBoxDlg();

    /// The process's one box, made without a parent on first use and deleted
    /// together with the application object (QApplication must exist).
    static CMessageBoxDlg& Instance();

    /// The text the next showing puts into the message field.
    static QString s_strText;
    /// Button set of the showing: MB_OK, MB_OKCANCEL, MB_YESNOCANCEL or
    /// MB_YESNO. Any other value leaves the buttons as the template has them.
    static UINT s_nButtons;
    /// IDOK, IDCANCEL, IDYES or IDNO of the last answer that the button set
    /// allowed; 0 until the first. Only the button handlers write it. Escape
    /// answers Cancel where it is offered and No to a Yes/No question; on an
    /// Ok box it writes nothing, so the previous answer comes back.
    static std::int32_t s_nResult;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;

private:
    void OnYes();
    void OnNo();
    void FitMessage();
    void ShowButtons();

    QWidget* m_edMessage = nullptr;
    QPushButton* m_btnYes = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QPushButton* m_btnNo = nullptr;
    /// Arial 12 pt for the message; lives as long as the box.
    QFont m_fontMessage;
    /// How far the message field grew beyond the template for the current
    /// text, pixels; the buttons move down as far.
    int m_nGrowth = 0;
};

/// Shows catalogue message `id` (no insert) with the button set `buttons`
/// after the error beep; returns CMessageBoxDlg::s_nResult once the box has
/// closed.
int ShowMessage(MessageId id, UINT buttons);
/// The same for a text the caller made, as a rule with GetMessageText(id, insert).
int ShowMessageText(const QString& text, UINT buttons);
/// Catalogue message `id` with `insert` (a file's name or path) and, on a
/// line of its own, `reason` when it is not empty (the system's words, in
/// English), with an Ok button.
void ShowMessageWithReason(MessageId id, const QString& insert, const QString& reason);
/// "The File %1 could not be written!" for `path` (shown with the
/// platform's separators), and the system's reason: a file that could not be
/// written is never passed over in silence, or the user would take the old
/// file (or none) for the new one.
void ShowFileNotWritten(const QString& path, const platform::FileWriteError& error);
