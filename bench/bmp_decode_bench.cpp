// Loading a 10000 x 10000 map: our decoder against a plain fread of the same
// file (the floor: the bytes have to come from the page cache somehow) and
// against Qt's BMP reader with its allocation limit lifted. Also the paint of
// a 1920 x 1080 viewport from the in-memory formats a 1-bit map could use.
//
// Two fread figures: "fread" reads into a buffer allocated on every
// iteration, as the decoder's image is new on every load, so both pay for
// first touching fresh memory; "fread_reused_buffer" reads into one buffer
// touched before the loop, the copy from the page cache alone. The decoder
// should stay within 2.5 x of either.
//
// The maps are written once into <temp>/kartora-bench and reused by later
// runs; one fread of each before the measurements makes every figure a warm-
// cache figure. Each benchmark runs 7 repetitions; the ratios printed at the
// end use the medians of wall time.
#include "platform/bitmap/bmp_decoder.h"

#include "bench_map_file.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kSide = bench::kMapSide; // pixels

bool FreadWhole(const std::filesystem::path& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    const bool bOk = std::fread(buffer.get(), 1, size, file) == size;
    std::fclose(file);
    benchmark::DoNotOptimize(buffer.get());
    benchmark::ClobberMemory();
    return bOk;
}

// The same read into one buffer allocated (and faulted in) before the loop:
// the copy from the page cache alone, without the cost of fresh memory.
void FreadReused(benchmark::State& state, const std::filesystem::path& path)
{
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
    std::vector<char> buffer(size);
    for (auto _ : state)
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file || std::fread(buffer.data(), 1, size, file) != size)
            state.SkipWithError("fread failed");
        if (file)
            std::fclose(file);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void Fread(benchmark::State& state, const std::filesystem::path& path)
{
    for (auto _ : state)
        if (!FreadWhole(path))
            state.SkipWithError("fread failed");
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
}

void Decode(benchmark::State& state, const std::filesystem::path& path)
{
    const QString name = QString::fromStdString(path.string());
    for (auto _ : state)
    {
        BmpError error = BmpError::None;
        auto bitmap = LoadBmpFile(name, &error);
        if (!bitmap)
            state.SkipWithError(BmpErrorText(error));
        benchmark::DoNotOptimize(bitmap);
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
}

void QtReader(benchmark::State& state, const std::filesystem::path& path)
{
    const QString name = QString::fromStdString(path.string());
    for (auto _ : state)
    {
        QImageReader reader(name, "bmp");
        reader.setAllocationLimit(0); // no limit; 10^8 pixels stays below its 2^28 cap
        QImage image = reader.read();
        if (image.isNull())
            state.SkipWithError("Qt's reader failed");
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
}

// Paints a 1920 x 1080 window of a kSide x kSide two-colour map held as `format`.
void PaintViewport(benchmark::State& state, QImage::Format format)
{
    QImage mono(kSide, kSide, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < kSide; ++y)
    {
        uchar* line = mono.scanLine(y);
        for (qsizetype i = 0; i < mono.bytesPerLine(); ++i)
            line[i] = static_cast<uchar>(i * 13 + y * 7);
    }
    const QImage map = mono.convertToFormat(format);
    QImage target(1920, 1080, QImage::Format_RGB32);
    int shift = 0;
    for (auto _ : state)
    {
        QPainter painter(&target);
        painter.drawImage(QPoint(0, 0), map, QRect(3000 + (shift++ & 63), 2000, 1920, 1080));
    }
}

// The console output, plus the medians kept for the ratios.
class CRatioReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const std::string& name, const std::string& reference) const
    {
        const auto a = m_medians.find(name), b = m_medians.find(reference);
        if (a != m_medians.end() && b != m_medians.end() && b->second > 0)
            std::printf("%-30s / %-24s = %.2f\n", name.c_str(), reference.c_str(), a->second / b->second);
    }

private:
    std::map<std::string, double> m_medians; // milliseconds
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const auto configure = [](benchmark::internal::Benchmark* b)
    { b->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime(); };
    for (int bpp : {8, 24})
    {
        const auto path = bench::PrepareMapFile(bpp);
        FreadWhole(path); // into the page cache
        const std::string depth = std::to_string(bpp) + "bpp";
        configure(benchmark::RegisterBenchmark(("fread/" + depth).c_str(), Fread, path));
        configure(benchmark::RegisterBenchmark(("fread_reused_buffer/" + depth).c_str(), FreadReused, path));
        configure(benchmark::RegisterBenchmark(("decode/" + depth).c_str(), Decode, path));
        configure(benchmark::RegisterBenchmark(("qt_reader/" + depth).c_str(), QtReader, path));
    }
    configure(benchmark::RegisterBenchmark("paint_1920x1080/indexed8", PaintViewport, QImage::Format_Indexed8));
    configure(benchmark::RegisterBenchmark("paint_1920x1080/mono", PaintViewport, QImage::Format_Mono));
    configure(benchmark::RegisterBenchmark("paint_1920x1080/rgb32", PaintViewport, QImage::Format_RGB32));

    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios of medians (wall time):\n");
    for (const char* depth : {"8bpp", "24bpp"})
    {
        const std::string suffix = std::string("/") + depth;
        reporter.PrintRatio("decode" + suffix, "fread" + suffix);
        reporter.PrintRatio("decode" + suffix, "fread_reused_buffer" + suffix);
        reporter.PrintRatio("qt_reader" + suffix, "fread" + suffix);
        reporter.PrintRatio("decode" + suffix, "qt_reader" + suffix);
    }
    reporter.PrintRatio("paint_1920x1080/mono", "paint_1920x1080/indexed8");
    benchmark::Shutdown();
    return 0;
}
