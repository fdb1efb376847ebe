// Scans of the other image formats in the view, the device BMP written from
// one, and long loads: their progress, the window meanwhile, and Cancel.
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QProgressDialog>
#include <QPushButton>

#include <chrono>
#include <thread>

#include "mapview/map_loading.h"
#include "platform/bitmap/bmp_decoder.h"
#include "support/gif_writer.h"
#include "view_fixture.h"

namespace
{

const QString kDepthQuestion = QStringLiteral("Bitmaps must have only 4 oder 8 bpp! Continue?");
const std::vector<BmpColour> kColours = {{250, 250, 240}, {20, 60, 170}, {30, 140, 40}, {190, 40, 30}};

// Four blocks of 8 x 8 pixels in the four colours, across and down.
int Block(int x, int y)
{
    return (x / 8 + y / 8) % 4;
}

QRgb Rgb(int index)
{
    const BmpColour& c = kColours[static_cast<std::size_t>(index)];
    return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
}

std::vector<std::uint8_t> Encoded(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, Rgb(Block(x, y)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(image)) << format;
    return {bytes.begin(), bytes.end()};
}

QProgressDialog* ShownProgress()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && progress->isVisible())
            return progress;
    return nullptr;
}

// A reader that takes its time: `steps` reports 50 ms apart, then a map of
// `size`, or nothing when cancelled meanwhile.
class CSlowReader final : public IMapLoadWork
{
public:
    CSlowReader(int steps, QSize size) : m_nSteps(steps), m_size(size) {}

