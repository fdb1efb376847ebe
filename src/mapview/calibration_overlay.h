#pragma once
// What the map view draws over the map for the calibration's checks: the
// grid of meridians and parallels, and the place a checked point's known
// position has on the map. Positions are in bitmap pixels from the top-left
// corner of the map (the centre of column x is at x + 0.5).

#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

/// One grid line across the whole map.
struct MapGridLine
{
    bool bVertical = true; ///< a meridian (x fixed), else a parallel (y fixed)
    double position = 0.0; ///< x of a meridian, y of a parallel
    QString label;         ///< "10°53' E"
};

/// A checked point: the pixel clicked and where the calibration puts the
/// position the user gave for it.
struct MapCheckMark
{
    QPointF clicked;
    QPointF predicted;
};

/// A point of the fit: the centre of its pixel, its number in the Fit
/// window, and whether its residual is the largest.
struct MapFitMark
{
    QPointF at;
    int number = 0;
    bool bWorst = false;
};

/// Draws `lines` over a map of `mapSize` within `exposed`: a thin magenta
/// line on a light halo (seen on light and dark maps), labelled every
/// kGridLabelSpacing pixels along the line so that every part of the map
/// shows labels.
void DrawGrid(QPainter& painter, const std::vector<MapGridLine>& lines, QSize mapSize, const QRect& exposed);

/// Draws the mark: a dashed line from the click to the predicted place and
/// a diamond there.
void DrawCheckMark(QPainter& painter, const MapCheckMark& mark);

/// Draws each fit point as a ring with its number beside it; the worst
/// point's ring is red and thicker.
void DrawFitMarks(QPainter& painter, const std::vector<MapFitMark>& marks);

/// The rectangle (bitmap pixels) that DrawCheckMark paints.
QRect CheckMarkBounds(const MapCheckMark& mark);
