// The BMP decoder against Qt's own BMP reader (an independent implementation)
// for every format that reader supports, and against hand-computed pixels
// and refusal reasons for the rest. Files are written by the tests' BMP
// writer, never read from elsewhere.
#include "platform/bitmap/bmp_decoder.h"

#include "support/bmp_writer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

namespace
{

using Bytes = BmpBytes;

// clang-format off
std::int32_t Get32(const Bytes& b, std::size_t i)
{ return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | b[i + 3] * 1u << 24; }
void Set32(Bytes& b, std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF; }
// clang-format on

std::vector<QRgb> TestPalette(int count)
{
    std::vector<QRgb> palette{};
    for (int i = 0; i < count; ++i)
        palette.push_back(qRgb(i * 37 % 256, 255 - i, i * 11 % 256));
    return palette;
}

std::optional<DecodedBitmap> Decode(const Bytes& file, BmpError* error = nullptr)
{
    return DecodeBmp(file.data(), file.size(), error);
}

void ExpectColoursOfQt(const Bytes& file, const QImage& ours)
{
    const QImage qt = QImage::fromData(
        QByteArray(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size())), "BMP");
    ASSERT_FALSE(qt.isNull());
    ASSERT_EQ(qt.size(), ours.size());
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x)
            if (qt.pixel(x, y) != ours.pixel(x, y))
            {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): Qt " << std::hex << qt.pixel(x, y) << ", ours "
                              << ours.pixel(x, y);
                return;
            }
}

TEST(BmpDecoder, UncompressedFilesOfEveryDepthShowQtsColoursAndTheFilesRecord)
{
    // clang-format off
    struct Case { std::uint32_t headerSize; std::int32_t height; std::uint16_t bpp; std::uint32_t compression;
                  std::array<std::uint32_t, 3> masks; std::int32_t stride; };
    // Width 13 throughout; strides by hand: 13 px x bpp bits rounded up to 32 bits.
    const Case cases[] = {
        {40, 5, 1, 0, {}, 4},   {12, 5, 1, 0, {}, 4},   {124, -5, 1, 0, {}, 4},
        {40, 5, 4, 0, {}, 8},   {12, 5, 4, 0, {}, 8},   {108, 5, 4, 0, {}, 8},
        {40, 5, 8, 0, {}, 16},  {12, 5, 8, 0, {}, 16},  {124, -5, 8, 0, {}, 16},
        {40, 5, 24, 0, {}, 40}, {12, 5, 24, 0, {}, 40}, {40, -5, 24, 0, {}, 40},
        {40, 5, 32, 0, {}, 52}, {108, -5, 32, 0, {}, 52},
        {40, 5, 32, 3, {0xFF0000, 0xFF00, 0xFF}, 52},
        {124, 5, 32, 3, {0xFF000000, 0xFF0000, 0xFF00}, 52},
        {108, -5, 32, 3, {0xFF, 0xFF00, 0xFF0000}, 52},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "header " << c.headerSize << ", height " << c.height << ", " << c.bpp
                                        << " bpp, compression " << c.compression);
        BmpRecipe recipe{
            .headerSize = c.headerSize, .width = 13, .height = c.height, .bpp = c.bpp, .compression = c.compression};
        recipe.masks = c.masks;
        if (c.bpp <= 8)
            recipe.palette = TestPalette(1 << c.bpp);
        recipe.pixels = PackRows(13, c.height, c.bpp,
                                 [&](int x, int y)
                                 {
                                     const std::uint32_t v =
                                         (x * 2654435761u) ^ (y * 40503u) ^ 0x5A5A5A5Au; // top byte non-zero
                                     return c.bpp <= 8 ? v % (1u << c.bpp) : v;
                                 });
        const Bytes file = WriteBmp(recipe);
        BmpError error = BmpError::NotBmp;
        const auto bitmap = Decode(file, &error);
        ASSERT_TRUE(bitmap) << BmpErrorText(error);
        EXPECT_EQ(error, BmpError::None);
        EXPECT_EQ(bitmap->image.format(), c.bpp <= 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
        const BitmapRecord& bm = bitmap->info;
        EXPECT_EQ(std::tuple(bm.bmType, bm.bmWidth, bm.bmHeight, bm.bmWidthBytes, bm.bmPlanes, bm.bmBitsPixel),
                  std::tuple(0, 13, 5, c.stride, 1, c.bpp));
        ExpectColoursOfQt(file, bitmap->image);
    }
}

