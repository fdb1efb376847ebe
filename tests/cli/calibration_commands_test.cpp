// cal check, cal locate and cal pixel on the sample harbour file: the
// wiring of the calibration model, once per command and per refusal.
#include "cli/calibration_commands.h"
#include "cli/commands.h"
#include "cli_test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cli;
using namespace formats;

namespace
{

namespace fs = std::filesystem;

class CalibrationCommands : public CliFolderTest
{
protected:
    CalibrationCommands() : CliFolderTest("kartora-calibration-commands-") {}
    void SetUp() override
    {
        CliFolderTest::SetUp();
        fs::copy_file(KARTORA_SAMPLES_DIR "/harbour.CAL", m_dir / "harbour.CAL");
    }

    CliRun Check(CalCheckOptions options)
    {
        return RunCommand([&](std::ostream& out, std::ostream& err) { return RunCalCheck(options, out, err); });
    }
};

} // namespace

TEST_F(CalibrationCommands, CheckFindsTheMapBesideTheFileAndExitsByItsWorstFinding)
{
    // Only the header counts: a 40-byte info header of an 800 x 600 map.
    std::string header(54, '\0');
    header[0] = 'B', header[1] = 'M', header[14] = 40;
    header[18] = static_cast<char>(800 % 256), header[19] = static_cast<char>(800 / 256);
    header[22] = static_cast<char>(600 % 256), header[23] = static_cast<char>(600 / 256);
    std::ofstream(Path("harbour.bmp"), std::ios::binary) << header;

    CalCheckOptions options;
    options.file = Path("harbour.CAL");
    options.json = true;
    const CliRun sample = Check(options);
    EXPECT_EQ(sample.status, 0) << sample.err;
    const nlohmann::json report = nlohmann::json::parse(sample.out);
    EXPECT_EQ(report["map_size_px"]["width"], 800);
    EXPECT_TRUE(report["findings"].empty());

    // A map four times as wide: the points only 470 of 3200 pixels apart.
    options.size = "3200x600";
    const CliRun wide = Check(options);
    EXPECT_EQ(wide.status, kExitWarnings);
    EXPECT_EQ(nlohmann::json::parse(wide.out)["findings"][0]["code"], "points-close-x");

    options.size.clear();
    options.bmp = Path("harbour.CAL"); // no BMP file
    const CliRun notBmp = Check(options);
    EXPECT_EQ(notBmp.status, 1);
    EXPECT_TRUE(notBmp.out.empty());
    EXPECT_NE(notBmp.err.find("not a readable BMP file"), std::string::npos) << notBmp.err;

    options.bmp.clear();
    options.file = Path("missing.CAL");
    EXPECT_EQ(Check(options).status, 1);
}

TEST_F(CalibrationCommands, LocateAndPixelGiveTheReferencePointsTypedForTheSample)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunCalLocate(Path("harbour.CAL"), "170", "170", DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), 0);
    EXPECT_EQ(out.str(), "10 52.3500 E 54 3.1200 N\n");
    out.str("");
    EXPECT_EQ(RunCalPixel(Path("harbour.CAL"), "10 55.59 E 54 4.29 N", DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), 0);
    EXPECT_EQ(out.str(), "640.00 460.00\n");
    out.str("");
    EXPECT_EQ(RunCalPixel(Path("harbour.CAL"), "10 61 E 54 4.29 N", DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), 1);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(CalibrationCommands, FitWritesTheFittedReferencePointsAndNamesABadLine)
{
    // Four grid crossings of the sample, their positions from its file.
    std::ofstream(Path("points.txt")) << "100\t500\t10 51.8675 E 54 4.4515 N\n"
                                         "700\t500\t10 56.0035 E 54 4.4515 N\n"
                                         "\n"
                                         "300\t300\t10 53.2447 E 54 3.6440 N\n"
                                         "700\t100\t10 56.0035 E 54 2.8375 N\n";
    CalFitOptions options;
    options.points = Path("points.txt");
    options.size = "800x600";
    options.name = "harbour";
    options.output = Path("harbour.CAL");
    options.json = true;
    options.yes = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunCalFit(options, out, err), 0) << err.str();
    const nlohmann::json fit = nlohmann::json::parse(out.str());
    EXPECT_LT(fit["rms_m"].get<double>(), 1.0);
    EXPECT_EQ(fit["points"].size(), 4u);
    CalValues written;
    std::ifstream file(Path("harbour.CAL"), std::ios::binary);
    ReadCalFile(file, written, [](MessageId, const std::string&) { ADD_FAILURE(); });
    EXPECT_EQ(written.m_nPixel[0][0], 80u);
    EXPECT_EQ(written.m_nPixel[1][1], 540u);

    // The same pixel twice: refused naming both lines, nothing written.
    std::ofstream(Path("twice.txt")) << "100\t500\t10 51.8675 E 54 4.4515 N\n100\t500\t10 56 E 54 4 N\n";
    options.points = Path("twice.txt");
    options.output = Path("twice.CAL");
    std::ostringstream err2;
    EXPECT_EQ(RunCalFit(options, out, err2), 1);
    EXPECT_NE(err2.str().find("line 2: the same pixel as line 1"), std::string::npos) << err2.str();
    EXPECT_FALSE(fs::exists(Path("twice.CAL")));
}