    MapLoadResult Run(const MapLoadRequest&, CMapProgress& progress) override
    {
        MapLoadResult result;
        for (int i = 0; i < m_nSteps; ++i)
        {
            if (!progress.Report(static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(m_nSteps)))
            {
                result.bCancelled = true;
                result.readError = MapReadError::Cancelled;
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        MapImage map;
        map.image = QImage(m_size, QImage::Format_Indexed8);
        map.image.setColorTable({qRgb(0, 0, 0)});
        map.image.fill(0);
        map.info.bmWidth = m_size.width();
        map.info.bmHeight = m_size.height();
        map.info.bmBitsPixel = 8;
        map.format = "bmp";
        result.map = std::move(map);
        return result;
    }

private:
    int m_nSteps;
    QSize m_size;
};

// Installs a load's work for one test.
class CWorkInstalled
{
public:
    explicit CWorkInstalled(IMapLoadWork& work) { SetMapLoadWork(&work); }
    ~CWorkInstalled() { SetMapLoadWork(nullptr); }
};

} // namespace

TEST_F(MapViewTest, ScansOfEveryImageFormatAreShownThroughTheLoad)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int bitsPerPixel;
        int tolerance; // JPEG's loss per channel
    };
    const Case cases[] = {
        {"png", Encoded("png", 48, 32), 24, 0},
        {"tiff", Encoded("tiff", 48, 32), 24, 0},
        {"jpg", Encoded("jpeg", 48, 32), 24, 12},
        {"gif", MakeGif(48, 32, kColours, Block), 8, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString path = FilePath(QStringLiteral("scan.") + QString::fromLatin1(c.name));
        WriteFile(path, c.bytes);
        CMessageBoxWatch boxes(IDYES);
        Load(path);

        EXPECT_EQ(boxes.m_texts, c.bitsPerPixel > 8 ? QStringList{kDepthQuestion} : QStringList{});
        ASSERT_TRUE(m_view->IsBitmapLoaded());
        EXPECT_EQ(m_view->BitmapInfo().bmBitsPixel, c.bitsPerPixel);
        EXPECT_EQ(QSize(m_view->BitmapInfo().bmWidth, m_view->BitmapInfo().bmHeight), QSize(48, 32));
        const QImage painted = Painted();
        int wrong = 0;
        for (int y = 2; y < 32; y += 8) // block centres, away from JPEG's edges
            for (int x = 3; x < 48; x += 8)
            {
                const QRgb shown = At(painted, {x, y});
                const QRgb expected = Rgb(Block(x, y));
                wrong += std::abs(qRed(shown) - qRed(expected)) > c.tolerance ||
                         std::abs(qGreen(shown) - qGreen(expected)) > c.tolerance ||
                         std::abs(qBlue(shown) - qBlue(expected)) > c.tolerance;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(MapViewTest, AScanConvertedForTheDeviceIsWrittenBesideItAndShownWithoutTheDepthQuestion)
{
    const QString scan = FilePath(QStringLiteral("scan.png"));
    const std::vector<std::uint8_t> bytes = Encoded("png", 48, 32);
    WriteFile(scan, bytes);
    MapConversion conversion{scan, FilePath(QStringLiteral("scan.bmp"))};
    m_picked = {};
    CMessageBoxWatch boxes(IDNO);
    PostMessage(m_view, WM_MAP_CONVERT, reinterpret_cast<WPARAM>(&conversion),
                reinterpret_cast<LPARAM>(m_picked.data()));
    Deliver();

    EXPECT_TRUE(boxes.m_texts.isEmpty()) << boxes.m_texts.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(m_view->IsBitmapLoaded());
    EXPECT_EQ(m_view->BitmapInfo().bmBitsPixel, 8);
    const auto written = LoadBmpFile(conversion.bmpPath);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->info.bmBitsPixel, 8);
    EXPECT_EQ(written->image.pixel(3, 2) & 0xFFFFFFu, Rgb(Block(3, 2)));
    QFile original(scan);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TEST_F(MapViewTest, ALongLoadShowsItsProgressWhileTheWindowsGoOnWorking)
{
    CSlowReader slow(20, QSize(30, 20)); // about a second
    CWorkInstalled installed(slow);
    QTimer observer;
    int ticks = 0;
    bool progressShown = false;
    QObject::connect(&observer, &QTimer::timeout,
                     [&]
                     {
                         ++ticks;
                         progressShown = progressShown || ShownProgress() != nullptr;
                     });
    observer.start(20);
    QElapsedTimer clock;
    clock.start();
    Load(FilePath(QStringLiteral("large.bmp")));
    const qint64 elapsed = clock.elapsed();
    observer.stop();

    EXPECT_TRUE(progressShown);
    // The event loop ran all along: far more ticks than one per second.
    EXPECT_GT(ticks, elapsed / 20 / 2);
    ASSERT_TRUE(m_view->IsBitmapLoaded());
    EXPECT_EQ(m_view->BitmapInfo().bmWidth, 30);
    EXPECT_EQ(ShownProgress(), nullptr);
}

TEST_F(MapViewTest, ALoadCancelledHalfwayLeavesThePreviousMapShown)
{
    const QString previous = FilePath(QStringLiteral("previous.bmp"));
    WriteFile(previous, MakeIndexedBmp(64, 40, 8, kColours, Block));
    Load(previous);
    ASSERT_TRUE(m_view->IsBitmapLoaded());
    m_dialog.m_messages.clear();

    CSlowReader endless(400, QSize(30, 20)); // 20 s unless cancelled
    CWorkInstalled installed(endless);
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout,
                     [&]
                     {
                         // The user's click on Cancel.
                         if (QProgressDialog* progress = ShownProgress())
                             if (auto* button = progress->findChild<QPushButton*>())
                                 button->click();
                     });
    canceller.start(50);
    CMessageBoxWatch boxes;
    QElapsedTimer clock;
    clock.start();
    Load(FilePath(QStringLiteral("next.bmp")));
    canceller.stop();

    EXPECT_LT(clock.elapsed(), 10000) << "Cancel stopped the load";
    EXPECT_TRUE(boxes.m_texts.isEmpty());
    ASSERT_TRUE(m_view->IsBitmapLoaded());
    EXPECT_EQ(m_view->BitmapInfo().bmWidth, 64);
    EXPECT_EQ(At(Painted(), {3, 2}), Rgb(Block(3, 2)));
    const auto state = m_dialog.Received(WM_MAP_STATE);
    ASSERT_EQ(state.size(), 1u);
    EXPECT_EQ(state[0].wParam, 1u);
}