TEST(BmpDecoder, SixteenBitAndWideMaskChannelsScaleToTheFullByteRange)
{
    // Expected bytes: round(v x 255 / (2^bits - 1)), by hand.
    // clang-format off
    struct Case { std::uint16_t bpp; std::uint32_t compression; std::array<std::uint32_t, 3> masks;
                  std::uint32_t pixel; QRgb expected; };
    const Case cases[] = {
        {16, 0, {}, 0x7FFF, qRgb(255, 255, 255)}, // 5-5-5, top bit unused
        {16, 0, {}, 0x8000, qRgb(0, 0, 0)},
        {16, 0, {}, 0x4210, qRgb(132, 132, 132)}, // 16 of 31 -> 131.6
        {16, 0, {}, 0x7C00, qRgb(255, 0, 0)},
        {16, 3, {0xF800, 0x07E0, 0x001F}, 0x0400, qRgb(0, 130, 0)},           // 32 of 63 -> 129.5
        {16, 3, {0xF800, 0x07E0, 0x001F}, 0x0801, qRgb(8, 0, 8)},             // 1 of 31 -> 8.2
        {32, 3, {0x3FF00000, 0xFFC00, 0x3FF}, 0x3FF80000, qRgb(255, 128, 0)}, // 512 of 1023 -> 127.6
        {32, 3, {0xF0000000, 0, 0x0F}, 0x8000000F, qRgb(136, 0, 255)},        // no green channel
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::hex << "pixel " << c.pixel);
        BmpRecipe recipe{.width = 2, .height = 1, .bpp = c.bpp, .compression = c.compression, .masks = c.masks};
        recipe.pixels = PackRows(2, 1, c.bpp, [&](int, int) { return c.pixel; });
        const auto bitmap = Decode(WriteBmp(recipe));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->info.bmBitsPixel, c.bpp);
        EXPECT_EQ(bitmap->image.pixel(1, 0), c.expected);
    }
}

// Run-length streams, rows from the bottom in the stream.
const Bytes kRle8Skipping = {3, 1, 0, 3, 2, 3, 4, 0,              // run of three 1s, odd absolute run plus pad byte
                             0, 0,                                // end of line before the row is full
                             0, 2, 2, 1,                          // delta: row 1 untouched, on to column 2 of row 2
                             2, 5, 0, 0,                          // two 5s, end of line
                             8, 6, 0, 1};                         // top row full of 6s, end of bitmap
const Bytes kRle4Skipping = {5, 0x12, 0, 3, 0x34, 0x50,           // 1 2 1 2 1, absolute 3 4 5 (two bytes, no pad)
                             0, 0,    0, 5, 0x67, 0x89, 0xA0, 0,  // row 1: absolute run of 5 in three bytes plus pad
                             0, 2,    0, 1, 3,    0xBC, 0,    1}; // delta one row up, B C B, end of bitmap

