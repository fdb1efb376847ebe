// Draws the sample map samples/harbour.bmp: 800 x 600 pixels, 8 bits per
// pixel, a small harbour town on a coast with a 100-pixel grid. Its two
// reference features are the lighthouse on the pier head (column 170, row 430
// from the top) and the church in the town (column 640, row 140).
//
//   cmake --build build/release --target kartora_make_sample
//   build/release/bin/kartora_make_sample samples/harbour.bmp
//
// Everything is drawn without antialiasing in the colours of one small
// palette, so the picture maps onto the 8-bit palette exactly. The file is
// written by the tests' BMP writer rather than by Qt, which would choose 4
// bits for 13 colours.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <cstdio>

#include "platform/bitmap/bmp_decoder.h"
#include "support/bmp_writer.h"

namespace
{

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr QPoint kLighthouse(170, 430);
constexpr QPoint kChurch(640, 140);

const QColor kSea(150, 190, 225);
const QColor kShallows(185, 215, 240);
const QColor kLand(238, 230, 196);
const QColor kBeach(246, 234, 160);
const QColor kForest(150, 200, 130);
const QColor kHouse(200, 160, 150);
const QColor kRoad(255, 255, 255);
const QColor kOutline(90, 90, 90);
const QColor kGrid(120, 120, 160);
const QColor kText(20, 20, 20);
const QColor kLamp(250, 200, 0);
const QColor kWhite(255, 255, 255);
const QColor kPier(130, 120, 110);

// The coastline, from the top edge down to the right edge; land lies right of it.
QPainterPath Land()
{
    QPainterPath land;
    land.moveTo(330, 0);
    land.cubicTo(300, 120, 360, 200, 320, 300);
    land.cubicTo(290, 380, 420, 420, 520, 470);
    land.cubicTo(600, 510, 700, 520, 800, 560);
    land.lineTo(800, 0);
    land.closeSubpath();
    return land;
}

void DrawLighthouse(QPainter& p, QPoint at)
{
    // A yellow and white disc with a black ring and a dot (no red: the
    // program's markers are red and must stand out on it).
    p.setPen(QPen(kText, 1));
    p.setBrush(kWhite);
    p.drawEllipse(at, 9, 9);
    p.setBrush(kLamp);
    p.setPen(Qt::NoPen);
    p.drawPie(QRect(at - QPoint(8, 8), QSize(17, 17)), 0, 90 * 16);
    p.drawPie(QRect(at - QPoint(8, 8), QSize(17, 17)), 180 * 16, 90 * 16);
    p.setBrush(kText);
    p.drawEllipse(at, 2, 2);
}

void DrawChurch(QPainter& p, QPoint at)
{
    // A church: a black ring with a cross standing on it.
    p.setPen(QPen(kText, 2));
    p.setBrush(kWhite);
    p.drawEllipse(at, 7, 7);
    p.setBrush(kText);
    p.drawEllipse(at, 2, 2);
    p.drawLine(at + QPoint(0, -8), at + QPoint(0, -22));
    p.drawLine(at + QPoint(-6, -17), at + QPoint(6, -17));
}

void Label(QPainter& p, QPoint at, const char* text, int size, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(kText);
    p.drawText(at, QString::fromUtf8(text));
}

QImage Draw()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(kSea);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Shallows along the coast, then the beach and the land.
    const QPainterPath land = Land();
    p.setPen(QPen(kShallows, 36));
    p.setBrush(Qt::NoBrush);
    p.drawPath(land);
    p.setPen(QPen(kBeach, 12));
    p.drawPath(land);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kLand);
    p.drawPath(land);

    // The harbour basin, cut into the land, and the two moles.
    p.setBrush(kSea);
    p.drawRect(330, 330, 110, 70);
    p.setPen(Qt::NoPen);
    p.setBrush(kPier);
    p.drawRect(170, 396, 170, 8); // west mole, out to the lighthouse
    p.drawRect(166, 400, 8, 30);  // its head
    p.drawRect(400, 400, 10, 80); // east mole
    p.drawRect(345, 340, 80, 6);  // quay
    DrawLighthouse(p, kLighthouse);

    // Forest on the hill to the north.
    p.setBrush(kForest);
    p.setPen(QPen(kOutline, 1));
    p.drawEllipse(QRect(380, 20, 170, 90));

    // Roads: the coast road and the road into town.
    p.setBrush(Qt::NoBrush);
    for (const auto& [width, colour] : {std::pair{9, kOutline}, std::pair{7, kRoad}})
    {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.drawPolyline(
            QPolygon({QPoint(400, 0), QPoint(395, 150), QPoint(430, 280), QPoint(520, 330), QPoint(800, 380)}));
        p.drawLine(430, 280, 780, 120);
        p.drawLine(600, 60, 640, 260);
    }

    // Houses of the town around the church square.
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kHouse);
    const QRect houses[] = {{560, 90, 30, 20},  {600, 95, 18, 16},  {665, 100, 26, 18}, {700, 130, 30, 22},
                            {660, 170, 24, 20}, {560, 160, 28, 18}, {520, 200, 24, 22}, {700, 200, 36, 20},
                            {740, 160, 24, 26}, {470, 250, 26, 18}, {690, 240, 30, 22}, {560, 240, 20, 16}};
    for (const QRect& house : houses)
        p.drawRect(house);
    DrawChurch(p, kChurch);

    // The grid, every 100 pixels, numbered at the top and left edges.
    p.setPen(QPen(kGrid, 1, Qt::DashLine));
    for (int x = 100; x < kWidth; x += 100)
        p.drawLine(x, 0, x, kHeight - 1);
    for (int y = 100; y < kHeight; y += 100)
        p.drawLine(0, y, kWidth - 1, y);
    for (int x = 100; x < kWidth; x += 100)
        Label(p, QPoint(x + 3, 12), QByteArray::number(x / 100).constData(), 11);
    for (int y = 100; y < kHeight; y += 100)
        Label(p, QPoint(3, y - 3), QByteArray(1, static_cast<char>('A' + y / 100 - 1)).constData(), 11);

    Label(p, QPoint(120, 470), "Lighthouse", 13);
    Label(p, QPoint(612, 80), "Church", 13);
    Label(p, QPoint(340, 322), "Harbour", 13);
    Label(p, QPoint(560, 300), "Kartby", 18, true);
    Label(p, QPoint(60, 260), "Baltic Sea", 18, true);
    Label(p, QPoint(600, 585), "sample map, 1 px = 7.5 m", 11);
    p.end();
    return picture;
}

