// Scans that are damaged, cut short or declare more than memory holds: each
// refused with its reason, nothing allocated beyond the budget, no crash.
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/bitmap/map_image.h"
#include "support/gif_writer.h"

namespace
{

QByteArray Encoded(const char* format)
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(4 * x, 5 * y, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image)) << format;
    return bytes;
}

void Put(QByteArray& bytes, int offset, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A little-endian TIFF whose header declares `width` x `height` RGB pixels
// in one strip, followed by a few bytes of pixels only.
QByteArray TiffDeclaring(std::uint32_t width, std::uint32_t height)
{
    QByteArray tiff("II*\0", 4);
    tiff.append(QByteArray(4, '\0'));
    Put(tiff, 4, 8, 4); // the first directory right behind the header
    struct Entry
    {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    const Entry entries[] = {
        {256, 4, 1, width}, {257, 4, 1, height}, {258, 3, 1, 8},      {259, 3, 1, 1},  {262, 3, 1, 2},
        {273, 4, 1, 200},   {277, 3, 1, 3},      {278, 4, 1, height}, {279, 4, 1, 64},
    };
    QByteArray dir(2 + 12 * std::size(entries) + 4, '\0');
    Put(dir, 0, std::size(entries), 2);
    int at = 2;
    for (const Entry& e : entries)
    {
        Put(dir, at, e.tag, 2);
        Put(dir, at + 2, e.type, 2);
        Put(dir, at + 4, e.count, 4);
        Put(dir, at + 8, e.value, e.type == 3 ? 2 : 4);
        at += 12;
    }
    tiff.append(dir);
    tiff.append(QByteArray(200 + 64 - tiff.size(), '\x55'));
    return tiff;
}

} // namespace

TEST(MapImage, DamagedScansAreRefusedWithTheirReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::vector<std::uint8_t> noFrames = MakeGif(
        16, 16, {{255, 0, 0}}, [](int, int) { return 0; }, false);
    struct Case
    {
        const char* what;
        QByteArray bytes;
        MapReadError expected;
    };
    const Case cases[] = {
        {"PNG cut in half", Encoded("png").left(Encoded("png").size() / 2), MapReadError::Damaged},
        {"JPEG cut in half", Encoded("jpeg").left(Encoded("jpeg").size() / 2), MapReadError::Damaged},
        {"TIFF cut in half", Encoded("tiff").left(Encoded("tiff").size() / 2), MapReadError::Damaged},
        {"TIFF declaring 100000 x 100000", TiffDeclaring(100000, 100000), MapReadError::TooLarge},
        {"GIF without a frame", QByteArray(reinterpret_cast<const char*>(noFrames.data()), noFrames.size()),
         MapReadError::Damaged},
        {"text", QByteArray("just some text\n"), MapReadError::NotAnImage},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("scan"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        MapReadError error = MapReadError::None;
        EXPECT_FALSE(ReadMapImage(path, &error));
        EXPECT_EQ(error, c.expected) << MapReadErrorText(error);
    }
}