TEST(BmpDecoder, RunLengthStreamsDecodeEveryEscape)
{
    // clang-format off
    struct Case { const char* what; std::uint16_t bpp; Bytes stream; std::vector<const char*> rows; };
    // Expected palette indices in hex, top row first, worked out by hand. The
    // first two streams set every pixel and are also checked against Qt (which
    // leaves pixels skipped by deltas and early line ends undefined).
    const Case cases[] = {
        {"RLE8 covering every pixel", 8,
         {3, 1, 0, 5, 2, 3, 4, 5, 6, 0, 0, 0, 0, 3, 7, 8, 9, 0, 5, 10, 0, 0, 8, 11, 0, 1},
         {"bbbbbbbb", "789aaaaa", "11123456"}},
        {"RLE4 covering every pixel", 4, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0x67, 0x89, 0xA0, 0, 3, 0xBC, 0, 1},
         {"6789abcb", "12121345"}},
        {"RLE8 with a delta and an early line end", 8, kRle8Skipping,
         {"66666666", "00550000", "00000000", "11123400"}},
        {"RLE4 with a delta and an early line end", 4, kRle4Skipping, {"00000bcb", "6789a000", "12121345"}},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const int height = static_cast<int>(c.rows.size());
        const Bytes file = WriteBmp({.width = 8,
                                     .height = height,
                                     .bpp = c.bpp,
                                     .compression = c.bpp == 8 ? 1u : 2u,
                                     .colorsUsed = 16,
                                     .palette = TestPalette(16),
                                     .pixels = c.stream});
        const auto bitmap = Decode(file);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->info.bmBitsPixel, c.bpp);
        EXPECT_EQ(bitmap->info.bmWidthBytes, c.bpp); // 8 px: 8 bytes at 8 bpp, 4 at 4 bpp
        EXPECT_EQ(bitmap->image.format(), QImage::Format_Indexed8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(bitmap->image.pixelIndex(x, y), std::stoi(std::string(1, c.rows[y][x]), nullptr, 16))
                    << "pixel (" << x << ", " << y << ")";
        if (&c < cases + 2)
            ExpectColoursOfQt(file, bitmap->image);
    }
}

