#include "formats/cal_file.h"
#include "formats/text_lines.h"

#include <gtest/gtest.h>

#include "support/points.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace formats;

namespace
{

using Message = std::pair<MessageId, std::string>;
using Messages = std::vector<Message>;

// File bytes from readable text: the degree sign "°" (UTF-8 here) is the
// single byte 0xB0 in the file.
std::string FileBytes(std::string_view text)
{
    constexpr std::string_view kDegree = "°";
    std::string bytes;
    while (!text.empty())
    {
        const bool bDegree = text.starts_with(kDegree);
        bytes.push_back(bDegree ? '\xB0' : text.front());
        text.remove_prefix(bDegree ? kDegree.size() : 1);
    }
    return bytes;
}

// The worked example: map "harbour", written on 5 March 2009, height
// difference 12.5, CR LF line ends.
const std::string kHarbourFile = FileBytes("TYPE:       RASTERMAP\r\n"
                                           "NAME:       harbour\r\n"
                                           "DATE:       05/03/2009\r\n"
                                           "VISIBLE:    YES\r\n"
                                           "REFERENCE_POINT: (120,840) ==> (12°28.1235'O,47°51.5675'N)\r\n"
                                           "REFERENCE_POINT: (1530,95) ==> (12°34.5000'O,47°48.0120'N)\r\n"
                                           "HEIGHTDIFF:      12.5\r\n"
                                           "PROJECTION:      UTM\r\n"
                                           "ELLIPSOID:       WGS84\r\n"
                                           "FILENAME:        harbour.bmp\r\n");

CalValues HarbourValues()
{
    CalValues v;
    v.m_strMapName = "harbour";
    v.m_strBmpFileName = "harbour.bmp";
    const std::uint32_t nPixel[2][2] = {{120, 840}, {1530, 95}};
    std::copy(&nPixel[0][0], &nPixel[0][0] + 4, &v.m_nPixel[0][0]);
    SetPoint(v, 0, DegMin(12, 28.1235, 'E', 47, 51.5675, 'N'));
    SetPoint(v, 1, DegMin(12, 34.5, 'E', 47, 48.012, 'N'));
    v.m_dHeightDiff = 12.5;
    return v;
}

std::string Write(const CalValues& values, const CalDate& date = CalDate{5, 3, 2009})
{
    std::ostringstream file(std::ios::binary);
    WriteCalFile(file, values, date);
    return file.str();
}

struct Read
{
    explicit Read(const std::string& bytes, CalValues start = CalValues{}) : values(std::move(start))
    {
        std::istringstream file(bytes, std::ios::binary);
        ReadCalFile(file, values,
                    [this](MessageId id, const std::string& insert) { messages.emplace_back(id, insert); });
    }
    CalValues values;
    Messages messages;
};

// Line n (from 0) of a written file, without its CR LF.
std::string Line(const std::string& bytes, int n)
{
    std::size_t nBegin = 0;
    for (int i = 0; i < n; ++i)
        nBegin = bytes.find("\r\n", nBegin) + 2;
    return bytes.substr(nBegin, bytes.find("\r\n", nBegin) - nBegin);
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

const Message kTooFew{MSG_TOO_FEW_KEYWORDS, ""};

void ExpectSameValues(const CalValues& read, const CalValues& written)
{
    EXPECT_EQ(read.m_strMapName, written.m_strMapName);
    EXPECT_EQ(read.m_strBmpFileName, written.m_strBmpFileName);
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            EXPECT_EQ(read.m_nPixel[p][axis], written.m_nPixel[p][axis]);
            EXPECT_EQ(read.m_nDegree[p][axis], written.m_nDegree[p][axis]);
            EXPECT_NEAR(read.m_dMinute[p][axis], written.m_dMinute[p][axis], 0.5e-4); // minutes, four decimals
            EXPECT_EQ(read.m_nHemisphere[p][axis], written.m_nHemisphere[p][axis]);
        }
    }
    EXPECT_NEAR(read.m_dHeightDiff, written.m_dHeightDiff, 0.05); // one decimal
}

} // namespace

TEST(CalWriter, WritesTheHarbourExampleByteForByte)
{
    EXPECT_EQ(Write(HarbourValues()), kHarbourFile);
}

TEST(CalWriter, WritesLettersPaddingAndOneDecimalHeightsAsPrintfWould)
{
    CalValues values = HarbourValues();
    values.m_nHemisphere[0][0] = 1;
    values.m_nHemisphere[1][1] = 1;
    values.m_nDegree[1][0] = 0;
    values.m_dMinute[1][0] = 4.5;
    values.m_nPixel[1][0] = 4294967295U;
    values.m_dHeightDiff = -0.04;
    const std::string bytes = Write(values, CalDate{31, 12, 999});
    EXPECT_EQ(Line(bytes, 2), "DATE:       31/12/ 999");
    EXPECT_EQ(Line(bytes, 4), FileBytes("REFERENCE_POINT: (120,840) ==> (12°28.1235'W,47°51.5675'N)"));
    EXPECT_EQ(Line(bytes, 5), FileBytes("REFERENCE_POINT: (4294967295,95) ==> (0°4.5000'O,47°48.0120'S)"));
    EXPECT_EQ(Line(bytes, 6), "HEIGHTDIFF:      -0.0"); // the sign stays
    values.m_dHeightDiff = 0.25;
    EXPECT_EQ(Line(Write(values), 6), "HEIGHTDIFF:      0.2"); // exact tie, to even as printf
}

