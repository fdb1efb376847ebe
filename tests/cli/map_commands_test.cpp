// map convert and map info through the program's own readers: one case per
// bit depth and one per refusal, each refusal leaving nothing written.
#include "cli/commands.h"
#include "cli/map_commands.h"
#include "cli_test_support.h"
#include "platform/bitmap/bmp_decoder.h"
#include "platform/bitmap/map_file_tools.h"
#include "support/photo_chart.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cli;

namespace
{

namespace fs = std::filesystem;

const MapTools kTools{DescribeMapFile, DeviceBmpOfFile};

class MapCommands : public CliFolderTest
{
protected:
    MapCommands() : CliFolderTest("kartora-map-commands-") {}
    void SetUp() override
    {
        CliFolderTest::SetUp();
        QImage chart(90, 60, QImage::Format_RGB32);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 90; ++x)
            {
                const BmpColour c = PhotoChartColour(x, y, 90, 60);
                chart.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        ASSERT_TRUE(chart.save(QString::fromStdString(Path("scan.png"))));
    }

    CliRun Convert(MapConvertOptions options, const MapTools& tools = kTools)
    {
        return RunCommand([&](std::ostream& out, std::ostream& err)
                          { return RunMapConvert(options, tools, out, err); });
    }
};

} // namespace

TEST_F(MapCommands, ConvertWritesTheDepthAskedForWithAPaletteThatFits)
{
    struct Case
    {
        int bpp;
        bool dither;
        const char* crop;
        QSize size;
    };
    for (const Case& c :
         {Case{8, false, "", {90, 60}}, Case{4, true, "", {90, 60}}, Case{24, false, "10,5,30,20", {30, 20}}})
    {
        SCOPED_TRACE(c.bpp);
        const std::string output = Path("device.bmp");
        const CliRun run = Convert({.input = Path("scan.png"),
                                    .output = output,
                                    .bpp = c.bpp,
                                    .dither = c.dither,
                                    .crop = c.crop,
                                    .yes = true});
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(run.out, output + '\n');
        const auto written = LoadBmpFile(QString::fromStdString(output));
        ASSERT_TRUE(written);
        EXPECT_EQ(written->info.bmBitsPixel, c.bpp);
        EXPECT_EQ(QSize(written->info.bmWidth, written->info.bmHeight), c.size);
        EXPECT_EQ(written->paletteEntries, c.bpp == 24 ? 0 : 1 << c.bpp);
    }
    // The crop's first pixel is the scan's pixel (10, 5), exactly at 24 bits.
    const BmpColour corner = PhotoChartColour(10, 5, 90, 60);
    EXPECT_EQ(LoadBmpFile(QString::fromStdString(Path("device.bmp")))->image.pixel(0, 0) & 0xFFFFFFu,
              qRgb(corner.r, corner.g, corner.b) & 0xFFFFFFu);
}

TEST_F(MapCommands, ConvertRefusesWithAReasonAndWritesNothing)
{
    {
        std::ifstream in(Path("scan.png"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(Path("cut.png"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    std::ofstream(Path("taken.bmp")) << "someone's file";
    struct Case
    {
        const char* what;
        MapConvertOptions options;
        MapTools tools;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"a PNG cut short",
         {.input = Path("cut.png"), .output = Path("out.bmp")},
         kTools,
         kExitFailed,
         "cut.png: the image could not be read: the file is damaged or cut short"},
        {"a crop outside",
         {.input = Path("scan.png"), .output = Path("out.bmp"), .crop = "80,0,20,10"},
         kTools,
         kExitFailed,
         "--crop: the crop does not lie wholly inside the map (90 x 60 pixels)"},
        {"a crop without its size",
         {.input = Path("scan.png"), .output = Path("out.bmp"), .crop = "1,2"},
         kTools,
         kExitFailed,
         "--crop: expected X,Y,W,H"},
        {"the scan itself",
         {.input = Path("scan.png"), .output = Path("scan.png"), .yes = true},
         kTools,
         kExitFailed,
         "scan.png: that is the map itself; it is never overwritten"},
        {"an existing file without --yes",
         {.input = Path("scan.png"), .output = Path("taken.bmp")},
         kTools,
         kExitDeclined,
         "taken.bmp: The File"},
        {"a build without the Qt layers",
         {.input = Path("scan.png"), .output = Path("out.bmp")},
         MapTools{},
         kExitFailed,
         "map images need a kartora-cli built with the Qt layers"},
    };
    const auto scanTime = fs::last_write_time(Path("scan.png"));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const CliRun run = Convert(c.options, c.tools);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(fs::exists(Path("out.bmp")));
    }
    EXPECT_EQ(fs::last_write_time(Path("scan.png")), scanTime);
    std::ifstream taken(Path("taken.bmp"));
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(taken)), {}), "someone's file");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3) << "nothing beside";
}

TEST_F(MapCommands, InfoTellsSizeDepthPaletteAndWhetherTheDeviceReadsIt)
{
    ASSERT_EQ(Convert({.input = Path("scan.png"), .output = Path("device.bmp"), .bpp = 4}).status, kExitOk);
    std::ostringstream out, err;
    EXPECT_EQ(RunMapInfo(Path("device.bmp"), kTools, out, err), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Format: bmp\nMap size (pixels): 90 x 60\nBits per pixel: 4\nPalette entries: 16\n"
                         "Readable by the device: Yes\n");
}