TEST(BmpDecoder, IndicesBeyondAShortPaletteShowBlack)
{
    // Two palette entries declared; an index of 2 or 255 must still select a
    // defined (black) colour, never memory past the table.
    BmpRecipe recipe{.width = 3, .height = 1, .colorsUsed = 2, .palette = {qRgb(9, 8, 7), qRgb(1, 2, 3)}};
    recipe.pixels = {1, 2, 255, 0};
    auto bitmap = Decode(WriteBmp(recipe));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->image.colorCount(), 256);
    EXPECT_EQ(bitmap->image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(bitmap->image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap->image.pixel(2, 0), qRgb(0, 0, 0));
    // A core header always implies 2^bpp entries; here the pixel offset leaves
    // room for three, so index 3 is black.
    recipe = {
        .headerSize = 12, .width = 4, .height = 1, .bpp = 4, .palette = TestPalette(3), .pixels = {0x23, 0, 0, 0}};
    bitmap = Decode(WriteBmp(recipe));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->image.pixel(0, 0), TestPalette(3)[2]);
    EXPECT_EQ(bitmap->image.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(BmpDecoder, HostileOrDamagedFilesAreRefusedWithTheirReason)
{
    const BmpRecipe base{.width = 4, .height = 3, .palette = TestPalette(4), .pixels = Bytes(12, 1)};
    const Bytes good = WriteBmp(base); // pixel offset 70 (14 + 40 + 16), 82 bytes
    const auto recipe = [&base](const std::function<void(BmpRecipe&)>& change)
    {
        BmpRecipe s = base;
        change(s);
        return WriteBmp(s);
    };
    const auto patched = [&](std::size_t at, std::uint32_t value)
    {
        Bytes b = good;
        Set32(b, at, value);
        return b;
    };
    const auto rle8 = [&](const Bytes& stream)
    { return recipe([&](BmpRecipe& s) { s.compression = 1, s.pixels = stream; }); };
    const auto masked = [&](std::uint16_t bpp, std::array<std::uint32_t, 3> masks)
    { return recipe([&](BmpRecipe& s) { s.bpp = bpp, s.compression = 3, s.masks = masks; }); };
    const Bytes bitfields = masked(16, {0xF800, 0x7E0, 0x1F});
    // clang-format off
    struct Case { const char* what; Bytes file; BmpError expected; };
    const Case cases[] = {
        {"empty", {}, BmpError::NotBmp},
        {"a GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, BmpError::NotBmp},
        {"cut in the info header", Bytes(good.begin(), good.begin() + 30), BmpError::TruncatedHeader},
        {"header size 64", patched(14, 64), BmpError::UnsupportedHeader},
        {"two planes", patched(26, 0x00080002), BmpError::UnsupportedFormat}, // planes 2, 8 bpp
        {"7 bpp", recipe([](BmpRecipe& s) { s.bpp = 7; }), BmpError::UnsupportedFormat},
        {"RLE8 at 4 bpp", recipe([](BmpRecipe& s) { s.bpp = 4, s.compression = 1; }), BmpError::UnsupportedFormat},
        {"embedded JPEG", recipe([](BmpRecipe& s) { s.compression = 4; }), BmpError::UnsupportedFormat},
        {"zero width", recipe([](BmpRecipe& s) { s.width = 0; }), BmpError::BadDimensions},
        {"negative width", recipe([](BmpRecipe& s) { s.width = -4; }), BmpError::BadDimensions},
        {"zero height", recipe([](BmpRecipe& s) { s.height = 0; }), BmpError::BadDimensions},
        {"top-down RLE", recipe([](BmpRecipe& s) { s.height = -3, s.compression = 1; }), BmpError::BadDimensions},
        {"width 65536", recipe([](BmpRecipe& s) { s.width = 65536; }), BmpError::TooLarge},
        {"height -2^31", recipe([](BmpRecipe& s) { s.height = INT32_MIN; }), BmpError::TooLarge},
        {"3 GiB of BGR888", recipe([](BmpRecipe& s) { s.width = s.height = 32768, s.bpp = 24; }), BmpError::TooLarge},
        {"pixel offset past the end", patched(10, 83), BmpError::BadPixelOffset},
        {"pixel offset inside the header", patched(10, 20), BmpError::BadPixelOffset},
        {"claims 300 rows, holds 3", recipe([](BmpRecipe& s) { s.height = 300; }), BmpError::TruncatedPixels},
        {"last byte missing", Bytes(good.begin(), good.end() - 1), BmpError::TruncatedPixels},
        {"mask with a gap", masked(16, {0xF0F0, 0, 0}), BmpError::BadBitfields},
        {"overlapping masks", masked(32, {0xFF00, 0xFFF, 0}), BmpError::BadBitfields},
        {"mask beyond 16 bits", masked(16, {0x1F0000, 0, 0}), BmpError::BadBitfields},
        {"masks cut off", Bytes(bitfields.begin(), bitfields.begin() + 60), BmpError::TruncatedHeader},
        {"RLE run past the right edge", rle8({5, 1, 0, 1}), BmpError::RleOutsideImage},
        {"RLE absolute run past the right edge", rle8({2, 1, 0, 3, 1, 1, 1, 0}), BmpError::RleOutsideImage},
        {"RLE delta above the top", rle8({0, 2, 0, 4}), BmpError::RleOutsideImage},
        {"RLE pixels above the top row", rle8({0, 0, 0, 0, 0, 0, 1, 1}), BmpError::RleOutsideImage},
        {"RLE stream ends in the image", rle8({0, 0}), BmpError::RleTruncated},
        {"RLE absolute run cut off", rle8({0, 4, 1, 2}), BmpError::RleTruncated},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        BmpError error = BmpError::None;
        EXPECT_FALSE(Decode(c.file, &error));
        EXPECT_EQ(error, c.expected) << BmpErrorText(error);
    }
}

TEST(BmpDecoder, AnImageBeyondTheMemoryBudgetIsRefusedBeforeItIsAllocated)
{
    // A 60-byte run-length file declaring 65535 x 32768 pixels made the
    // decoder allocate and clear 2 GiB.
    const Bytes declaredHuge =
        WriteBmp({.width = 65535, .height = 32768, .compression = 1, .palette = TestPalette(1), .pixels = {0, 1}});
    ASSERT_EQ(declaredHuge.size(), 60u);
    // 20000 x 20000 at 24 bits is held as BGR888: 1.2 GB, within 2 GiB. Only
    // its headers are written, so getting past the budget shows as missing pixels.
    const Bytes largeMapHeaders = WriteBmp({.width = 20000, .height = 20000, .bpp = 24});
    constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
    // Image sizes by hand: rows of 1 (indexed) or 3 bytes a pixel, padded to 4 bytes.
    // clang-format off
    struct Case { const char* what; Bytes file; std::uint64_t budget; BmpError expected; };
    const Case cases[] = {
        {"65535 x 32768 RLE8 (2 GiB) on 1 GiB", declaredHuge, kGiB, BmpError::TooLarge},
        {"20000 x 20000 BGR888 (1.2 GB) on 2 GiB", largeMapHeaders, 2 * kGiB, BmpError::TruncatedPixels},
        {"13 x 5 at 8 bpp (80 bytes) on 80", WriteBmp({.width = 13, .height = 5, .pixels = Bytes(80, 0)}), 80, BmpError::None},
        {"13 x 5 at 8 bpp (80 bytes) on 79", WriteBmp({.width = 13, .height = 5, .pixels = Bytes(80, 0)}), 79, BmpError::TooLarge},
        {"10 x 10 at 24 bpp (320 bytes) on 320",
         WriteBmp({.width = 10, .height = 10, .bpp = 24, .pixels = Bytes(320, 0)}), 320, BmpError::None},
        {"10 x 10 at 24 bpp (320 bytes) on 319",
         WriteBmp({.width = 10, .height = 10, .bpp = 24, .pixels = Bytes(320, 0)}), 319, BmpError::TooLarge},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        BmpError error = BmpError::OutOfMemory;
        EXPECT_EQ(DecodeBmp(c.file.data(), c.file.size(), &error, c.budget).has_value(), c.expected == BmpError::None);
        EXPECT_EQ(error, c.expected) << BmpErrorText(error);
    }

#if defined(__linux__)
    // The default: the smaller of 2 GiB and half the memory the kernel reports.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t totalKiB = 0;
    while (meminfo >> key && key != "MemTotal:")
        meminfo.ignore(256, '\n');
    ASSERT_TRUE(meminfo >> totalKiB);
    EXPECT_EQ(DefaultBmpMemoryBudget(), std::min(2 * kGiB, totalKiB * 1024 / 2));
#endif
}

TEST(BmpDecoder, EveryProperPrefixOfAFileIsRefused)
{
    const BmpRecipe recipe{.width = 5, .height = 2, .bpp = 4, .palette = TestPalette(16), .pixels = Bytes(8, 0x12)};
    const Bytes file = WriteBmp(recipe);
    for (std::size_t size = 0; size < file.size(); ++size)
        EXPECT_FALSE(DecodeBmp(Bytes(file.begin(), file.begin() + size).data(), size)) << size << " bytes";
    EXPECT_TRUE(Decode(file));
}

TEST(BmpDecoder, RandomlyCorruptedFilesNeverCrashAndDecodeToTheirRecordsSize)
{
    // Under AddressSanitizer this catches any read or write outside a buffer.
    const std::vector<Bytes> seeds = {
        WriteBmp({.width = 9, .height = 4, .compression = 1, .palette = TestPalette(8), .pixels = kRle8Skipping}),
        WriteBmp({.width = 9, .height = 3, .bpp = 4, .compression = 2, .pixels = kRle4Skipping}),
        WriteBmp({.width = 3,
                  .height = -2,
                  .bpp = 16,
                  .compression = 3,
                  .masks = {0xF800, 0x7E0, 0x1F},
                  .pixels = Bytes(16, 0xAB)})};
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round)
    {
        Bytes file = seeds[round % seeds.size()];
        for (int flips = 1 + random() % 4; flips > 0; --flips)
            file[random() % file.size()] = random() % 256;
        if (round % 7 == 0)
            file.resize(random() % file.size());
        // Keep each round cheap: a corrupted size may claim up to 2 GiB, which the
        // refusal table and the large-map test cover.
        if (file.size() >= 26 && std::abs(std::int64_t{Get32(file, 18)} * Get32(file, 22)) > 1 << 20)
            continue;
        BmpError error = BmpError::None;
        if (const auto bitmap = Decode(file, &error))
        {
            EXPECT_EQ(bitmap->image.width(), bitmap->info.bmWidth);
            EXPECT_EQ(bitmap->image.height(), bitmap->info.bmHeight);
        }
        else
        {
            EXPECT_NE(error, BmpError::None);
        }
    }
}

TEST(BmpDecoder, FilesLoadFromDiskAsFromMemoryAcrossManyReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char* name, const Bytes& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    };
    // 24 bits x 700 px = 2100 bytes a row, 1.26 MB in all: more than one
    // staging block. 8 bits bottom-up: one read per row straight into the image.
    for (const auto& [height, bpp] : {std::pair{600, 24}, std::pair{-600, 24}, std::pair{600, 8}})
    {
        SCOPED_TRACE(testing::Message() << height << " rows at " << bpp << " bpp");
        BmpRecipe recipe{.width = 700, .height = height, .bpp = static_cast<std::uint16_t>(bpp)};
        if (bpp == 8)
            recipe.palette = TestPalette(256);
        recipe.pixels = PackRows(700, height, recipe.bpp, [](int x, int y) { return x * 131u + y * 977u; });
        const Bytes bytes = WriteBmp(recipe);
        BmpError error = BmpError::NotBmp;
        const auto bitmap = LoadBmpFile(write("map.bmp", bytes), &error);
        ASSERT_TRUE(bitmap) << BmpErrorText(error);
        EXPECT_EQ(bitmap->info.bmBitsPixel, bpp);
        ExpectColoursOfQt(bytes, bitmap->image);

        LoadBmpFile(write("cut.bmp", Bytes(bytes.begin(), bytes.end() - 1)), &error);
        EXPECT_EQ(error, BmpError::TruncatedPixels);
    }
    BmpError error = BmpError::None;
    EXPECT_FALSE(LoadBmpFile(dir.filePath(QStringLiteral("missing.bmp")), &error));
    EXPECT_EQ(error, BmpError::OpenFailed);
}

