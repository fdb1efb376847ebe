// kartora-cli's commands driven through their library entry points, with
// figures from GeographicLib, PROJ (cs2cs) and hand computation.

#include "cli/commands.h"
#include "cli/point_text.h"
#include "cli_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

using namespace cli;
using namespace conversion;

namespace
{

namespace fs = std::filesystem;

CliRun Convert(std::int32_t datum, std::int32_t format, std::int32_t toDatum, std::int32_t toFormat,
               std::vector<std::string> points, const std::string& input = "")
{
    ConvertOptions options;
    options.datum = datum;
    options.format = format;
    options.toDatum = toDatum;
    options.toFormat = toFormat;
    options.points = std::move(points);
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunConvert(options, in, out, err);
    return {status, out.str(), err.str()};
}

class CliTest : public CliFolderTest
{
protected:
    CliTest() : CliFolderTest("kartora-cli-test-") {}

    static std::string ReadBytes(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    CalWriteOptions HarbourOptions() const
    {
        CalWriteOptions options;
        options.mapName = "harbour";
        options.bmpFileName = "harbour.bmp";
        options.pixel1 = "120,840";
        options.pixel2 = "1530,95";
        options.format = FORMAT_DEC_DEGREE;
        options.point1 = "12.4687 E 47.8595 N";
        options.point2 = "12.575 E 47.8002 N";
        options.heightDiff = "12.5";
        options.output = Path("harbour.CAL");
        return options;
    }
};

TEST(CliSyntax, FormatAndDatumNamesInAnyCase)
{
    EXPECT_EQ(ParseFormatName("DMS"), FORMAT_DEC_SECOND);
    EXPECT_EQ(ParseFormatName("dec.Minute"), FORMAT_DEC_MINUTE);
    EXPECT_EQ(ParseFormatName("utm"), FORMAT_UTM);
    EXPECT_FALSE(ParseFormatName("dd").has_value());
    EXPECT_EQ(ParseDatumName("potsdam"), DATUM_POTSDAM);
    EXPECT_EQ(ParseDatumName("EUROPEAN"), DATUM_EUROPEAN);
    EXPECT_FALSE(ParseDatumName("ED50").has_value());
}

TEST(CliSyntax, EachNumberIsCheckedLikeItsDialogField)
{
    g_nLanguage = 1;
    struct Row
    {
        std::int32_t format;
        const char* text;
        const char* error; // nullptr: accepted
    };
    const Row rows[] = {
        {FORMAT_DEC_MINUTE, "10 30 E 53 15 N", nullptr},
        {FORMAT_DEC_MINUTE, "10 30 o 53 15 s", nullptr},
        {FORMAT_DEC_MINUTE, "10 61 E 53 15 N", "longitude minutes: Value too large!"},
        {FORMAT_DEC_MINUTE, "181 0 E 53 15 N", "longitude degrees: Value too large!"},
        {FORMAT_DEC_MINUTE, "-5 0 E 53 15 N", "longitude degrees: Forbidden characters!"},
        {FORMAT_DEC_MINUTE, "10 -1 E 53 15 N", "longitude minutes: Value too small!"},
        {FORMAT_DEC_MINUTE, "10 30,5 E 53 15 N", "longitude minutes: Forbidden characters!"},
        {FORMAT_DEC_DEGREE, "10.5 E 90.000001 N", "latitude: Value too large!"},
        {FORMAT_DEC_SECOND, "10 30 60 E 53 61 0 N", "latitude minutes: Value too large!"},
        {FORMAT_UTM, "61 N 500000 5900000", "zone: Value too large!"},
        {FORMAT_UTM, "32 N 900001 5900000", "easting: Value too large!"},
        {FORMAT_UTM, "32 N 500000 10000000", nullptr},
        // Faults pinned: the whole angle beyond 180 or 90 degrees was taken (written as 181 degrees),
        // and a field of 64 characters was read as its first 63.
        {FORMAT_DEC_MINUTE, "180 60 E 90 60 N", "longitude minutes: Value too large!"},
        {FORMAT_DEC_SECOND, "0 0 0 E 90 0 0.01 N", "latitude seconds: Value too large!"},
        {FORMAT_UTM, "32 N 500000 0000000000000000000000000000000000000000000000000000000000005900000",
         "northing: The String is too long!"},
    };
    for (const Row& row : rows)
    {
        EntryValues values;
        const auto error = ParsePoint(row.format, row.text, values, 0);
        if (row.error)
            EXPECT_EQ(error.value_or("accepted"), row.error) << row.text;
        else
            EXPECT_FALSE(error.has_value()) << row.text << ": " << error.value_or("");
    }
    EntryValues values;
    EXPECT_NE(ParsePoint(FORMAT_DEC_MINUTE, "10 30 N 53 15 E", values, 0)->find("hemisphere"), std::string::npos);
    EXPECT_NE(ParsePoint(FORMAT_DEC_MINUTE, "10 30 E 53 N", values, 0)->find("expected"), std::string::npos);
}

TEST(CliConvert, KnownFiguresInEveryFormat)
{
    // 10° 30' E, 53° 15' N on WGS84; UTM from GeographicLib's GeoConvert:
    // 32n 600079.886 5901131.334, cut to whole metres.
    const std::string point = "10 30 E 53 15 N";
    EXPECT_EQ(Convert(0, 1, 0, 0, {point}).out, "10.500000 E 53.250000 N\n");
    EXPECT_EQ(Convert(0, 1, 0, 2, {point}).out, "10 30 0.00 E 53 15 0.00 N\n");
    EXPECT_EQ(Convert(0, 1, 0, 3, {point}).out, "32 N 600079 5901131\n");
    // Potsdam 10.5° E 53.25° N is 10.498633121° E 53.248509835° N on WGS84 (PROJ cs2cs, +towgs84=587,16,393).
    EXPECT_EQ(Convert(2, 0, 0, 0, {"10.5 E 53.25 N"}).out, "10.498630 E 53.248510 N\n");
    // 80° 30' S, 7° 7.4075' W is 29s 534570.859 1062047.300 (GeoConvert in zone 29).
    EXPECT_EQ(Convert(0, 1, 0, 3, {"7 7.4075 W 80 30 S"}).out, "29 S 534570 1062047\n");
}

TEST(CliConvert, RoundTripThroughEveryFormatAndDatum)
{
    // A position survives any detour: exactly through the degree formats,
    // within one 0.0005' step through UTM, whose values are cut (not
    // rounded) to whole metres: up to 1 m, about 0.0005' of latitude.
    const std::string start = "12 34.5000 E 47 48.0100 N";
    EntryValues expected;
    ASSERT_FALSE(ParsePoint(FORMAT_DEC_MINUTE, start, expected, 0).has_value());
    for (std::int32_t datum = 0; datum < kDatumCount; ++datum)
    {
        for (std::int32_t format = 0; format < kFormatCount; ++format)
        {
            SCOPED_TRACE(testing::Message() << g_datumNames[datum] << " " << g_formatNames[format]);
            const CliRun there = Convert(0, 1, datum, format, {start});
            ASSERT_EQ(there.status, kExitOk) << there.err;
            const CliRun back = Convert(datum, format, 0, 1, {there.out});
            ASSERT_EQ(back.status, kExitOk) << back.err;
            if (format != FORMAT_UTM)
            {
                EXPECT_EQ(back.out, start + "\n");
                continue;
            }
            EntryValues got;
            ASSERT_FALSE(ParsePoint(FORMAT_DEC_MINUTE, back.out, got, 0).has_value());
            for (int axis = 0; axis < 2; ++axis)
            {
                EXPECT_EQ(got.m_nDegree[0][axis], expected.m_nDegree[0][axis]);
                EXPECT_NEAR(got.m_dMinute[0][axis], expected.m_dMinute[0][axis], 0.00051); // minutes
            }
        }
    }
}

TEST(CliConvert, InvalidPointsAreReportedAndSetTheStatus)
{
    g_nLanguage = 1;
    const CliRun run = Convert(0, 1, 0, 0, {}, "10 30 E 53 15 N\n\n10 61 E 53 15 N\n");
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.out, "10.500000 E 53.250000 N\n");
    EXPECT_EQ(run.err, "kartora-cli: 10 61 E 53 15 N: longitude minutes: Value too large!\n");

