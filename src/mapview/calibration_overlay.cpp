#include "mapview/calibration_overlay.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace
{

// Magenta on a light halo stands out from the reds, greens and blues of
// maps, light or dark.
const QColor kGridColour(200, 0, 200);
const QColor kGridHalo(255, 255, 255, 170);
const QColor kLabelText(120, 0, 120);
const QColor kLabelBox(255, 255, 255, 210);
const QColor kMarkColour(0, 70, 255);

constexpr int kGridLabelSpacing = 400; // pixels along a line between its labels
constexpr int kLabelMargin = 3;        // pixels between a line and its label
constexpr int kMarkSize = 7;           // half the diamond's diagonal, pixels

void DrawLabel(QPainter& painter, const QRect& exposed, QPointF at, const QString& text)
{
    const QFontMetrics metrics(painter.font());
    const QRectF box(at, QSizeF(metrics.horizontalAdvance(text) + 4, metrics.height()));
    if (!box.toAlignedRect().intersects(exposed))
        return;
    painter.fillRect(box, kLabelBox);
    painter.setPen(kLabelText);
    painter.drawText(box, Qt::AlignCenter, text);
}

} // namespace

void DrawGrid(QPainter& painter, const std::vector<MapGridLine>& lines, QSize mapSize, const QRect& exposed)
{
    painter.save();
    const QPen halo(kGridHalo, 3);
    const QPen core(kGridColour, 1);
    const QFontMetrics metrics(painter.font());
    for (const MapGridLine& line : lines)
    {
        const QLineF segment = line.bVertical ? QLineF(line.position, 0, line.position, mapSize.height())
                                              : QLineF(0, line.position, mapSize.width(), line.position);
        // The line with its labels beside it (right of a meridian, above a parallel).
        const int labelWidth = metrics.horizontalAdvance(line.label) + 4 + kLabelMargin;
        const QRectF band = line.bVertical ? QRectF(line.position - 2, 0, labelWidth + 4, mapSize.height())
                                           : QRectF(0, line.position - kLabelMargin - metrics.height(), mapSize.width(),
                                                    metrics.height() + kLabelMargin + 2);
        if (!band.toAlignedRect().intersects(exposed))
            continue;
        painter.setPen(halo);
        painter.drawLine(segment);
        painter.setPen(core);
        painter.drawLine(segment);
        const int length = line.bVertical ? mapSize.height() : mapSize.width();
        for (int along = kLabelMargin; along < length; along += kGridLabelSpacing)
        {
            const QPointF at = line.bVertical ? QPointF(line.position + kLabelMargin, along)
                                              : QPointF(along, line.position - kLabelMargin - metrics.height());
            DrawLabel(painter, exposed, at, line.label);
        }
    }
    painter.restore();
}

void DrawCheckMark(QPainter& painter, const MapCheckMark& mark)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QPolygonF diamond({mark.predicted + QPointF(0, -kMarkSize), mark.predicted + QPointF(kMarkSize, 0),
                             mark.predicted + QPointF(0, kMarkSize), mark.predicted + QPointF(-kMarkSize, 0)});
    for (const QPen& pen : {QPen(Qt::white, 4), QPen(kMarkColour, 2)})
    {
        painter.setPen(pen);
        painter.drawPolygon(diamond);
        painter.drawEllipse(mark.clicked, 3, 3);
    }
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(mark.clicked, mark.predicted);
    painter.setPen(QPen(kMarkColour, 1, Qt::DashLine));
    painter.drawLine(mark.clicked, mark.predicted);
    painter.restore();
}

QRect CheckMarkBounds(const MapCheckMark& mark)
{
    return QRectF(mark.clicked, mark.predicted).normalized().toAlignedRect().adjusted(-12, -12, 12, 12);
}

void DrawFitMarks(QPainter& painter, const std::vector<MapFitMark>& marks)
{
    if (marks.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const MapFitMark& mark : marks)
    {
        const QColor colour = mark.bWorst ? QColor(0xd0, 0x00, 0x00) : kMarkColour;
        const QString number = QString::number(mark.number);
        const QPointF label = mark.at + QPointF(kMarkSize + 2, -kMarkSize);
        // A light halo under the dark ring and text: seen on light and dark maps.
        for (const QPen& pen : {QPen(Qt::white, mark.bWorst ? 5 : 4), QPen(colour, mark.bWorst ? 3 : 2)})
        {
            painter.setPen(pen);
            painter.drawEllipse(mark.at, kMarkSize, kMarkSize);
        }
        QPainterPath text;
        text.addText(label, painter.font(), number);
        painter.strokePath(text, QPen(Qt::white, 3));
        painter.fillPath(text, colour);
    }
    painter.restore();
}
