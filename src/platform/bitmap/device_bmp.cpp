// Palettes by libimagequant, and the BMP files written by the program's one
// BMP writer (formats/bmp_file.h).
#include "platform/bitmap/device_bmp.h"

#include <QDir>
#include <QFileInfo>

#include <libimagequant.h>

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "formats/bmp_file.h"

namespace
{

constexpr std::int32_t kDefaultPixelsPerMetre = 2835; // 72 dpi
// libimagequant's speed: 1 (best palette) to 10 (fastest); 4 is its default.
constexpr int kDefaultSpeed = 4;
constexpr int kFastestSpeed = 10;
constexpr std::int64_t kLargeImagePixels = 4'000'000;

std::nullopt_t Fail(DeviceBmpError* error, DeviceBmpError reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

// The colours of an indexed image's table, 256 entries (missing ones black).
std::array<QRgb, 256> ColourTable(const QImage& image)
{
    std::array<QRgb, 256> table{};
    const QList<QRgb> colours = image.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i)
        table[static_cast<std::size_t>(i)] = colours[i];
    return table;
}

// The part of a map that libimagequant reads, one RGBA row at a time, so that
// the whole map never exists in four bytes per pixel.
struct RowSource
{
    const QImage* image;
    QRect area;
    std::array<QRgb, 256> table;
};

void ReadRow(liq_color out[], int row, int width, void* user)
{
    const auto& source = *static_cast<const RowSource*>(user);
    const uchar* line = source.image->constScanLine(source.area.top() + row);
    if (source.image->format() == QImage::Format_Indexed8)
    {
        line += source.area.left();
        for (int x = 0; x < width; ++x)
        {
            const QRgb c = source.table[line[x]];
            out[x] = {static_cast<unsigned char>(qRed(c)), static_cast<unsigned char>(qGreen(c)),
                      static_cast<unsigned char>(qBlue(c)), 255};
        }
        return;
    }
    line += 3 * qsizetype{source.area.left()};
    for (int x = 0; x < width; ++x, line += 3)
        out[x] = {line[2], line[1], line[0], 255};
}

// A part of the caller's current step: libimagequant's percentages of
// choosing the palette and of mapping the pixels, one after the other.
struct ProgressPart
{
    CMapProgress* progress;
    double begin; // fractions of the caller's step
    double end;
};

int ReportProgress(float percent, void* user)
{
    const auto& part = *static_cast<const ProgressPart*>(user);
    const double fraction = part.begin + (part.end - part.begin) * static_cast<double>(percent) / 100.0;
    return part.progress == nullptr || part.progress->Report(fraction) ? 1 : 0;
}

struct LiqDeleter
{
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};
template <class T> using LiqPtr = std::unique_ptr<T, LiqDeleter>;

// An indexed area that uses at most `colours` entries, with its used entries
// renumbered in order; a null image when it uses more.
QImage KeepColours(const QImage& source, const QRect& area, int colours)
{
    std::array<int, 256> newIndex;
    newIndex.fill(-1);
    const std::array<QRgb, 256> table = ColourTable(source);
    QList<QRgb> used;
    for (int y = area.top(); y <= area.bottom(); ++y)
    {
        const uchar* line = source.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x)
        {
            int& index = newIndex[line[x]];
            if (index >= 0)
                continue;
            if (used.size() == colours)
                return QImage();
            index = static_cast<int>(used.size());
            used.push_back(table[line[x]] | 0xFF000000u);
        }
    }
    QImage out(area.size(), QImage::Format_Indexed8);
    if (out.isNull())
        return out;
    out.setColorTable(used);
    for (int y = 0; y < area.height(); ++y)
    {
        const uchar* src = source.constScanLine(area.top() + y) + area.left();
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < area.width(); ++x)
            dst[x] = static_cast<uchar>(newIndex[src[x]]);
    }
    return out;
}

// The best palette of at most `colours` for the area, and every pixel
// mapped to it.
std::optional<QImage> Quantise(const QImage& source, const QRect& area, int colours, bool bDither,
                               DeviceBmpError* error, CMapProgress* progress)
{
    // Large scans get the fastest palette search: its result differs little
    // there, and the mapping of the pixels takes long enough.
    const bool bLarge = std::int64_t{area.width()} * area.height() > kLargeImagePixels;
    const LiqPtr<liq_attr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), colours) != LIQ_OK ||
        liq_set_speed(attr.get(), bLarge ? kFastestSpeed : kDefaultSpeed) != LIQ_OK)
        return Fail(error, DeviceBmpError::Failed);
    // Choosing the palette takes a third of the time, mapping the pixels the rest.
    ProgressPart choosing{progress, 0.0, 0.3};
    ProgressPart mapping{progress, 0.3, 1.0};
    liq_attr_set_progress_callback(attr.get(), ReportProgress, &choosing);
    RowSource rows{&source, area, ColourTable(source)};
    const LiqPtr<liq_image> image(liq_image_create_custom(attr.get(), ReadRow, &rows, area.width(), area.height(), 0));
    if (!image)
        return Fail(error, DeviceBmpError::Failed);
    liq_result* rawResult = nullptr;
    const liq_error quantised = liq_image_quantize(image.get(), attr.get(), &rawResult);
    const LiqPtr<liq_result> result(rawResult);
    if (quantised != LIQ_OK || !result)
        return Fail(error, quantised == LIQ_ABORTED ? DeviceBmpError::Cancelled : DeviceBmpError::Failed);

    liq_set_dithering_level(result.get(), bDither ? 1.0f : 0.0f);
    liq_result_set_progress_callback(result.get(), ReportProgress, &mapping);
    QImage out(area.size(), QImage::Format_Indexed8);
    if (out.isNull())
        return Fail(error, DeviceBmpError::Failed);
    std::vector<unsigned char*> lines(static_cast<std::size_t>(area.height()));
    for (int y = 0; y < area.height(); ++y)
        lines[static_cast<std::size_t>(y)] = out.scanLine(y);
    const liq_error remapped = liq_write_remapped_image_rows(result.get(), image.get(), lines.data());
    if (remapped != LIQ_OK)
        return Fail(error, remapped == LIQ_ABORTED ? DeviceBmpError::Cancelled : DeviceBmpError::Failed);
    // The palette as the mapping left it.
    const liq_palette* palette = liq_get_palette(result.get());
    QList<QRgb> table;
    for (unsigned i = 0; i < palette->count; ++i)
        table.push_back(qRgb(palette->entries[i].r, palette->entries[i].g, palette->entries[i].b));
    out.setColorTable(table);
    return out;
}

} // namespace