TEST(BmpDecoder, ATwentyThousandPixelSquareRunLengthMapLoadsIndexed)
{
    // 40 kB on disk, 400 MB in memory: beyond both of Qt's reader limits.
    constexpr int kSide = 20000;
    Bytes stream;
    for (int row = 0; row < kSide; ++row)
    {
        if (row == 0 || row == kSide - 1)
        {
            for (int x = 0; x < kSide; x += 250)
                stream.insert(stream.end(), {250, std::uint8_t(row == 0 ? 1 : 2)});
        }
        else if (row == 10000)
        {
            stream.insert(stream.end(), {0, 2, 255, 0, 1, 3}); // delta to column 255, one pixel
        }
        stream.insert(stream.end(), {0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    const auto bitmap = Decode(
        WriteBmp({.width = kSide, .height = kSide, .compression = 1, .palette = TestPalette(4), .pixels = stream}));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(bitmap->image.sizeInBytes(), qsizetype{400'000'000});
    EXPECT_EQ(bitmap->info.bmWidthBytes, kSide);
    EXPECT_EQ(bitmap->image.pixelIndex(0, kSide - 1), 1); // bottom row
    EXPECT_EQ(bitmap->image.pixelIndex(kSide - 1, 0), 2); // top row
    EXPECT_EQ(bitmap->image.pixelIndex(255, kSide - 1 - 10000), 3);
    EXPECT_EQ(bitmap->image.pixelIndex(254, kSide - 1 - 10000), 0);
    EXPECT_EQ(bitmap->image.pixelIndex(7777, 5000), 0);
}

} // namespace
