#pragma once
// The error window (template 134): a small modeless window, on top of all
// others, that shows the reference dialog's input errors while the user goes
// on typing. The coordinate converter owns it through IErrorWindow. Its
// screen position is kept in the settings ("ErrorWindowX", "ErrorWindowY").

#include <QFont>
#include <QString>

#include <cstdint>

#include "conversion/error_window.h"
#include "platform/dialog.h"

class QLabel;

class CErrorMessageDlg final : public CDialog, public IErrorWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(CErrorMessageDlg)
public:
    /// Creates the window at once, hidden, with its frame's top-left corner
    /// at the stored screen position (default 200, 400), used unchanged also
    /// when it lies off the screen.
    explicit CErrorMessageDlg(QWidget* pParent = nullptr);

    /// Shows catalogue message `id` in the current language under the title
    /// "Input Error!", on top of every other window, and beeps; again at
    /// every call, also while the window shows. Does nothing when the window
    /// could not be created.
    void ShowError(MessageId id) override;
    /// Hides the window if ShowError showed it.
    void HideError() override;
    /// Writes the frame's top-left screen corner to the settings, also while
    /// the window is hidden (its last place).
    void SavePosition() override;

    /// 1 after ShowError, 0 after construction and HideError. Closing the
    /// window with its close box, Enter or Escape hides it but leaves this.
    std::int32_t IsErrorShown() const { return m_bShown; }
    /// Whether the window shows, however it was hidden (the user may close it).
    bool IsShown() const override { return isVisible(); }
    const QString& Message() const { return m_strMessage; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLabel* m_ctlMessage = nullptr;
    QString m_strMessage;
    std::int32_t m_bShown = 0;
    /// This window once it has been created; null when creating it failed.
    QWidget* m_hWndOwn = nullptr;
    /// Arial 12 pt for the message; lives as long as the window.
    QFont m_fontMessage;
};