TEST(CalWriter, EncodesNamesAsWindows1252AndAWrittenFileReadsBackUnchanged)
{
    CalValues values = HarbourValues();
    values.m_strMapName = "Kärnten Straße";
    values.m_strBmpFileName = "Kärnten.bmp";
    values.m_nHemisphere[0][0] = 1;
    values.m_nHemisphere[1][1] = 1;
    values.m_dMinute[0][1] = 59.9995;
    values.m_dHeightDiff = -3.5;
    const std::string bytes = Write(values);
    EXPECT_EQ(Line(bytes, 1), "NAME:       K\xE4rnten Stra\337e"); // 0xDF in octal
    const Read result(bytes);
    EXPECT_EQ(result.messages, Messages{});
    ExpectSameValues(result.values, values);

    // No Windows-1252 byte, or a line break that would split the file's lines.
    values.m_strMapName = "\u0141\u00F3d\u017A";
    values.m_strBmpFileName = "two\r\nlines.bmp";
    const std::string odd = Write(values);
    EXPECT_EQ(Line(odd, 1), "NAME:       ?\363d?"); // 0xF3 in octal
    EXPECT_EQ(Line(odd, 9), "FILENAME:        two??lines.bmp");
    EXPECT_EQ(Read(odd).messages, Messages{});
}

TEST(CalReader, ReadsTheHarbourExampleWithoutAnyMessage)
{
    const Read result(kHarbourFile);
    EXPECT_EQ(result.messages, Messages{});
    ExpectSameValues(result.values, HarbourValues());
    EXPECT_EQ(result.values.m_dMinute[0][0], 28.1235); // the nearest double to the text
}

TEST(CalReader, AcceptsLineFeedAloneMixedLineEndsAndNoFinalLineEnd)
{
    std::string lf = kHarbourFile;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    const std::string mixed = Replace(kHarbourFile, "harbour\r\n", "harbour\n");
    const std::string unterminated = kHarbourFile.substr(0, kHarbourFile.size() - 2);
    for (const std::string& bytes : {lf, mixed, unterminated})
    {
        const Read result(bytes);
        EXPECT_EQ(result.messages, Messages{});
        ExpectSameValues(result.values, HarbourValues());
    }
}

TEST(CalReader, ALineWithoutKeywordAtItsStartIsReportedAndIgnored)
{
    const Read blanks(Replace(kHarbourFile, "NAME:       harbour", "  NAME: other"));
    EXPECT_EQ(blanks.messages, (Messages{{MSG_NO_KEYWORD_IN_LINE, "  NAME: other"}}));
    EXPECT_EQ(blanks.values.m_strMapName, "");

    // Lower case is no keyword; the insert is the line decoded to UTF-8.
    const Read lower(Replace(kHarbourFile, "NAME:       harbour", "name: K\xE4rnten"));
    EXPECT_EQ(lower.messages, (Messages{{MSG_NO_KEYWORD_IN_LINE, "name: Kärnten"}}));

    // An empty line has no keyword either, and it counts as a line read.
    const Read empty(Replace(kHarbourFile, "TYPE:       RASTERMAP", ""));
    EXPECT_EQ(empty.messages, (Messages{{MSG_NO_KEYWORD_IN_LINE, ""}}));
}

TEST(CalReader, ExtraKnownLinesAreReadSilentlyAndTheLastNameWins)
{
    const Read result(kHarbourFile + "REFERENCE_TYPE: BILINEAR_GEOGRAPHIC\r\nNAME:   \t\r\nFILENAME:  C:\\b.bmp \r\n" +
                      FileBytes("REFERENCE_POINT: (1,2) ==> (3°4.0000'W,5°6.0000'S)\r\n"));
    EXPECT_EQ(result.messages, Messages{});
    EXPECT_EQ(result.values.m_strMapName, "");
    EXPECT_EQ(result.values.m_strBmpFileName, "C:\\b.bmp"); // only the first colon separates
    // A third point line is no third point and leaves the two alone.
    CalValues expected = HarbourValues();
    expected.m_strMapName = result.values.m_strMapName;
    expected.m_strBmpFileName = result.values.m_strBmpFileName;
    ExpectSameValues(result.values, expected);
}

