// Painting the map view: a 1920 x 1080 client area over a 10000 x 10000 map
// at 8 and 24 bits per pixel, through the view's own paint code (the map is
// loaded with WM_MAP_LOAD as the dialog sends it, and the client area is
// rendered into an image, which runs the view's paintEvent).
//
//   view_full/<depth>   the whole client area, at a new scroll position each
//                       time (what a jump of the scroll bar costs)
//   view_pan/<depth>    one step of a diagonal left-drag: the view moves the
//                       pixels already on screen and paints the two strips
//                       that came into view (8 pixels wide here)
//   qt_indexed8_full    for comparison: Qt's own drawImage of the same
//                       Indexed8 viewport, converting by itself
//
// The maps are written once into <temp>/kartora-bench and reused. Each
// benchmark runs 7 repetitions; the medians are what counts.
#include "bench_map_file.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "mapview/kartora_view.h"
#include "platform/user_message.h"
#include "resources/resource.h"
#include "shell/window_messages.h"

namespace
{

constexpr int kSide = bench::kMapSide; // pixels
constexpr QSize kClient(1920, 1080);   // pixels
constexpr int kPanStep = 8;            // pixels per axis and drag step

// A view with the map loaded and a client area of exactly kClient.
struct LoadedView
{
    explicit LoadedView(const std::filesystem::path& file) : view([](CKartoraView*) { return nullptr; })
    {
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view.OnInitialUpdate();
        // The 24-bit map asks whether to go on; answer Yes.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout,
                         []
                         {
                             if (QWidget* box = QApplication::activeModalWidget())
                                 for (QWidget* child : box->findChildren<QWidget*>())
                                     if (child->property("controlId").toInt() == IDC_YES)
                                         QMetaObject::invokeMethod(child, "click");
                         });
        answer.start(20);
        path = QString::fromStdString(file.string());
        PostMessage(&view, WM_MAP_LOAD, reinterpret_cast<WPARAM>(&path), reinterpret_cast<LPARAM>(picked));
        QCoreApplication::sendPostedEvents();
        // Shown (on the offscreen platform), so that sizes take effect at once.
        view.show();
        view.resize(kClient + (view.size() - view.viewport()->size()));
        QCoreApplication::processEvents();
        if (!view.IsBitmapLoaded() || view.viewport()->size() != kClient)
        {
            std::fprintf(stderr, "the view did not load %s at %dx%d\n", file.c_str(), kClient.width(),
                         kClient.height());
            std::exit(1);
        }
    }

    void ScrollTo(QPoint p)
    {
        view.horizontalScrollBar()->setValue(p.x());
        view.verticalScrollBar()->setValue(p.y());
    }

    QString path;
    std::uint32_t picked[4] = {3100, kSide - 2100, 3600, kSide - 2500}; // two markers in view
    CKartoraView view;
};

void ViewFull(benchmark::State& state, const std::filesystem::path& file)
{
    LoadedView loaded(file);
    QImage target(kClient, QImage::Format_RGB32);
    int shift = 0;
    for (auto _ : state)
    {
        loaded.ScrollTo(QPoint(3000 + (shift & 63), 2000 + (shift & 31)));
        ++shift;
        loaded.view.viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void ViewPan(benchmark::State& state, const std::filesystem::path& file)
{
    LoadedView loaded(file);
    QImage target(kClient, QImage::Format_RGB32);
    const QRect client(QPoint(0, 0), kClient);
    // The strips a drag of kPanStep down-right leaves to be painted.
    const QRegion strips = QRegion(client) - QRegion(client.translated(-kPanStep, -kPanStep));
    QPoint at(3000, 2000);
    for (auto _ : state)
    {
        at += QPoint(kPanStep, kPanStep);
        if (at.x() > kSide - 2 * kClient.width())
            at = QPoint(3000, 2000);
        loaded.ScrollTo(at);
        loaded.view.viewport()->render(&target, QPoint(), strips);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void QtIndexed8Full(benchmark::State& state)
{
    QImage map(kSide, kSide, QImage::Format_Indexed8);
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgb(i, 255 - i, i / 2);
    map.setColorTable(table);
    map.fill(7);
    QImage target(kClient, QImage::Format_RGB32);
    int shift = 0;
    for (auto _ : state)
    {
        QPainter painter(&target);
        painter.drawImage(QPoint(0, 0), map, QRect(QPoint(3000 + (shift++ & 63), 2000), kClient));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const auto configure = [](benchmark::internal::Benchmark* b)
    { b->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime(); };
    const auto map8 = bench::PrepareMapFile(8);
    const auto map24 = bench::PrepareMapFile(24);
    configure(benchmark::RegisterBenchmark("view_full/8bpp", ViewFull, map8));
    configure(benchmark::RegisterBenchmark("view_full/24bpp", ViewFull, map24));
    configure(benchmark::RegisterBenchmark("view_pan/8bpp", ViewPan, map8));
    configure(benchmark::RegisterBenchmark("view_pan/24bpp", ViewPan, map24));
    configure(benchmark::RegisterBenchmark("qt_indexed8_full", QtIndexed8Full));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
