// The program itself, started as a user starts it, and its sample map.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "platform/bitmap/bmp_decoder.h"

TEST(Program, WithoutADisplayItSaysSoInOneLineAndEndsWithStatus1)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KARTORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(30000)) << "the program waited instead of ending";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError().toStdString(),
              "kartora: no display found; start it under a desktop session or with xvfb-run\n");
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

TEST(Program, WithADisplayItCannotOpenItSaysSoInOneLineAndEndsWithStatus1)
{
    // An X display named but not there, as after the X server has gone.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KARTORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(30000)) << "the program waited instead of ending";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "Qt aborted";
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError().toStdString(),
              "kartora: cannot open the display; start it under a desktop session or with xvfb-run\n");
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

TEST(Program, TheSampleReferenceFilePointsAtTheSampleMapsTwoFeatures)
{
    // The README's walk-through: the map is an 8-bit 800 x 600 BMP, and the
    // pixels in harbour.CAL (y from the bottom row) are the dark centre dots
    // of the lighthouse and the church symbols.
    const auto map = LoadBmpFile(QStringLiteral(KARTORA_SAMPLES_DIR "/harbour.bmp"));
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->info.bmBitsPixel, 8);
    ASSERT_EQ(map->image.size(), QSize(800, 600));

    QFile cal(QStringLiteral(KARTORA_SAMPLES_DIR "/harbour.CAL"));
    ASSERT_TRUE(cal.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(cal.readAll());
    const QRegularExpression point(QStringLiteral("^REFERENCE_POINT: \\((\\d+),(\\d+)\\) ==> "),
                                   QRegularExpression::MultilineOption);
    QList<QPoint> pixels;
    for (auto it = point.globalMatch(text); it.hasNext();)
    {
        const QRegularExpressionMatch m = it.next();
        pixels.push_back({m.captured(1).toInt(), m.captured(2).toInt()});
    }
    ASSERT_EQ(pixels.size(), 2);
    EXPECT_EQ(pixels[0], QPoint(170, 170));
    EXPECT_EQ(pixels[1], QPoint(640, 460));
    for (const QPoint p : pixels)
        EXPECT_EQ(map->image.pixel(p.x(), 600 - p.y()) & 0xFFFFFFu, qRgb(20, 20, 20) & 0xFFFFFFu)
            << p.x() << "," << p.y();
}