TEST(CalReader, FewerThanTenLinesKeepWhatWasReadAndReportTooFewKeywords)
{
    const Read nine(Replace(kHarbourFile, "VISIBLE:    YES\r\n", ""));
    EXPECT_EQ(nine.messages, Messages{kTooFew});
    ExpectSameValues(nine.values, HarbourValues());

    const Read empty("", HarbourValues());
    EXPECT_EQ(empty.messages, Messages{kTooFew});
    ExpectSameValues(empty.values, HarbourValues());

    // Lines without keyword count: one known line and nine empty ones make ten.
    const Read unknown("NAME: x\n" + std::string(9, '\n'));
    EXPECT_EQ(unknown.messages, Messages(9, Message{MSG_NO_KEYWORD_IN_LINE, ""}));
}

TEST(CalReader, ReadsReferencePointsLeniently)
{
    const struct
    {
        const char* line;
        std::uint32_t x, y;
        std::int32_t lonDeg;
        double lonMin;
        std::int32_t lonFlag, latDeg;
        double latMin;
        std::int32_t latFlag;
    } rows[] = {
        // 60 minutes stay as they are; "E" and lower case are neither east nor north.
        {"REFERENCE_POINT: (1,2) ==> (12°60.0000'E,47°0.5'n)", 1, 2, 12, 60.0, 1, 47, 0.5, 1},
        // Text that is no number is 0; a negative pixel wraps modulo 2^32.
        {"REFERENCE_POINT: (abc,-5) ==> (x°y'N,z°w'O)", 0, 4294967291U, 0, 0.0, 0, 0, 0.0, 0},
        // Exponents count; a huge pixel saturates at the 32-bit limit.
        {"REFERENCE_POINT: (99999999999,3) ==> (1°1e1'O,2°2.5E-1'N)", 2147483647U, 3, 1, 10.0, 0, 2, 0.25, 0},
        // Unsigned pixels as written for a point picked beside the map (y
        // from the bottom below 0) read back as written; they used to
        // saturate at 2147483647.
        {"REFERENCE_POINT: (+4294967295,2147483648) ==> (1°0'O,2°0'N)", 4294967295U, 2147483648U, 1, 0.0, 0, 2, 0.0, 0},
    };
    for (const auto& row : rows)
    {
        const CalValues v = Read(FileBytes(row.line)).values;
        SCOPED_TRACE(row.line);
        EXPECT_EQ(v.m_nPixel[0][0], row.x);
        EXPECT_EQ(v.m_nPixel[0][1], row.y);
        EXPECT_EQ(v.m_nDegree[0][0], row.lonDeg);
        EXPECT_EQ(v.m_dMinute[0][0], row.lonMin);
        EXPECT_EQ(v.m_nHemisphere[0][0], row.lonFlag);
        EXPECT_EQ(v.m_nDegree[0][1], row.latDeg);
        EXPECT_EQ(v.m_dMinute[0][1], row.latMin);
        EXPECT_EQ(v.m_nHemisphere[0][1], row.latFlag);
    }
    EXPECT_EQ(Read("HEIGHTDIFF:   -3.5e1 m\n").values.m_dHeightDiff, -35.0);
    EXPECT_EQ(Read("HEIGHTDIFF:\n", HarbourValues()).values.m_dHeightDiff, 0.0);
}

TEST(CalReader, SurvivesJunkNulBytesAndHugeLines)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 7919) % 256));
    // The pattern holds no keyword, so every line of it is reported.
    const auto nJunkLines =
        static_cast<std::size_t>(std::count(junk.begin(), junk.end(), '\n') + (junk.back() != '\n'));
    const Read fromJunk(junk);
    EXPECT_EQ(fromJunk.messages.size(), nJunkLines + (nJunkLines < 10 ? 1 : 0));

    EXPECT_EQ(Read(std::string("NAME: a\0b\n", 10)).values.m_strMapName, std::string("a\0b", 3));

    // Fault pinned: a line was taken whole, so a stream without line ends grew until allocation failed.
    // A 100 MB line ends the reading where it starts, with what came before kept.
    const std::string huge(100u << 20, 'x');
    const Read fromHuge("NAME: a\n" + huge);
    EXPECT_EQ(fromHuge.messages, (Messages{{MSG_LINE_TOO_LONG, "2"}}));
    EXPECT_EQ(fromHuge.values.m_strMapName, "a");
    const std::string longest = "NAME: " + std::string(kMaxLineBytes - 6, 'n');
    EXPECT_EQ(Read(longest + "\n").values.m_strMapName.size(), kMaxLineBytes - 6);
    EXPECT_EQ(Read(longest + "n").messages, (Messages{{MSG_LINE_TOO_LONG, "1"}}));

    CalValues values; // no sink: nothing is reported, the values are still read
    std::istringstream file("NAME: y\nnothing\n", std::ios::binary);
    ReadCalFile(file, values, CalMessageSink{});
    EXPECT_EQ(values.m_strMapName, "y");
}