    g_nLanguage = 0;
    EXPECT_EQ(Convert(0, 1, 0, 0, {"10 61 E 53 15 N"}).err,
              "kartora-cli: 10 61 E 53 15 N: Länge Minuten: Wert zu groß!\n");
    // Fault pinned: the program's own texts stayed English with --lang de.
    EXPECT_EQ(Convert(0, 1, 0, 0, {"10 E"}).err,
              "kartora-cli: 10 E: erwartet G M E|W G M N|S (Grad, Minuten), z. B. 10 30 E 53 15 N\n");
}

TEST_F(CliTest, CalWriteProducesTheTenLinesAndReadGivesThemBack)
{
    std::ostringstream out, err;
    ASSERT_EQ(RunCalWrite(HarbourOptions(), out, err), kExitOk) << err.str();
    EXPECT_EQ(err.str(), "");

    const std::string bytes = ReadBytes(Path("harbour.CAL"));
    const std::size_t dateStart = bytes.find("DATE:");
    const std::size_t dateEnd = bytes.find("\r\n", dateStart);
    ASSERT_NE(dateEnd, std::string::npos);
    // 12.4687° is 12° 28.1220', 47.8595° is 47° 51.5700' (by hand); the degree sign is the byte 0xB0.
    EXPECT_EQ(bytes.substr(0, dateStart) + bytes.substr(dateEnd + 2), "TYPE:       RASTERMAP\r\n"
                                                                      "NAME:       harbour\r\n"
                                                                      "VISIBLE:    YES\r\n"
                                                                      "REFERENCE_POINT: (120,840) ==> (12\xB0"
                                                                      "28.1220'O,47\xB0"
                                                                      "51.5700'N)\r\n"
                                                                      "REFERENCE_POINT: (1530,95) ==> (12\xB0"
                                                                      "34.5000'O,47\xB0"
                                                                      "48.0120'N)\r\n"
                                                                      "HEIGHTDIFF:      12.5\r\n"
                                                                      "PROJECTION:      UTM\r\n"
                                                                      "ELLIPSOID:       WGS84\r\n"
                                                                      "FILENAME:        harbour.bmp\r\n");

    std::ostringstream readOut, readErr;
    ASSERT_EQ(RunCalRead(Path("harbour.CAL"), DATUM_WGS84, FORMAT_DEC_DEGREE, readOut, readErr), kExitOk);
    EXPECT_EQ(readErr.str(), "");
    EXPECT_EQ(readOut.str(), "NAME: harbour\n"
                             "FILENAME: harbour.bmp\n"
                             "POINT1: 120 840 12.468700 E 47.859500 N\n"
                             "POINT2: 1530 95 12.575000 E 47.800200 N\n"
                             "HEIGHTDIFF: 12.50\n");
}

TEST_F(CliTest, CalWriteTakesPotsdamPointsAsWgs84)
{
    CalWriteOptions options = HarbourOptions();
    options.datum = DATUM_POTSDAM;
    options.point1 = "10.5 E 53.25 N";
    options.point2 = "10.6 E 53.2 N";
    options.pixel1 = "10,900";
    options.pixel2 = "900,10";
    std::ostringstream out, err;
    ASSERT_EQ(RunCalWrite(options, out, err), kExitOk) << err.str();
    // PROJ: Potsdam 10.5 E 53.25 N is 10.498633121 E 53.248509835 N on WGS84,
    // 10° 29.9180' and 53° 14.9105' after the five-decimal rounding.
    EXPECT_NE(ReadBytes(options.output)
                  .find("REFERENCE_POINT: (10,900) ==> (10\xB0"
                        "29.9180'O,53\xB0"
                        "14.9105'N)\r\n"),
              std::string::npos);
}

TEST_F(CliTest, CalWriteAsksSavesQuestionsInOrderAndNoWritesNothing)
{
    g_nLanguage = 1;
    // map name and BMP base name differ
    CalWriteOptions options = HarbourOptions();
    options.mapName = "Harbour";
    std::ostringstream out, err;
    EXPECT_EQ(RunCalWrite(options, out, err), kExitDeclined);
    EXPECT_EQ(err.str(), "kartora-cli: --name: File and map should have the same name! Continue? No\n");
    EXPECT_FALSE(fs::exists(options.output));

    // the pixel relation fails before any file question
    options = HarbourOptions();
    options.pixel2 = "120,95";
    err.str("");
    EXPECT_EQ(RunCalWrite(options, out, err), kExitFailed);
    EXPECT_EQ(err.str(), "kartora-cli: --pixel1, --pixel2: Pixel and Coordinates in wrong Relation!\n");

    // an existing file is asked about by its name only, and kept on No
    options = HarbourOptions();
    WriteBytes(options.output, "old contents");
    err.str("");
    EXPECT_EQ(RunCalWrite(options, out, err), kExitDeclined);
    EXPECT_EQ(err.str(), "kartora-cli: " + options.output + ": The File harbour.CAL already exists! Continue? No\n");
    EXPECT_EQ(ReadBytes(options.output), "old contents");

    // the .CAL name differs from the BMP base name; --yes answers every question
    options = HarbourOptions();
    options.output = Path("other.cal");
    err.str("");
    EXPECT_EQ(RunCalWrite(options, out, err), kExitDeclined);
    EXPECT_EQ(err.str(),
              "kartora-cli: " + options.output + ": CAL-File and BMP-File should have the same name! Continue? No\n");
    options.yes = true;
    err.str("");
    EXPECT_EQ(RunCalWrite(options, out, err), kExitOk);
    EXPECT_TRUE(fs::exists(options.output));

    options = HarbourOptions();
    options.yes = true;
    EXPECT_EQ(RunCalWrite(options, out, err), kExitOk);
    EXPECT_EQ(ReadBytes(options.output).substr(0, 9), "TYPE:    ");
}

TEST_F(CliTest, CalReadReportsTheReadersMessagesAndMissingFiles)
{
    // Fault pinned: after the reader's messages the values were printed anyway, with exit status 0.
    WriteBytes(Path("short.CAL"), "NAME: x\nname: y\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCalRead(Path("short.CAL"), 0, 1, out, err), kExitFailed);
    const std::string subject = "kartora-cli: " + Path("short.CAL") + ": ";
    EXPECT_EQ(err.str(),
              subject + "No Keyword found in <name: y>! Line ignored!\n" + subject + "Too less Keywords found!\n");
    EXPECT_EQ(out.str(), "");

    EXPECT_EQ(RunCalRead(Path("missing.CAL"), 0, 1, out, err), kExitFailed);
    // A directory opens as a stream on Linux and reads as an empty file.
    err.str("");
    EXPECT_EQ(RunCalRead(m_dir.string(), 0, 1, out, err), kExitFailed);
    EXPECT_EQ(RunImport(m_dir.string(), 0, 1, out, err), kExitFailed);
    EXPECT_EQ(err.str(), "kartora-cli: " + m_dir.string() + ": cannot open the file: Is a directory\n" +
                             "kartora-cli: " + m_dir.string() + ": cannot open the file: Is a directory\n");
}

TEST_F(CliTest, ImportTakesBothLinesInTheDatumOrRefuses)
{
    WriteBytes(Path("harbour.TXT"), "47.8595,12.4687\r\n47.8002,-12.5750 name\r\n");
    std::ostringstream out, err;
    ASSERT_EQ(RunImport(Path("harbour.TXT"), DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), kExitOk);
    EXPECT_EQ(out.str(), "POINT1: 12 28.1220 E 47 51.5700 N\n"
                         "POINT2: 12 34.5000 W 47 48.0120 N\n");

    WriteBytes(Path("one.TXT"), "47.8595,12.4687\n");
    out.str("");
    EXPECT_EQ(RunImport(Path("one.TXT"), DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), kExitFailed);
    EXPECT_EQ(out.str(), "");
}

// A result stream on a full disk: every write fails with ENOSPC.
class FullDisk : public std::streambuf
{
public:
    int m_nWrites = 0;

protected:
    int_type overflow(int_type) override
    {
        ++m_nWrites;
        errno = ENOSPC;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override
    {
        ++m_nWrites;
        errno = ENOSPC;
        return 0;
    }
};

TEST_F(CliTest, EveryCommandStopsAtTheFirstResultItCannotWriteAndSaysSo)
{
    // Fault pinned: results written to a full disk or a closed pipe were lost with exit status 0, and convert
    // went on converting every line.
    ASSERT_EQ(RunCalWrite(HarbourOptions(), std::cout, std::cerr), kExitOk);
    WriteBytes(Path("harbour.TXT"), "47.8595,12.4687\n47.8002,-12.5750\n");
    CalWriteOptions again = HarbourOptions();
    again.yes = true;
    const std::function<int(std::ostream&, std::ostream&)> commands[] = {
        [](std::ostream& out, std::ostream& err)
        {
            std::istringstream in("10 30 E 53 15 N\n10 31 E 53 15 N\n");
            return RunConvert(ConvertOptions{}, in, out, err);
        },
        [this](std::ostream& out, std::ostream& err) { return RunCalRead(Path("harbour.CAL"), 0, 1, out, err); },
        [this](std::ostream& out, std::ostream& err) { return RunImport(Path("harbour.TXT"), 0, 1, out, err); },
        [&again](std::ostream& out, std::ostream& err) { return RunCalWrite(again, out, err); },
    };
    for (const auto& command : commands)
    {
        FullDisk disk;
        std::ostream out(&disk);
        std::ostringstream err;
        EXPECT_EQ(command(out, err), kExitFailed);
        EXPECT_EQ(disk.m_nWrites, 1);
        EXPECT_TRUE(err.str().ends_with("kartora-cli: standard output: cannot write: No space left on device\n"))
            << err.str();
    }
}

TEST_F(CliTest, CalReadOfAFileItCannotTakeAsItIsPrintsNoValuesAndFails)
{
    // Faults pinned: an empty, binary, UTF-16 or CR-only file, a read error and a point the format cannot
    // express each printed made-up values with exit status 0; minutes reading as infinity printed 0 0.0000 E
    // without a message.
    ASSERT_EQ(RunCalWrite(HarbourOptions(), std::cout, std::cerr), kExitOk);
    const std::string harbour = ReadBytes(Path("harbour.CAL"));
    auto replaced = [&harbour](const std::string& from, const std::string& to)
    {
        std::string bytes = harbour;
        return bytes.replace(bytes.find(from), from.size(), to);
    };
    struct Row
    {
        const char* name;
        std::string bytes;
        std::int32_t format;
        const char* error; // the last message
    };
    const Row rows[] = {
        {"empty.CAL", "", FORMAT_DEC_MINUTE, "Too less Keywords found!"},
        {"binary.CAL", std::string("\x89PNG\r\n\x1A\n\0\0", 10), FORMAT_DEC_MINUTE, "Too less Keywords found!"},
        {"utf16.CAL", std::string("T\0Y\0P\0E\0:\0\n\0", 12), FORMAT_DEC_MINUTE, "Too less Keywords found!"},
        {"cr-only.CAL", "TYPE:\rNAME: x\r", FORMAT_DEC_MINUTE, "Too less Keywords found!"},
        {"polar.CAL",
         replaced("47\xB0"
                  "51.5700'N",
                  "85\xB0"
                  "0.0000'N"),
         FORMAT_UTM, "cannot be expressed in the output format and datum"},
        {"infinite.CAL", replaced("28.1220'O", "1e309'O"), FORMAT_DEC_MINUTE, "POINT1: longitude: Value too large!"},
    };
    for (const Row& row : rows)
    {
        WriteBytes(Path(row.name), row.bytes);
        std::ostringstream out, err;
        EXPECT_EQ(RunCalRead(Path(row.name), DATUM_WGS84, row.format, out, err), kExitFailed) << row.name;
        EXPECT_EQ(out.str(), "") << row.name;
        EXPECT_TRUE(err.str().ends_with("kartora-cli: " + Path(row.name) + ": " + row.error + "\n")) << err.str();
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCalRead("/proc/self/mem", DATUM_WGS84, FORMAT_DEC_MINUTE, out, err), kExitFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "kartora-cli: /proc/self/mem: cannot read: Input/output error\n");
}

TEST_F(CliTest, ImportTakesOnlyTwoNumbersPerLineWithinTheirRanges)
{
    // Faults pinned: a byte-order mark made the first latitude 0; a header line or UTF-16 gave 0/0; 95,200 was
    // printed as 200 E 95 N; 1000,1000 printed an error and then values; all with exit status 0.
    struct Row
    {
        std::string text;
        const char* error; // nullptr: imported
    };
    const Row rows[] = {
        {"\xEF\xBB\xBF"
         "47.8595,12.4687\n47.8002,-12.5750\n",
         nullptr},
        {"lat,lon\n47.8595,12.4687\n", "line 1: not two numbers \"latitude,longitude\""},
        {std::string("4\0"
                     "7\0"
                     ",\0"
                     "1\0"
                     "2\0"
                     "\n\0",
                     12),
         "line 1: not two numbers \"latitude,longitude\""},
        {"95,200\n1,1\n", "line 1: latitude: Value too large!"},
        {"1,1\n1000,1000\n", "line 2: latitude: Value too large!"},
        {"1,1\n45,-180.5\n", "line 2: longitude: Value too large!"},
    };
    for (const Row& row : rows)
    {
        WriteBytes(Path("export.TXT"), row.text);
        std::ostringstream out, err;
        const int status = RunImport(Path("export.TXT"), DATUM_WGS84, FORMAT_DEC_MINUTE, out, err);
        if (row.error == nullptr)
        {
            EXPECT_EQ(status, kExitOk) << err.str();
            EXPECT_EQ(out.str(), "POINT1: 12 28.1220 E 47 51.5700 N\nPOINT2: 12 34.5000 W 47 48.0120 N\n");
            continue;
        }
        EXPECT_EQ(status, kExitFailed) << row.error;
        EXPECT_EQ(out.str(), "") << row.error;
        EXPECT_EQ(err.str(), "kartora-cli: " + Path("export.TXT") + ": " + row.error + "\n");
    }
}

TEST_F(CliTest, ConvertNamesUnreadableInputAndOverlongLinesAndShowsInputEscaped)
{
    // Faults pinned: a read error of standard input ended convert silently with status 0; a 100 MB line took
    // over 1 GB and was echoed whole; control characters of the input reached the terminal.
    std::ifstream directory(m_dir); // opens on Linux; every read fails
    std::ostringstream out, err;
    EXPECT_EQ(RunConvert(ConvertOptions{}, directory, out, err), kExitFailed);
    EXPECT_EQ(err.str(), "kartora-cli: standard input: cannot read: Is a directory\n");

    const CliRun longLine = Convert(0, 1, 0, 1, {}, std::string(5000, '1') + "\n10 30 E 53 15 N\n");
    EXPECT_EQ(longLine.status, kExitFailed);
    EXPECT_EQ(longLine.out, "10 30.0000 E 53 15.0000 N\n");
    EXPECT_EQ(longLine.err, "kartora-cli: standard input: Line 1 is too long!\n");

    EXPECT_EQ(Convert(0, 1, 0, 1, {"10 30\x1B[31m E 53 15 N"}).err,
              "kartora-cli: 10 30\\x1B[31m E 53 15 N: longitude minutes: Forbidden characters!\n");
    const std::string longPoint = "10 30 E 53 15 N" + std::string(100, ' ') + "x";
    EXPECT_EQ(Convert(0, 1, 0, 1, {longPoint}).err,
              "kartora-cli: " + longPoint.substr(0, 80) + "...: expected D M E|W D M N|S, e.g. 10 30 E 53 15 N\n");
}

TEST_F(CliTest, CalWriteRefusesADirectoryBeforeAnyQuestionAndNamesAFailedWrite)
{
    // Faults pinned: a directory as output was asked about as an existing file; a failed write named the
    // temporary file, without the system's reason.
    CalWriteOptions options = HarbourOptions();
    options.output = m_dir.string();
    std::ostringstream out, err;
    EXPECT_EQ(RunCalWrite(options, out, err), kExitFailed);
    EXPECT_EQ(err.str(), "kartora-cli: " + m_dir.string() + ": is a directory\n");

    options.output = Path("gone/harbour.CAL");
    err.str("");
    EXPECT_EQ(RunCalWrite(options, out, err), kExitFailed);
    EXPECT_EQ(err.str(), "kartora-cli: " + options.output + ": cannot write: No such file or directory\n");
    EXPECT_EQ(out.str(), "");
}

} // namespace
