// Posted user messages: queued, delivered after the current handler, in
// order, with their parameters.
#include "platform/user_message.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <vector>

namespace
{

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

// Records every user message; on the first one it posts two more, and notes
// whether they had arrived before its own handler returned.
class CRecorder final : public QObject
{
public:
    std::vector<Received> m_received;
    bool m_bArrivedInsideHandler = false;

protected:
    bool event(QEvent* e) override
    {
        const UserMessageEvent* msg = UserMessageEvent::From(e);
        if (msg == nullptr)
            return QObject::event(e);
        m_received.push_back({msg->Message(), msg->WParam(), msg->LParam()});
        if (m_received.size() == 1)
        {
            PostMessage(this, WM_USER + 10, 1, -7);
            PostMessage(this, WM_USER + 11, 0, 0);
            m_bArrivedInsideHandler = m_received.size() > 1;
        }
        return true;
    }
};

TEST(UserMessage, MessagesPostedInAHandlerArriveAfterItReturnsInOrderWithTheirParameters)
{
    CRecorder recorder;
    static int s_pixels[2] = {300, 400}; // outlives the message, as callers must ensure
    PostMessage(&recorder, WM_USER + 5, 0, reinterpret_cast<LPARAM>(s_pixels));
    EXPECT_TRUE(recorder.m_received.empty()) << "posting must not deliver at once";

    QCoreApplication::sendPostedEvents(&recorder);
    QCoreApplication::sendPostedEvents(&recorder);

    EXPECT_FALSE(recorder.m_bArrivedInsideHandler);
    const std::vector<Received> expected = {
        {0x0405, 0, reinterpret_cast<LPARAM>(s_pixels)}, {0x040A, 1, -7}, {0x040B, 0, 0}};
    EXPECT_EQ(recorder.m_received, expected);
}

TEST(UserMessage, OtherEventsAreNotUserMessagesAndANullReceiverIsIgnored)
{
    const QEvent other(QEvent::Timer);
    EXPECT_EQ(UserMessageEvent::From(&other), nullptr);
    EXPECT_EQ(UserMessageEvent::From(nullptr), nullptr);
    PostMessage(nullptr, WM_USER + 8); // must neither crash nor leak
}

} // namespace
