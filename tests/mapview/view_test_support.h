#pragma once
// What the map view tests and the program tests share: writing the BMP files
// of support/bmp_writer.h, a stand-in for the reference dialog that records
// the messages it receives, a watch that answers every message box and keeps
// its text, and choosing an item of an open context menu.

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/win_types.h"
#include "support/bmp_writer.h"

// ---- BMP files --------------------------------------------------------------

/// Writes `bytes` to `path`; fails the test when that is not possible.
void WriteFile(const QString& path, const std::vector<std::uint8_t>& bytes);

// ---- the reference dialog's stand-in --------------------------------------

struct RecordedMessage
{
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool messageBoxOpen = false; ///< a message box was showing when it arrived
};

/// A top-level window that receives the view's posted messages and records them.
class CRecordingDialog final : public QWidget
{
public:
    CRecordingDialog();
    std::vector<RecordedMessage> m_messages;

    /// Messages with number `message`, in arrival order.
    std::vector<RecordedMessage> Received(UINT message) const;

protected:
    bool event(QEvent* event) override;
};

// ---- message boxes ----------------------------------------------------------

/// While it lives, answers every message box by clicking `answerId` (IDOK
/// where the box has only Ok) and keeps its text, in order.
class CMessageBoxWatch final : public QObject
{
public:
    explicit CMessageBoxWatch(int answerId = IDOK);
    QStringList m_texts;
    int m_nAnswerId;
    /// Runs while a box is showing, before it is answered.
    std::function<void()> m_onBox;

private:
    void Poll();
    QTimer m_timer;
    bool m_bAnswering = false;
};

// ---- context menus ----------------------------------------------------------

/// Clicks the item with command id `commandId` of the next pop-up menu that
/// opens within 5 s, as the user would with the mouse; fails the test when
/// none opens or it has no such item.
class CMenuChoice final : public QObject
{
public:
    explicit CMenuChoice(int commandId);
    ~CMenuChoice() override;
    bool Done() const { return m_bDone; }
    /// Whether the item was enabled when it was clicked.
    bool WasEnabled() const { return m_bWasEnabled; }
    /// Where the menu's top-left corner stood on the screen.
    QPoint MenuPosition() const { return m_ptMenu; }

private:
    void Poll();
    int m_nCommandId;
    bool m_bDone = false;
    bool m_bWasEnabled = false;
    QPoint m_ptMenu;
    int m_nPolls = 0;
    QTimer m_timer;
};

/// Processes events until `condition` holds or `timeoutMs` passed.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
