#pragma once
// Copying the visible part of a map bitmap to the screen, one screen pixel per
// bitmap pixel. Maps reach 20000 x 20000 pixels (400 MB as Indexed8), so a
// paint must cost what the exposed rectangle costs, never what the map costs:
// only the exposed pixels are read, converted and drawn, and nothing is scaled.

#include <QImage>
#include <QRect>

class QPainter;

/// Draws the part `area` of `bitmap` at the same logical position in
/// `painter` (bitmap pixel (x, y) lands on logical point (x, y); the painter's
/// translation does the scrolling). `area` is clipped to the bitmap; pixels
/// outside the bitmap are left as they are.
///
/// Format_Indexed8 bitmaps (through their colour table) and Format_BGR888
/// bitmaps are converted into `scratch`, an RGB32 buffer the caller keeps
/// between paints so that panning does not allocate; other formats are drawn
/// directly. Any other transformation
/// than a translation by whole pixels is not supported.
void DrawBitmapArea(QPainter& painter, const QImage& bitmap, const QRect& area, QImage& scratch);
