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
#include "platform/bmp_decoder.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kSide = 10000; // pixels

void Put16(std::string& b, unsigned v)
{
    b += static_cast<char>(v & 0xFF), b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, unsigned v)
{
    Put16(b, v & 0xFFFF), Put16(b, v >> 16);
}

// A bottom-up uncompressed map of kSide x kSide at 8 or 24 bits per pixel,
// with varying content (no long constant runs).
std::filesystem::path PrepareMap(int bpp)
{
    const auto dir = std::filesystem::temp_directory_path() / "kartora-bench";
    std::filesystem::create_directories(dir);
    const auto path = dir / ("map" + std::to_string(bpp) + ".bmp");
    const std::uint64_t stride = (std::uint64_t{kSide} * bpp + 31) / 32 * 4;
    const std::uint64_t paletteBytes = bpp == 8 ? 1024 : 0;
    const std::uint64_t fileSize = 54 + paletteBytes + stride * kSide;
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == fileSize)
        return path;

    std::string head = "BM";
    Put32(head, static_cast<unsigned>(fileSize)), Put32(head, 0), Put32(head, 54 + paletteBytes);
    Put32(head, 40), Put32(head, kSide), Put32(head, kSide), Put16(head, 1), Put16(head, bpp);
    Put32(head, 0), Put32(head, static_cast<unsigned>(stride * kSide)), Put32(head, 2835), Put32(head, 2835);
    Put32(head, 0), Put32(head, 0);
    for (unsigned i = 0; i < paletteBytes / 4; ++i)
        Put32(head, (i * 0x010203u) & 0xFFFFFF);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    std::vector<char> row(stride, 0);
    for (int y = 0; y < kSide; ++y)
    {
        for (int x = 0; x < kSide; ++x)
        {
            if (bpp == 8)
            {
                row[x] = static_cast<char>((x * 7 + y * 3 + (x ^ y)) & 0xFF);
            }
            else
            {
                row[3 * x] = static_cast<char>(x), row[3 * x + 1] = static_cast<char>(y);
                row[3 * x + 2] = static_cast<char>(x ^ y);
            }
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

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
        const auto path = PrepareMap(bpp);
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