std::optional<QImage> MakeDeviceImage(const QImage& source, const DeviceBmpOptions& options, DeviceBmpError* error,
                                      CMapProgress* progress)
{
    if (error)
        *error = DeviceBmpError::None;
    const QRect area = options.crop.value_or(source.rect());
    const bool bKnownFormat = source.format() == QImage::Format_Indexed8 || source.format() == QImage::Format_BGR888;
    const int bpp = options.bitsPerPixel;
    if (!bKnownFormat || (bpp != 4 && bpp != 8 && bpp != 24) || area.isEmpty() || !source.rect().contains(area))
        return Fail(error, DeviceBmpError::BadOptions);

    QImage out;
    if (bpp == 24)
        out = source.copy(area).convertToFormat(QImage::Format_BGR888);
    else if (source.format() == QImage::Format_Indexed8)
        out = KeepColours(source, area, 1 << bpp);
    if (out.isNull() && bpp != 24)
    {
        std::optional<QImage> quantised = Quantise(source, area, 1 << bpp, options.bDither, error, progress);
        if (!quantised)
            return std::nullopt;
        out = std::move(*quantised);
    }
    if (out.isNull())
        return Fail(error, DeviceBmpError::Failed);
    out.setDotsPerMeterX(source.dotsPerMeterX());
    out.setDotsPerMeterY(source.dotsPerMeterY());
    if (progress)
        progress->Report(1.0);
    return out;
}

std::string EncodeBmp(const QImage& image, int bitsPerPixel)
{
    const bool bIndexed = bitsPerPixel == 4 || bitsPerPixel == 8;
    if (image.isNull() ||
        (bIndexed && (image.format() != QImage::Format_Indexed8 || image.colorCount() > (1 << bitsPerPixel))) ||
        (!bIndexed && (bitsPerPixel != 24 || image.format() != QImage::Format_BGR888)))
        return {};

    const auto bpp = static_cast<std::uint16_t>(bitsPerPixel);
    const int width = image.width();
    const int height = image.height();
    formats::BmpHeader header{.width = width, .height = height, .bpp = bpp};
    if (bIndexed)
    {
        const std::array<QRgb, 256> table = ColourTable(image);
        header.colorsUsed = 1u << bpp;
        for (std::uint32_t i = 0; i < header.colorsUsed; ++i)
            header.palette.push_back(table[i] & 0xFFFFFFu);
    }
    const int dpm = image.dotsPerMeterX();
    header.pixelsPerMetre = dpm > 0 ? dpm : kDefaultPixelsPerMetre;

    const std::uint64_t rowBytes = formats::BmpRowBytes(width, bpp);
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    if (pixelBytes > UINT32_MAX - (std::uint32_t{1} << 16))
        return {};
    const std::vector<std::uint8_t> head = formats::BmpHeaderBytes(header, static_cast<std::uint32_t>(pixelBytes));
    std::string file;
    try
    {
        file.resize(head.size() + pixelBytes);
    }
    catch (const std::bad_alloc&)
    {
        return {};
    }
    std::memcpy(file.data(), head.data(), head.size());
    std::vector<std::uint32_t> values(bIndexed ? static_cast<std::size_t>(width) : 0);
    for (int y = 0; y < height; ++y)
    {
        // Bottom-up: the image's last row is the file's first.
        auto* row = reinterpret_cast<std::uint8_t*>(file.data()) + head.size() +
                    static_cast<std::size_t>(height - 1 - y) * rowBytes;
        const uchar* line = image.constScanLine(y);
        if (bIndexed)
        {
            for (int x = 0; x < width; ++x)
                values[static_cast<std::size_t>(x)] = line[x];
            formats::PackBmpRow(values, bpp, {row, static_cast<std::size_t>(rowBytes)});
        }
        else
        {
            // BGR888 holds a 24-bit row as the file stores it.
            std::memcpy(row, line, 3 * static_cast<std::size_t>(width));
            std::memset(row + 3 * static_cast<std::size_t>(width), 0, rowBytes - 3 * static_cast<std::size_t>(width));
        }
    }
    return file;
}

QString DeviceBmpPathFor(const QString& scanPath)
{
    const QFileInfo scan(scanPath);
    const QDir dir = scan.absoluteDir();
    const QString title = scan.completeBaseName();
    QString candidate = dir.filePath(title + QStringLiteral(".bmp"));
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = dir.filePath(title + QStringLiteral("-%1.bmp").arg(n));
    return candidate;
}
