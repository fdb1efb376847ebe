// Fuzz target: the .CAL reader on arbitrary bytes, then the writer and the
// reader again on what was read.
//
// Invariants:
//  - reading reports only "no keyword in line", "too few keywords" and "line
//    too long";
//  - what the writer makes of the values read is ten lines, each ending in
//    CR LF, and reads back without any message;
//  - the values read back equal the values first read, to the precision the
//    file carries (minutes to 4 decimals, height difference to 1 decimal;
//    names with a CR inside carry "?" in its place), for every value the
//    writer's format can carry (see InWriterRange below);
//  - a second write and read changes nothing: the values and the bytes are a
//    fixed point after one round.
#include "formats/cal_file.h"
#include "formats/text_lines.h"

#include "fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

using namespace formats;

namespace
{

// A fixed date keeps the written bytes comparable from one round to the next.
constexpr CalDate kDate{5, 3, 2009};

struct ReadResult
{
    CalValues values;
    int nMessages = 0;
};

ReadResult Read(const std::string& bytes)
{
    ReadResult result;
    // Sentinels that no file line produces, so that a field the reader
    // forgets to set shows up as a difference.
    result.values.m_strMapName = result.values.m_strBmpFileName = "\x01unset";
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            result.values.m_nPixel[p][axis] = 0xDEADBEEF;
            result.values.m_nDegree[p][axis] = -777;
            result.values.m_dMinute[p][axis] = -777.25;
            result.values.m_nHemisphere[p][axis] = 7;
        }
    }
    result.values.m_dHeightDiff = -777.25;

    std::istringstream in(bytes, std::ios::binary);
    ReadCalFile(in, result.values,
                [&result](MessageId id, const std::string& insert)
                {
                    FUZZ_CHECK(id == MSG_NO_KEYWORD_IN_LINE || id == MSG_TOO_FEW_KEYWORDS || id == MSG_LINE_TOO_LONG,
                               "the reader reports only its three messages");
                    // The text the message box would show, built as the
                    // program builds it.
                    FUZZ_CHECK(GetMessageText(id, insert.c_str()) != nullptr, "every message has a text");
                    ++result.nMessages;
                });
    return result;
}

std::string Write(const CalValues& values)
{
    std::ostringstream out(std::ios::binary);
    WriteCalFile(out, values, kDate);
    return out.str();
}

// A name as the writer can carry it: a CR would split the line.
std::string Carried(std::string name)
{
    std::replace(name.begin(), name.end(), '\r', '?');
    return name;
}

// What the file format cannot carry through a write and a read: degrees are written
// unsigned (a negative one comes only from a file), and an infinite minute or
// height value (a number beyond the double range in a file) is written as
// "inf", which reads as no number. The program never writes such values: the
// dialog's fields and the converter stand between reading and writing.
bool InWriterRange(std::int32_t degrees)
{
    return degrees >= 0;
}
bool InWriterRange(double value)
{
    return std::isfinite(value);
}

void CheckStructure(const std::string& written)
{
    int nLines = 0;
    for (std::size_t i = 0; i < written.size(); ++i)
    {
        if (written[i] == '\n')
        {
            FUZZ_CHECK(i > 0 && written[i - 1] == '\r', "every line ends with CR LF");
            ++nLines;
        }
        else if (written[i] == '\r')
        {
            FUZZ_CHECK(i + 1 < written.size() && written[i + 1] == '\n', "a CR only ends a line");
        }
    }
    FUZZ_CHECK(nLines == 10 && written.ends_with("\r\n"), "the writer writes ten lines");
}

// The longest line of `bytes`, without its line end.
std::size_t LongestLine(const std::string& bytes)
{
    std::size_t nLongest = 0;
    std::size_t nBegin = 0;
    while (nBegin < bytes.size())
    {
        const std::size_t nEnd = std::min(bytes.find("\r\n", nBegin), bytes.size());
        nLongest = std::max(nLongest, nEnd - nBegin);
        nBegin = nEnd + 2;
    }
    return nLongest;
}

bool SameValues(const CalValues& a, const CalValues& b)
{
    if (a.m_strMapName != b.m_strMapName || a.m_strBmpFileName != b.m_strBmpFileName ||
        !SameDouble(a.m_dHeightDiff, b.m_dHeightDiff))
        return false;
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            if (a.m_nPixel[p][axis] != b.m_nPixel[p][axis] || a.m_nDegree[p][axis] != b.m_nDegree[p][axis] ||
                !SameDouble(a.m_dMinute[p][axis], b.m_dMinute[p][axis]) ||
                a.m_nHemisphere[p][axis] != b.m_nHemisphere[p][axis])
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const ReadResult first = Read(input);

    // A point the file does not mention keeps the sentinel, which is no
    // value of a file: start the round trip from what a file gives.
    CalValues values = first.values;
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            FUZZ_CHECK(values.m_nHemisphere[p][axis] == 0 || values.m_nHemisphere[p][axis] == 1 ||
                           values.m_nHemisphere[p][axis] == 7,
                       "a hemisphere flag read is 0 or 1");
            if (values.m_nHemisphere[p][axis] == 7)
            {
                values.m_nPixel[p][axis] = 0;
                values.m_nDegree[p][axis] = 0;
                values.m_dMinute[p][axis] = 0.0;
                values.m_nHemisphere[p][axis] = 0;
            }
        }
    }

    const std::string written = Write(values);
    CheckStructure(written);
    // A name near the line limit makes a line longer than the reader takes
    // (the keyword and its blanks come on top): no round trip to check.
    if (LongestLine(written) > kMaxLineBytes)
        return 0;
    const ReadResult second = Read(written);
    FUZZ_CHECK(second.nMessages == 0, "a written file reads back without a message");

    const CalValues& back = second.values;
    FUZZ_CHECK(back.m_strMapName == Carried(values.m_strMapName), "the map name reads back");
    FUZZ_CHECK(back.m_strBmpFileName == Carried(values.m_strBmpFileName), "the BMP file name reads back");
    if (InWriterRange(values.m_dHeightDiff))
        FUZZ_CHECK(WithinRounding(values.m_dHeightDiff, back.m_dHeightDiff, 0.05), "the height difference reads back");
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            FUZZ_CHECK(back.m_nHemisphere[p][axis] == values.m_nHemisphere[p][axis], "a hemisphere flag reads back");
            // Every unsigned 32-bit pixel, also one a file gave as a negative number.
            FUZZ_CHECK(back.m_nPixel[p][axis] == values.m_nPixel[p][axis], "a pixel reads back");
            if (InWriterRange(values.m_nDegree[p][axis]))
                FUZZ_CHECK(back.m_nDegree[p][axis] == values.m_nDegree[p][axis], "whole degrees read back");
            if (InWriterRange(values.m_dMinute[p][axis]))
                FUZZ_CHECK(WithinRounding(values.m_dMinute[p][axis], back.m_dMinute[p][axis], 0.00005),
                           "minutes read back to four decimals");
        }
    }

    const std::string rewritten = Write(back);
    const ReadResult third = Read(rewritten);
    FUZZ_CHECK(third.nMessages == 0 && SameValues(third.values, back), "a second round reads the same values");
    FUZZ_CHECK(Write(third.values) == rewritten, "a second round writes the same bytes");
    return 0;
}
