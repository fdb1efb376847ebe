#include "mapview/bitmap_paint.h"

#include <QPainter>

#include <array>

void DrawBitmapArea(QPainter& painter, const QImage& bitmap, const QRect& area, QImage& scratch)
{
    const QRect part = area & bitmap.rect();
    if (part.isEmpty())
        return;

    if (bitmap.format() != QImage::Format_Indexed8)
    {
        // RGB32 is the raster engine's own format: a straight copy of the rows.
        painter.drawImage(part.topLeft(), bitmap, part);
        return;
    }

    // Qt would convert an indexed source on its own, but through a generic
    // path; a table lookup per pixel into a reused RGB32 buffer is cheaper
    // and keeps the cost bound to the exposed rectangle. The decoder always
    // gives 256 entries; a shorter table (an image from elsewhere) maps the
    // missing indices to black rather than reading past the table's end.
    std::array<QRgb, 256> lut{};
    const QList<QRgb> colours = bitmap.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i)
        lut[static_cast<std::size_t>(i)] = colours[i] | 0xFF000000u;
    for (std::size_t i = static_cast<std::size_t>(colours.size()); i < lut.size(); ++i)
        lut[i] = 0xFF000000u;

    if (scratch.format() != QImage::Format_RGB32 || scratch.width() < part.width() || scratch.height() < part.height())
        scratch = QImage(part.size().expandedTo(scratch.size()), QImage::Format_RGB32);
    if (scratch.isNull())
        return; // out of memory for the buffer: leave the area unpainted

    for (int row = 0; row < part.height(); ++row)
    {
        const uchar* src = bitmap.constScanLine(part.top() + row) + part.left();
        auto* dst = reinterpret_cast<QRgb*>(scratch.scanLine(row));
        for (int col = 0; col < part.width(); ++col)
            dst[col] = lut[src[col]];
    }
    painter.drawImage(part.topLeft(), scratch, QRect(QPoint(0, 0), part.size()));
}
