// Loading a map into the view: colour depths, the depth question, files that
// are not bitmaps.
#include <QDir>

#include <optional>

#include "support/named_pipe.h"
#include "view_fixture.h"

namespace
{

const QString kNotABmp = QStringLiteral("Was not a BMP-File! Not loaded!");
const QString kDepthQuestion = QStringLiteral("Bitmaps must have only 4 oder 8 bpp! Continue?");

const std::vector<BmpColour> kPalette = {{255, 255, 255}, {0, 0, 160}, {0, 128, 0}, {200, 170, 110}};

// A pattern over the palette's first `colours` entries.
int Pattern(int x, int y, int colours)
{
    return (x / 3 + y / 2) % colours;
}

QRgb Rgb(const BmpColour& c)
{
    return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
}

} // namespace

TEST_F(MapViewTest, IndexedMapsLoadWithoutAQuestionAndKeepTheFilesColourDepth)
{
    for (const int bpp : {1, 4, 8})
    {
        SCOPED_TRACE(bpp);
        const int colours = bpp == 1 ? 2 : 4;
        const QString path = FilePath(QStringLiteral("map%1.bmp").arg(bpp));
        WriteFile(path, MakeIndexedBmp(61, 47, bpp, kPalette, [&](int x, int y) { return Pattern(x, y, colours); }));

        CMessageBoxWatch boxes;
        Load(path);

        EXPECT_TRUE(boxes.m_texts.isEmpty()) << boxes.m_texts.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(m_view->IsBitmapLoaded());
        EXPECT_EQ(m_view->BitmapInfo().bmBitsPixel, bpp);
        EXPECT_EQ(m_view->BitmapInfo().bmWidth, 61);
        EXPECT_EQ(m_view->BitmapInfo().bmHeight, 47);
        EXPECT_TRUE(m_frame->isVisible());

        // Every pixel on screen is the file's pixel, one to one, rows from the top.
        const QImage painted = Painted();
        int wrong = 0;
        for (int y = 0; y < 47; ++y)
            for (int x = 0; x < 61; ++x)
                wrong += At(painted, {x, y}) != Rgb(kPalette[static_cast<std::size_t>(Pattern(x, y, colours))]);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(MapViewTest, ATrueColourMapAsksFirstAndIsShownOnYes)
{
    const QString path = FilePath(QStringLiteral("photo.bmp"));
    WriteFile(path,
              MakeRgbBmp(50, 40,
                         [](int x, int y) {
                             return BmpColour{static_cast<std::uint8_t>(5 * x), 90, static_cast<std::uint8_t>(6 * y)};
                         }));
    CMessageBoxWatch boxes(IDYES);
    bool loadedBehindTheQuestion = false;
    boxes.m_onBox = [&] { loadedBehindTheQuestion = m_view->IsBitmapLoaded() && m_frame->isVisible(); };
    Load(path, {10, 10, 0, 0});

    EXPECT_EQ(boxes.m_texts, QStringList{kDepthQuestion});
    EXPECT_TRUE(loadedBehindTheQuestion) << "the map is marked loaded before the question";
    EXPECT_TRUE(m_view->IsBitmapLoaded());
    EXPECT_EQ(m_view->BitmapInfo().bmBitsPixel, 24);
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_EQ(At(Painted(), {45, 2}), qRgb(225, 90, 12) & 0xFFFFFFu);
}

TEST_F(MapViewTest, ATrueColourMapRefusedWithNoHidesTheFrameAndShowsTheDialog)
{
    const QString path = FilePath(QStringLiteral("photo.bmp"));
    WriteFile(path, MakeRgbBmp(50, 40, [](int, int) { return BmpColour{1, 2, 3}; }));
    m_dialog.hide();
    CMessageBoxWatch boxes(IDNO);
    Load(path, {10, 10, 20, 20});

    EXPECT_EQ(boxes.m_texts, QStringList{kDepthQuestion});
    EXPECT_FALSE(m_view->IsBitmapLoaded());
    EXPECT_FALSE(m_view->IsRefPointSet(0));
    EXPECT_FALSE(m_view->IsRefPointSet(1));
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_TRUE(m_dialog.Received(WM_MAP_LOAD_FAILED).empty()) << "a refused depth is no failed load";
}

TEST_F(MapViewTest, AFileThatIsNoUsableBitmapGivesOneMessageThenTheFailureNotice)
{
    const std::vector<std::uint8_t> good =
        MakeIndexedBmp(100, 100, 8, kPalette, [](int x, int y) { return Pattern(x, y, 4); });
    const std::size_t pixelOffset = 14 + 40 + 4 * 256;

    enum class Kind
    {
        File,
        Missing,
        Directory,
        Pipe
    };
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        Kind kind = Kind::File;
    };
    const std::vector<Case> cases = {
        {"text file", {'T', 'Y', 'P', 'E', ':', ' ', 'R', 'A', 'S', 'T', 'E', 'R', 'M', 'A', 'P', '\r', '\n'}},
        {"empty file", {}},
        {"cut inside the info header", {good.begin(), good.begin() + 30}},
        // The header claims 100 x 100 pixels; only 50 rows follow.
        {"header claims more pixels than the file holds",
         {good.begin(), good.begin() + static_cast<std::ptrdiff_t>(pixelOffset + 50 * 100)}},
        {"missing file", {}, Kind::Missing},
        // A pipe chosen as the map hung the program: its open waited for a writer.
        {"directory", {}, Kind::Directory},
        {"named pipe", {}, Kind::Pipe},
    };

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // A good map first: a failed load must not leave it on screen.
        const QString goodPath = FilePath(QStringLiteral("good.bmp"));
        WriteFile(goodPath, good);
        Load(goodPath, {10, 10, 20, 20});
        ASSERT_TRUE(m_view->IsBitmapLoaded());
        m_dialog.hide();
        m_dialog.m_messages.clear();

        const QString path = FilePath(QStringLiteral("bad.bmp"));
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (c.kind == Kind::File)
            WriteFile(path, c.bytes);
        if (c.kind == Kind::Directory)
        {
            ASSERT_TRUE(QDir().mkdir(path));
        }
        std::optional<CNamedPipe> pipe;
        if (c.kind == Kind::Pipe)
        {
            ASSERT_TRUE(pipe.emplace(path).IsValid());
        }
        CMessageBoxWatch boxes;
        bool frameShownWithTheMessage = false;
        boxes.m_onBox = [&] { frameShownWithTheMessage = m_frame->isVisible(); };
        Load(path, {10, 10, 20, 20});

        EXPECT_EQ(boxes.m_texts, QStringList{kNotABmp});
        EXPECT_TRUE(frameShownWithTheMessage);
        const auto failed = m_dialog.Received(WM_MAP_LOAD_FAILED);
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_FALSE(failed[0].messageBoxOpen) << "the notice is posted after the box has closed";
        EXPECT_EQ(failed[0].wParam, 0u);
        EXPECT_EQ(failed[0].lParam, 0);
        EXPECT_FALSE(m_view->IsBitmapLoaded());
        EXPECT_FALSE(m_view->IsRefPointSet(0));
        EXPECT_FALSE(m_frame->isVisible());
        EXPECT_TRUE(m_dialog.isVisible());
        if (pipe)
        {
            EXPECT_FALSE(pipe->ReaderWaited());
        }
    }
}

TEST_F(MapViewTest, ASecondMapReplacesTheFirstWithTheMarkersPassedWithIt)
{
    const QString first = FilePath(QStringLiteral("first.bmp"));
    const QString second = FilePath(QStringLiteral("second.bmp"));
    WriteFile(first, MakeIndexedBmp(300, 200, 8, kPalette, [](int, int) { return 1; }));
    WriteFile(second, MakeIndexedBmp(120, 90, 4, kPalette, [](int, int) { return 2; }));

    Load(first, {30, 40, 250, 150});
    ASSERT_TRUE(m_view->IsRefPointSet(0) && m_view->IsRefPointSet(1));

    Load(second, {0, 0, 60, 30});
    EXPECT_EQ(m_view->BitmapInfo().bmWidth, 120);
    EXPECT_EQ(m_view->BitmapInfo().bmBitsPixel, 4);
    EXPECT_FALSE(m_view->IsRefPointSet(0));
    ASSERT_TRUE(m_view->IsRefPointSet(1));
    EXPECT_EQ(m_view->RefPoint(1), QPoint(60, 60)); // 90 rows - 30
    EXPECT_EQ(At(Painted(), {5, 5}), Rgb(kPalette[2]));
}
