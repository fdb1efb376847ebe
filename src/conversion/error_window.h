#pragma once
// The small window through which the coordinate converter reports input
// errors. The converter owns it; the desktop program supplies a real window,
// the command-line program and the tests the window-less one below.

#include "messages/messages.h"

class IErrorWindow
{
public:
    virtual ~IErrorWindow() = default;

    /// Shows catalogue message `id` (in the current language) with the
    /// title "Input Error!" and the error beep.
    virtual void ShowError(MessageId id) = 0;
    /// Hides the window if ShowError showed it.
    virtual void HideError() = 0;
    /// Stores the window's screen position in the settings.
    virtual void SavePosition() = 0;
    /// True while the window shows an error.
    virtual bool IsShown() const = 0;
};

/// An error window without a window: it remembers what a window would show,
/// so that a caller without a display can report it in its own way.
class CTextErrorWindow final : public IErrorWindow
{
public:
    void ShowError(MessageId id) override
    {
        m_nLastMessage = id;
        m_bShown = true;
        ++m_nShowCount;
    }
    void HideError() override { m_bShown = false; }
    void SavePosition() override {}

    bool IsShown() const override { return m_bShown; }
    MessageId LastMessage() const { return m_nLastMessage; }
    int ShowCount() const { return m_nShowCount; }

private:
    MessageId m_nLastMessage = MSG_FORBIDDEN_CHARS;
    bool m_bShown = false;
    int m_nShowCount = 0;
};
