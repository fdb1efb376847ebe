// cal export and cal from: the wiring of the exchange library to files,
// questions and exit statuses, once per command and per outcome.
#include "cli/commands.h"
#include "cli/exchange_commands.h"
#include "cli_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cli;
using namespace formats;

namespace
{

namespace fs = std::filesystem;

class ExchangeCommands : public CliFolderTest
{
protected:
    ExchangeCommands() : CliFolderTest("kartora-exchange-commands-") {}
    void SetUp() override
    {
        CliFolderTest::SetUp();
        for (const char* name : {"harbour.CAL", "harbour.bmp"})
            fs::copy_file(fs::path(KARTORA_SAMPLES_DIR) / name, m_dir / name);
    }

    CliRun Export(CalExportOptions options, const MapPngEncoder& png = {})
    {
        return RunCommand([&](std::ostream& out, std::ostream& err) { return RunCalExport(options, png, out, err); });
    }
    CliRun From(CalFromOptions options)
    {
        return RunCommand([&](std::ostream& out, std::ostream& err) { return RunCalFrom(options, out, err); });
    }
};

} // namespace

TEST_F(ExchangeCommands, ExportWritesBesideTheMapAndAsksBeforeReplacing)
{
    CalExportOptions options{Path("harbour.CAL"), "worldfile", {}, {}, false};
    const CliRun first = Export(options);
    EXPECT_EQ(first.status, kExitOk) << first.err;
    EXPECT_EQ(first.out, Path("harbour.bpw") + '\n' + Path("harbour.prj") + '\n');

    // The user's existing file stays unless the question is answered Yes.
    std::ofstream(Path("harbour.bpw"), std::ios::binary) << "mine";
    const CliRun again = Export(options);
    EXPECT_EQ(again.status, kExitDeclined);
    EXPECT_NE(again.err.find("harbour.bpw"), std::string::npos) << again.err;
    EXPECT_EQ(fs::file_size(Path("harbour.bpw")), 4u);

    // KMZ needs the map as PNG, which only a build with the Qt layers has.
    options.to = "kmz";
    const CliRun kmz = Export(options);
    EXPECT_EQ(kmz.status, kExitFailed);
    EXPECT_NE(kmz.err.find("KMZ needs the map converted to PNG"), std::string::npos) << kmz.err;
    EXPECT_FALSE(fs::exists(Path("harbour.kmz")));
    const CliRun withPng = Export(options, [](const fs::path&) { return std::optional<std::string>("\x89PNG"); });
    EXPECT_EQ(withPng.status, kExitOk) << withPng.err;
}

TEST_F(ExchangeCommands, FromWritesTheCalFileThroughSavesChecksOrNothing)
{
    ASSERT_EQ(Export({Path("harbour.CAL"), "ozi", {}, {}, false}).status, kExitOk);
    const CliRun from = From({Path("harbour.map"), {}, {}, Path("copy.CAL"), false});
    // The .CAL name differs from the BMP's: Save's question, answered No.
    EXPECT_EQ(from.status, kExitDeclined);
    EXPECT_FALSE(fs::exists(Path("copy.CAL")));
    fs::remove(Path("harbour.CAL"));
    const CliRun same = From({Path("harbour.map"), {}, {}, Path("harbour.CAL"), false});
    EXPECT_EQ(same.status, kExitOk) << same.err;
    CalValues cal;
    std::ostringstream err;
    ASSERT_TRUE(ReadCalFileOrReport(Path("harbour.CAL"), cal, err)) << err.str();
    EXPECT_EQ(cal.m_nPixel[1][0], 640u);
    EXPECT_EQ(cal.m_dMinute[1][0], 55.59); // the sample's church

    // A refused file: its reason, exit 1, nothing written.
    std::ofstream(Path("broken.map"), std::ios::binary) << "OziExplorer Map Data File Version 2.2\r\n";
    const CliRun broken = From({Path("broken.map"), {}, "800x600", Path("broken.CAL"), true});
    EXPECT_EQ(broken.status, kExitFailed);
    EXPECT_NE(broken.err.find("the datum (line 5) is missing"), std::string::npos) << broken.err;
    EXPECT_FALSE(fs::exists(Path("broken.CAL")));
}
