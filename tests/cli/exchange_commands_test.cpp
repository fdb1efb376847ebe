// cal export and cal from: the wiring of the exchange library to files,
// questions and exit statuses, once per command and per outcome.
#include "cli/commands.h"
#include "cli/exchange_commands.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cli;
using namespace formats;

namespace
{

namespace fs = std::filesystem;

struct CliRun
{
    int status;
    std::string out;
    std::string err;
};

class ExchangeCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_nLanguage = 1;
        m_dir =
            fs::temp_directory_path() /
            ("kartora-exchange-commands-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        for (const char* name : {"harbour.CAL", "harbour.bmp"})
            fs::copy_file(fs::path(KARTORA_SAMPLES_DIR) / name, m_dir / name);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CliRun Export(CalExportOptions options, const MapPngEncoder& png = {})
    {
        std::ostringstream out, err;
        const int status = RunCalExport(options, png, out, err);
        return {status, out.str(), err.str()};
    }
    CliRun From(CalFromOptions options)
    {
        std::ostringstream out, err;
        const int status = RunCalFrom(options, out, err);
        return {status, out.str(), err.str()};
    }
    std::string Path(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
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
