// Where a map load puts the program's frame, and its caption.
#include <QScreen>
#include <QWindow>

#include "view_fixture.h"

namespace
{

class FramePlacement : public MapViewTest
{
};

const std::vector<BmpColour> kPalette = {{255, 255, 255}, {0, 0, 160}};

// The frame's outer size after a load: 90 % of the screen, cut to whole pixels.
QSize NinetyPercentOf(const QScreen* screen)
{
    const QSize s = screen->geometry().size();
    return {s.width() * 9 / 10, s.height() * 9 / 10};
}

} // namespace

TEST_F(FramePlacement, EveryLoadPutsTheFrameAt50_50WithNinetyPercentOfTheScreen)
{
    const QString path = FilePath(QStringLiteral("map.bmp"));
    WriteFile(path, MakeIndexedBmp(20, 20, 8, kPalette, [](int, int) { return 1; }));
    const QSize expected = NinetyPercentOf(m_frame->screen());

    for (const char* step : {"first load", "after the user moved and resized the frame"})
    {
        SCOPED_TRACE(step);
        Load(path);
        const QPoint origin = m_frame->screen()->geometry().topLeft();
        EXPECT_EQ(m_frame->frameGeometry(), QRect(origin + QPoint(50, 50), expected));
        m_frame->setGeometry(300, 200, 240, 180);
    }

    // Also when the file then fails to load: it is shown with the message.
    CMessageBoxWatch boxes;
    QRect placedWithTheMessage;
    boxes.m_onBox = [&] { placedWithTheMessage = m_frame->frameGeometry(); };
    Load(FilePath(QStringLiteral("missing.bmp")));
    EXPECT_EQ(placedWithTheMessage.size(), expected);
}

TEST_F(FramePlacement, TheCaptionIsThePathFromItsLastSeparatorOn)
{
    struct Case
    {
        QString name;    ///< file name in the test directory, "" for a path without separator
        QString caption; ///< as the window system shows it
    };
    const std::vector<Case> cases = {
        {QStringLiteral("harz.bmp"), QStringLiteral("/harz.bmp")},
        {QStringLiteral("Karte 1 (Hafen).bmp"), QStringLiteral("/Karte 1 (Hafen).bmp")},
        // Qt would hide "[*]" as a modification mark.
        {QStringLiteral("odd[*]name.bmp"), QStringLiteral("/odd[*]name.bmp")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = FilePath(c.name);
        WriteFile(path, MakeIndexedBmp(8, 8, 8, kPalette, [](int, int) { return 0; }));
        Load(path);
        ASSERT_NE(m_frame->windowHandle(), nullptr);
        EXPECT_EQ(m_frame->windowHandle()->title(), c.caption);
    }

    // A name without separator is the caption as it is (the load then fails).
    CMessageBoxWatch boxes;
    Load(QStringLiteral("no-separator.bmp"));
    EXPECT_EQ(m_frame->windowHandle()->title(), QStringLiteral("no-separator.bmp"));
}
