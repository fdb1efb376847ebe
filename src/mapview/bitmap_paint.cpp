#include "mapview/bitmap_paint.h"

#include <QPainter>

#include <array>

namespace
{

// The reused RGB32 buffer, at least `size` large; null when out of memory.
bool PrepareScratch(QImage& scratch, QSize size)
{
    if (scratch.format() != QImage::Format_RGB32 || scratch.width() < size.width() || scratch.height() < size.height())
        scratch = QImage(size.expandedTo(scratch.size()), QImage::Format_RGB32);
    return !scratch.isNull();
}

// One row of `count` indexed pixels through the colour table.
void ConvertIndexed(const uchar* src, QRgb* dst, int count, const std::array<QRgb, 256>& lut)
{
    for (int col = 0; col < count; ++col)
        dst[col] = lut[src[col]];
}

// One row of `count` pixels stored blue, green, red.
void ConvertBgr(const uchar* src, QRgb* dst, int count)
{
    for (int col = 0; col < count; ++col, src += 3)
        dst[col] = 0xFF000000u | (QRgb{src[2]} << 16) | (QRgb{src[1]} << 8) | src[0];
}

} // namespace

void DrawBitmapArea(QPainter& painter, const QImage& bitmap, const QRect& area, QImage& scratch)
{
    const QRect part = area & bitmap.rect();
    if (part.isEmpty())
        return;

    const bool bIndexed = bitmap.format() == QImage::Format_Indexed8;
    if (!bIndexed && bitmap.format() != QImage::Format_BGR888)
    {
        // RGB32 is the raster engine's own format: a straight copy of the rows.
        painter.drawImage(part.topLeft(), bitmap, part);
        return;
    }

    // Qt would convert an indexed or BGR888 source on its own, but through a
    // generic path; a conversion per pixel into a reused RGB32 buffer is
    // cheaper and keeps the cost bound to the exposed rectangle. The decoder
    // always gives 256 entries; a shorter table (an image from elsewhere)
    // maps the missing indices to black rather than reading past the
    // table's end.
    std::array<QRgb, 256> lut{};
    if (bIndexed)
    {
        const QList<QRgb> colours = bitmap.colorTable();
        for (qsizetype i = 0; i < colours.size() && i < 256; ++i)
            lut[static_cast<std::size_t>(i)] = colours[i] | 0xFF000000u;
        for (std::size_t i = static_cast<std::size_t>(colours.size()); i < lut.size(); ++i)
            lut[i] = 0xFF000000u;
    }
    if (!PrepareScratch(scratch, part.size()))
        return; // out of memory for the buffer: leave the area unpainted

    const int bytesPerPixel = bIndexed ? 1 : 3;
    for (int row = 0; row < part.height(); ++row)
    {
        const uchar* src = bitmap.constScanLine(part.top() + row) + qsizetype{part.left()} * bytesPerPixel;
        auto* dst = reinterpret_cast<QRgb*>(scratch.scanLine(row));
        if (bIndexed)
            ConvertIndexed(src, dst, part.width(), lut);
        else
            ConvertBgr(src, dst, part.width());
    }
    painter.drawImage(part.topLeft(), scratch, QRect(QPoint(0, 0), part.size()));
}