// An uncompressed bottom-up 8-bit BMP with a 40-byte header, 96 dpi and a
// full 256-entry palette (the unused entries black).
BmpBytes EncodeBmp8(const QImage& indexed)
{
    BmpRecipe recipe{
        .width = indexed.width(), .height = indexed.height(), .bpp = 8, .colorsUsed = 256, .pixelsPerMetre = 3780};
    const QList<QRgb> table = indexed.colorTable();
    for (qsizetype i = 0; i < 256; ++i)
        recipe.palette.push_back(i < table.size() ? table[i] : 0);
    recipe.pixels = PackRows(indexed.width(), indexed.height(), 8,
                             [&indexed](int x, int y) { return std::uint32_t{indexed.constScanLine(y)[x]}; });
    return WriteBmp(recipe);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: kartora_make_sample <file.bmp>\n");
        return 2;
    }
    const QList<QRgb> palette = {kSea.rgb(),   kShallows.rgb(), kLand.rgb(),    kBeach.rgb(), kForest.rgb(),
                                 kHouse.rgb(), kRoad.rgb(),     kOutline.rgb(), kGrid.rgb(),  kText.rgb(),
                                 kLamp.rgb(),  kWhite.rgb(),    kPier.rgb()};
    const QImage map = Draw().convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    const QString path = QString::fromLocal8Bit(argv[1]);
    QFile file(path);
    const BmpBytes bytes = EncodeBmp8(map);
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush())
    {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    // The map must come back as an 8-bit map through the program's own loader.
    const auto loaded = LoadBmpFile(path);
    if (!loaded || loaded->info.bmBitsPixel != 8 || loaded->info.bmWidth != kWidth || loaded->info.bmHeight != kHeight)
    {
        std::fprintf(stderr, "%s does not read back as an 8-bit %d x %d map\n", argv[1], kWidth, kHeight);
        return 1;
    }
    std::printf("%s: %d x %d, 8 bits per pixel; lighthouse at (%d, %d), church at (%d, %d), rows from the top\n",
                argv[1], kWidth, kHeight, kLighthouse.x(), kLighthouse.y(), kChurch.x(), kChurch.y());
    return 0;
}
