#include "view_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/user_message.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"
#include "support/modal_answer.h"

namespace
{

void PutU16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// File header and 40-byte info header for an uncompressed bottom-up bitmap.
std::vector<std::uint8_t> Headers(int width, int height, int bitsPerPixel, int paletteEntries, std::uint32_t imageSize)
{
    const std::uint32_t pixelOffset = 14 + 40 + 4 * static_cast<std::uint32_t>(paletteEntries);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, pixelOffset + imageSize);
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, static_cast<unsigned>(bitsPerPixel));
    PutU32(out, 0); // no compression
    PutU32(out, imageSize);
    PutU32(out, 2835); // 72 dpi
    PutU32(out, 2835);
    PutU32(out, static_cast<std::uint32_t>(paletteEntries));
    PutU32(out, 0);
    return out;
}

std::size_t RowBytes(int width, int bitsPerPixel)
{
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

} // namespace

std::vector<std::uint8_t> MakeIndexedBmp(int width, int height, int bitsPerPixel, const std::vector<BmpColour>& palette,
                                         const std::function<int(int x, int y)>& pixel)
{
    const int entries = 1 << bitsPerPixel;
    const std::size_t rowBytes = RowBytes(width, bitsPerPixel);
    std::vector<std::uint8_t> out =
        Headers(width, height, bitsPerPixel, entries, static_cast<std::uint32_t>(rowBytes * height));
    for (int i = 0; i < entries; ++i)
    {
        const BmpColour c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : BmpColour{};
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    for (int y = height - 1; y >= 0; --y) // bottom row first
    {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x)
        {
            const auto index = static_cast<unsigned>(pixel(x, y));
            const int bit = x * bitsPerPixel; // from the row's first byte's high bit
            const int shift = 8 - bitsPerPixel - bit % 8;
            row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(index << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> MakeRgbBmp(int width, int height, const std::function<BmpColour(int x, int y)>& colour)
{
    const std::size_t rowBytes = RowBytes(width, 24);
    std::vector<std::uint8_t> out = Headers(width, height, 24, 0, static_cast<std::uint32_t>(rowBytes * height));
    for (int y = height - 1; y >= 0; --y)
    {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x)
        {
            const BmpColour c = colour(x, y);
            const auto at = static_cast<std::size_t>(3 * x);
            row[at] = c.b;
            row[at + 1] = c.g;
            row[at + 2] = c.r;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void WriteFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

// ---- CRecordingDialog ------------------------------------------------------

CRecordingDialog::CRecordingDialog()
{
    setWindowTitle(QStringLiteral("recording dialog"));
    resize(200, 100);
}

std::vector<RecordedMessage> CRecordingDialog::Received(UINT message) const
{
    std::vector<RecordedMessage> found;
    for (const RecordedMessage& m : m_messages)
        if (m.message == message)
            found.push_back(m);
    return found;
}

bool CRecordingDialog::event(QEvent* event)
{
    if (const UserMessageEvent* msg = UserMessageEvent::From(event))
    {
        const QWidget* modal = QApplication::activeModalWidget();
        m_messages.push_back({msg->Message(), msg->WParam(), msg->LParam(), modal != nullptr && modal->isVisible()});
        return true;
    }
    return QWidget::event(event);
}

// ---- CMessageBoxWatch ------------------------------------------------------

CMessageBoxWatch::CMessageBoxWatch(int answerId) : m_nAnswerId(answerId)
{
    connect(&m_timer, &QTimer::timeout, this, &CMessageBoxWatch::Poll);
    m_timer.start(10);
}

void CMessageBoxWatch::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (m_bAnswering || modal == nullptr || !modal->isVisible())
        return;
    m_bAnswering = true;
    m_texts.push_back(CMessageBoxDlg::s_strText);
    if (m_onBox)
        m_onBox();
    // A box with Ok only is answered with Ok whatever answer was asked for.
    // The box's Yes and No buttons have control ids of their own.
    const bool okOnly = CMessageBoxDlg::s_nButtons == MB_OK;
    const int answer = okOnly ? IDOK : m_nAnswerId;
    ClickControl(modal, answer == IDYES ? IDC_YES : answer == IDNO ? IDC_NO : answer);
    if (modal->isVisible())
        modal->hide(); // a failed click must not leave the test waiting forever
    m_bAnswering = false;
}

// ---- CMenuChoice -----------------------------------------------------------

CMenuChoice::CMenuChoice(int commandId) : m_nCommandId(commandId)
{
    connect(&m_timer, &QTimer::timeout, this, &CMenuChoice::Poll);
    m_timer.start(10);
}

CMenuChoice::~CMenuChoice()
{
    if (!m_bDone)
        ADD_FAILURE() << "no pop-up menu was answered with command " << m_nCommandId;
}

void CMenuChoice::Poll()
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible())
    {
        if (++m_nPolls > 500)
        {
            m_timer.stop();
            ADD_FAILURE() << "no pop-up menu opened within 5 s";
            m_bDone = true;
        }
        return;
    }
    m_timer.stop();
    m_bDone = true;
    m_ptMenu = menu->pos();
    for (QAction* action : menu->actions())
    {
        if (action->data().toInt() == m_nCommandId)
        {
            // A click on a disabled item leaves the menu open; the user then
            // closes it.
            m_bWasEnabled = action->isEnabled();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            if (!m_bWasEnabled)
                menu->close();
            return;
        }
    }
    ADD_FAILURE() << "the menu has no item with command " << m_nCommandId;
    menu->close();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition())
    {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
