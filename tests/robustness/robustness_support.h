#pragma once
// What the robustness tests share: file dialogs answered by a function at
// the moment they open, message boxes answered by a policy (and any other
// modal window or pop-up closed and reported), the user's gestures on the
// reference dialog, and the read-back check of a .CAL file that Save wrote
// against what the dialog holds and shows.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "formats/cal_file.h"
#include "platform/file_dialog.h"
#include "platform/win_types.h"

// Readable test output for Qt's texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toPercentEncoding(" !\"#$&'()*+,-./:;<=>?@[]^_`{|}~").toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << "{\n";
    for (const QString& text : texts)
        *out << "  \"" << text.toStdString() << "\"\n";
    *out << "}";
}

class CDialog;
class CReferenceDlg;
class QWidget;

// ---- file dialogs -----------------------------------------------------------

/// A file-dialog provider that asks `m_choose` for each answer when the
/// dialog opens (so that an answer never waits in a queue for a later
/// dialog) and records every request.
class CChoosingFileDialogs final : public IFileDialogProvider
{
public:
    using Chooser = std::function<std::optional<QString>(const FileDialogRequest& request)>;
    std::optional<QString> Run(const FileDialogRequest& request, QWidget* parent) override;

    Chooser m_choose; ///< empty: every dialog is cancelled
    std::vector<FileDialogRequest> m_requests;
};

// ---- message boxes and other modal windows --------------------------------

/// While it lives, answers every showing of the process's message box with
/// the button `policy` names (IDYES, IDNO, IDOK, IDCANCEL; 0 presses Escape),
/// keeping texts and answers. A modal window other than the message box, a
/// pop-up nobody is waiting for, or a box that stays open after its answer is
/// closed after a grace period and counted as a stray: nothing the tests do
/// can then hang on it.
class CBoxAnswers final : public QObject
{
public:
    using Policy = std::function<int(const QString& text, UINT buttons)>;
    explicit CBoxAnswers(Policy policy);
    ~CBoxAnswers() override;

    /// Acts on the next pop-up menu that opens (the map's context menu).
    void ExpectPopup(std::function<void(QWidget* popup)> act);
    bool PopupPending() const { return static_cast<bool>(m_onPopup); }

    QStringList m_texts;   ///< every message shown, in order
    QStringList m_answers; ///< "Yes", "No", "Ok", "Cancel" or "Escape" for each
    QStringList m_strays;  ///< what had to be closed

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Answer(CDialog* box);
    void Poll();

    Policy m_policy;
    std::function<void(QWidget*)> m_onPopup;
    QTimer m_timer;
    QPointer<QWidget> m_pSeen; ///< the window open at the last poll
    int m_nSeenPolls = 0;
};

/// Every message box answered Yes (questions) or Ok.
int AnswerYesOrOk(const QString& text, UINT buttons);

// ---- gestures ---------------------------------------------------------------

/// Brings `window` to the front with the keyboard focus; false when the
/// window system did not activate it (focus-loss handlers would not run).
bool ActivateWindow(QWidget* window);

/// Selects entry `index` of the drop-down list `listId` of `dlg` as the user
/// does: opens the list (the datum list then selects "WGS84" itself), moves
/// to the entry and presses Enter. Needs the dialog shown.
void ChooseFromList(CDialog& dlg, int listId, int index);
/// The same without the pop-up, for a dialog that is hidden.
void SelectListEntry(CDialog& dlg, int listId, int index);

/// Types `text` into field `id` of `dlg` in place of what it held and leaves
/// the field with Tab, as the user does. False when the dialog could not be
/// activated.
bool EnterText(CDialog& dlg, int id, const QString& text);

/// Runs the posted messages and what they cause.
void DeliverPosted();

// ---- the reference file -----------------------------------------------------

struct CalReadBack
{
    bool bOpened = false;
    QByteArray bytes;
    formats::CalValues values;
    QStringList messages; ///< what ReadCalFile reported
};
CalReadBack ReadBack(const QString& path);

/// What the file of a name should hold: Windows-1252 keeps ASCII, U+00A0 to
/// U+00FF, the 27 characters of 0x80 to 0x9F and the five control
/// characters the code page leaves undefined; every other character becomes
/// "?". The reader then trims blanks at both ends.
QString NameAsFileKeepsIt(const QString& name);

/// Compares the .CAL file at `path`, which Save has just written, with the
/// dialog: ten lines ending in CR LF, read back without any message, the
/// same names, pixels and height difference (to one decimal), and the
/// coordinates that the dialog shows for both points once the user has
/// chosen "WGS84" and then "dec.Minute" (which it does here). Returns one
/// line per difference; empty when the file matches.
QStringList CompareSavedFile(CReferenceDlg& dlg, const QString& path);

/// `value` with `decimals` decimals, "." as the decimal point.
QString Fixed(double value, int decimals);

/// Files in `directory` whose names are not in `expected`.
QStringList UnexpectedFiles(const QString& directory, const QStringList& expected);
