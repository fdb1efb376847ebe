// The big map: a 20000 x 20000 BMP at 24 bits per pixel (1.2 GB), written by
// this program, loaded into the map view as the reference dialog asks for it,
// against a plain read of the same file into a new buffer in the same run.
//
//   read         ms from opening the file to the last byte in a new buffer
//                (the median of three; a first, untimed read fills the page
//                cache for both)
//   first paint  ms from the view's handling of WM_MAP_LOAD to the end of the
//                first paint of its 1920 x 1080 client area with the map
//   peak RSS     the process's peak resident memory over the load (Linux:
//                reset through /proc/self/clear_refs before it, VmHWM after)
//                against the decoded pixel data (rows of 3 bytes a pixel)
//   latency      the longest the event loop went without serving a 5 ms
//                timer during the load, minus those 5 ms
//
// One load per process (a second would hold two maps while it runs); run it
// a few times and take the medians. Use the release build.
#include "bench_map_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "mapview/kartora_view.h"
#include "platform/user_message.h"
#include "resources/resource.h"
#include "shell/window_messages.h"

namespace
{

constexpr int kSide = 20000;         // pixels
constexpr QSize kClient(1920, 1080); // pixels
constexpr int kTickMs = 5;

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double PlainRead(const std::filesystem::path& file)
{
    const auto start = std::chrono::steady_clock::now();
    const std::uintmax_t size = std::filesystem::file_size(file);
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    const std::size_t got = in ? std::fread(buffer.get(), 1, size, in) : 0;
    if (in)
        std::fclose(in);
    const double ms = Milliseconds(std::chrono::steady_clock::now() - start);
    if (got != size)
    {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        std::exit(1);
    }
    volatile char sink = buffer[size / 2];
    (void)sink;
    return ms;
}

// A line of /proc/self/status in kB, e.g. "VmHWM".
double StatusMb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(key + ":"))
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return 0;
}

// Ends the first paint of the viewport that shows a map: its time is taken
// after the view has painted.
class CFirstPaint final : public QObject
{
public:
    CFirstPaint(CKartoraView& view, std::chrono::steady_clock::time_point& when) : m_view(view), m_when(when) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !m_view.IsBitmapLoaded() || m_bDone)
            return false;
        m_view.viewport()->removeEventFilter(this);
        m_bDone = true;
        const bool handled = static_cast<QObject*>(m_view.viewport())->event(event);
        m_when = std::chrono::steady_clock::now();
        (void)watched;
        return handled;
    }

private:
    CKartoraView& m_view;
    std::chrono::steady_clock::time_point& m_when;
    bool m_bDone = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::filesystem::path file = bench::PrepareMapFile(24, kSide);
    const double decodedMb = (kSide * 3 + 3) / 4 * 4.0 * kSide / (1024.0 * 1024.0);

    PlainRead(file); // the page cache
    std::vector<double> reads;
    for (int i = 0; i < 3; ++i)
        reads.push_back(PlainRead(file));
    std::sort(reads.begin(), reads.end());
    const double readMs = reads[1];

    QApplication app(argc, argv);
    CKartoraView view([](CKartoraView*) { return nullptr; });
    view.OnInitialUpdate();
    view.show();
    view.resize(kClient + (view.size() - view.viewport()->size()));
    QCoreApplication::processEvents();

    std::chrono::steady_clock::time_point painted{};
    CFirstPaint firstPaint(view, painted);
    view.viewport()->installEventFilter(&firstPaint);

    // The 24-bit map asks whether to go on; Yes once the map has been painted.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout,
                     [&]
                     {
                         if (painted == std::chrono::steady_clock::time_point{})
                             return;
                         if (QWidget* box = QApplication::activeModalWidget())
                             for (QWidget* child : box->findChildren<QWidget*>())
                                 if (child->property("controlId").toInt() == IDC_YES)
                                     QMetaObject::invokeMethod(child, "click");
                     });
    answer.start(20);
    // The event loop's latency, while the load runs.
    QElapsedTimer sinceTick;
    double longestGapMs = 0;
    bool loading = true;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&]
                     {
                         if (loading && painted == std::chrono::steady_clock::time_point{})
                             longestGapMs = std::max(longestGapMs, sinceTick.nsecsElapsed() / 1e6);
                         sinceTick.restart();
                     });
    tick.start(kTickMs);

    std::ofstream("/proc/self/clear_refs") << "5"; // the peak from here on
    const double baseMb = StatusMb("VmRSS");
    QString path = QString::fromStdString(file.string());
    std::uint32_t picked[4] = {};
    PostMessage(&view, WM_MAP_LOAD, reinterpret_cast<WPARAM>(&path), reinterpret_cast<LPARAM>(picked));
    sinceTick.start();
    const auto start = std::chrono::steady_clock::now();
    QCoreApplication::sendPostedEvents(); // returns once the load and its question are done
    loading = false;
    const double peakMb = StatusMb("VmHWM");
    if (!view.IsBitmapLoaded() || painted == std::chrono::steady_clock::time_point{})
    {
        std::fprintf(stderr, "the view did not show %s\n", file.c_str());
        return 1;
    }
    const double paintMs = Milliseconds(painted - start);
    std::printf("20000 x 20000 at 24 bpp (%.0f MB decoded)\n", decodedMb);
    std::printf("read into a new buffer %8.0f ms\n", readMs);
    std::printf("first painted viewport %8.0f ms   ratio %.2f (at most 1.2)\n", paintMs, paintMs / readMs);
    std::printf("peak RSS               %8.0f MB   ratio %.2f (at most 1.1); before the load %.0f MB\n", peakMb,
                peakMb / decodedMb, baseMb);
    std::printf("event-loop latency     %8.0f ms   (at most 100)\n", std::max(0.0, longestGapMs - kTickMs));
    return 0;
}
