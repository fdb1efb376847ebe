#include "formats/cal_file.h"

#include "conversion/numeric_text.h"
#include "formats/cp1252.h"
#include "formats/text_lines.h"

#include <charconv>
#include <ctime>
#include <initializer_list>
#include <istream>
#include <ostream>

using namespace conversion;

namespace formats
{

const CalKeyword g_calKeywords[kCalKeywordCount] = {
    {"TYPE:", "RASTERMAP"},
    {"NAME:", ""},
    {"DATE:", ""},
    {"VISIBLE:", "YES"},
    {"REFERENCE_POINT:", ""},
    {"REFERENCE_TYPE:", "BILINEAR_GEOGRAPHIC"},
    {"HEIGHTDIFF:", "0"},
    {"PROJECTION:", "UTM"},
    {"ELLIPSOID:", "WGS84"},
    {"FILENAME:", ""},
};

namespace
{

constexpr const char* kLineEnd = "\r\n";
constexpr char kDegreeByte = '\xB0';               // the degree sign in Windows-1252
constexpr std::string_view kDegreeUtf8 = "\u00B0"; // the same sign in a decoded line
constexpr char kMinuteMark = '\'';

// Cuts `line` to the text after the first occurrence of `mark`; leaves it
// whole when `mark` does not occur.
void CutAfter(std::string& line, std::string_view mark)
{
    const std::size_t nPos = line.find(mark);
    if (nPos != std::string::npos)
        line.erase(0, nPos + mark.size());
}

// A name for a single line of the file: Windows-1252 bytes, and no line
// break that would split the line.
std::string EncodeName(const std::string& name)
{
    std::string bytes = Utf8ToCp1252(name);
    for (char& c : bytes)
    {
        if (c == '\r' || c == '\n')
            c = '?';
    }
    return bytes;
}

// printf("%0<width>u") or printf("%<width>u"), by `fill`.
std::string FormatUnsigned(std::uint32_t value, std::size_t width, char fill)
{
    char buffer[16]; // "4294967295" is 10 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string digits(buffer, result.ptr);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), fill);
    return digits;
}

std::string FormatCoordinate(std::int32_t degrees, double minutes, bool bSecondFlag, char firstLetter,
                             char secondLetter)
{
    // Degrees go out as "%u": a negative value is taken modulo 2^32 as C does.
    std::string text = FormatUnsigned(static_cast<std::uint32_t>(degrees), 0, ' ');
    text.push_back(kDegreeByte);
    text += FormatFixed(minutes, 4);
    text.push_back(kMinuteMark);
    text.push_back(bSecondFlag ? secondLetter : firstLetter);
    return text;
}

} // namespace

CalDate LocalDateToday()
{
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1))
        return CalDate{0, 0, 0};
    // std::localtime shares one buffer; this runs on the user-interface
    // thread only and copies the fields at once.
    const std::tm* pLocal = std::localtime(&now);
    if (pLocal == nullptr)
        return CalDate{0, 0, 0};
    return CalDate{static_cast<unsigned>(pLocal->tm_mday), static_cast<unsigned>(pLocal->tm_mon + 1),
                   static_cast<unsigned>(pLocal->tm_year + 1900)};
}

void WriteCalFile(std::ostream& file, const CalValues& values, const CalDate& date)
{
    std::string text;
    // One line from its pieces; appending piece by piece keeps the text in
    // one buffer.
    const auto appendLine = [&text](std::initializer_list<std::string_view> pieces)
    {
        for (const std::string_view piece : pieces)
            text.append(piece);
        text.append(kLineEnd);
    };
    const auto keyword = [](CalKeywordIndex index) { return std::string_view(g_calKeywords[index].m_pszKeyword); };
    const auto fixedText = [](CalKeywordIndex index) { return std::string_view(g_calKeywords[index].m_pszFixedText); };

    appendLine({keyword(CAL_TYPE), "       ", fixedText(CAL_TYPE)});
    appendLine({keyword(CAL_NAME), "       ", EncodeName(values.m_strMapName)});
    appendLine({keyword(CAL_DATE), "       ", FormatUnsigned(date.day, 2, '0'), "/", FormatUnsigned(date.month, 2, '0'),
                "/", FormatUnsigned(date.year, 4, ' ')});
    appendLine({keyword(CAL_VISIBLE), "    ", fixedText(CAL_VISIBLE)});
    for (int p = 0; p < 2; ++p)
    {
        appendLine({keyword(CAL_REFERENCE_POINT), " (", FormatUnsigned(values.m_nPixel[p][0], 0, ' '), ",",
                    FormatUnsigned(values.m_nPixel[p][1], 0, ' '), ") ==> (",
                    FormatCoordinate(values.m_nDegree[p][0], values.m_dMinute[p][0], values.m_nHemisphere[p][0] != 0,
                                     'O', 'W'),
                    ",",
                    FormatCoordinate(values.m_nDegree[p][1], values.m_dMinute[p][1], values.m_nHemisphere[p][1] != 0,
                                     'N', 'S'),
                    ")"});
    }
    appendLine({keyword(CAL_HEIGHTDIFF), "      ", FormatFixed(values.m_dHeightDiff, 1)});
    appendLine({keyword(CAL_PROJECTION), "      ", fixedText(CAL_PROJECTION)});
    appendLine({keyword(CAL_ELLIPSOID), "       ", fixedText(CAL_ELLIPSOID)});
    appendLine({keyword(CAL_FILENAME), "        ", EncodeName(values.m_strBmpFileName)});
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void WriteCalFile(std::ostream& file, const CalValues& values)
{
    WriteCalFile(file, values, LocalDateToday());
}

int FindCalKeyword(std::string_view line)
{
    for (int i = 0; i < kCalKeywordCount; ++i)
    {
        if (line.starts_with(g_calKeywords[i].m_pszKeyword))
            return i;
    }
    return -1;
}

std::string GetValueAfterColon(const std::string& line)
{
    std::string_view value = line;
    const std::size_t nColon = value.find(':');
    if (nColon != std::string_view::npos)
        value.remove_prefix(nColon + 1);
    return std::string(TrimBlanks(value));
}

std::int32_t CutAndParseInt(std::string& line, char c, std::string_view stops)
{
    CutAfter(line, std::string_view(&c, 1));
    const std::string_view rest = line;
    return ScanLeadingInt(rest.substr(0, rest.find_first_of(stops)));
}

void ParseDegMin(std::string& line, std::int32_t& degrees, double& minutes, std::int32_t& flag)
{
    const std::string_view whole = line;
    degrees = ScanLeadingInt(whole.substr(0, whole.find(kDegreeUtf8)));
    CutAfter(line, kDegreeUtf8);

    const std::string_view afterDegree = line;
    minutes = ScanLeadingDouble(afterDegree.substr(0, afterDegree.find(kMinuteMark)));
    CutAfter(line, std::string_view(&kMinuteMark, 1));

    std::size_t nBlanks = 0;
    while (nBlanks < line.size() && IsBlank(line[nBlanks]))
        ++nBlanks;
    line.erase(0, nBlanks);
    flag = !line.empty() && (line.front() == 'N' || line.front() == 'O') ? 0 : 1;
}

namespace
{

// A pixel of a REFERENCE_POINT line, read as CutAndParseInt reads it, except
// that 2147483648 to 4294967295 come back as themselves: the writer writes
// the unsigned pixel, and a point picked beside the bitmap has such a value.
std::uint32_t CutAndParsePixel(std::string& line, char c, std::string_view stops)
{
    CutAfter(line, std::string_view(&c, 1));
    const std::string_view rest = std::string_view(line).substr(0, line.find_first_of(stops));
    const std::int32_t value = ScanLeadingInt(rest);
    if (value != INT32_MAX)
        return static_cast<std::uint32_t>(value); // int32 to uint32 is modulo 2^32
    // Saturated (or 2^31 - 1 itself): the number has no sign but "+", so its
    // digits start at the first digit.
    std::uint32_t magnitude = 0;
    const char* const pDigits = rest.data() + rest.find_first_of("0123456789");
    const auto result = std::from_chars(pDigits, rest.data() + rest.size(), magnitude);
    return result.ec == std::errc() ? magnitude : static_cast<std::uint32_t>(INT32_MAX);
}

} // namespace

void ReadCalFile(std::istream& file, CalValues& values, const CalMessageSink& report)
{
    const auto reportMessage = [&report](MessageId id, const std::string& insert)
    {
        if (report)
            report(id, insert);
    };

    // 64-bit so that no file, however long, can wrap the count back below ten.
    std::uint64_t nLineCount = 0;
    int nRefPointCount = 0;
    std::string strBytes;
    for (;;)
    {
        const LineRead read = ReadBoundedLine(file, strBytes);
        if (read == LineRead::End)
            break;
        if (read == LineRead::TooLong)
        {
            // Not a reference file; what was read so far stays.
            reportMessage(MSG_LINE_TOO_LONG, std::to_string(nLineCount + 1));
            return;
        }
        if (!strBytes.empty() && strBytes.back() == '\r')
            strBytes.pop_back();
        std::string line = Cp1252ToUtf8(strBytes);

        const int nIndex = FindCalKeyword(line);
        if (nIndex < 0)
            reportMessage(MSG_NO_KEYWORD_IN_LINE, line);
        ++nLineCount;

        switch (nIndex)
        {
        case CAL_NAME:
            values.m_strMapName = GetValueAfterColon(line);
            break;
        case CAL_REFERENCE_POINT:
        {
            // The file describes two points; further point lines are ignored.
            if (nRefPointCount >= 2)
                break;
            const int p = nRefPointCount++;
            values.m_nPixel[p][0] = CutAndParsePixel(line, '(', ",");
            values.m_nPixel[p][1] = CutAndParsePixel(line, ',', ")");
            CutAfter(line, "(");
            ParseDegMin(line, values.m_nDegree[p][0], values.m_dMinute[p][0], values.m_nHemisphere[p][0]);
            CutAfter(line, ",");
            ParseDegMin(line, values.m_nDegree[p][1], values.m_dMinute[p][1], values.m_nHemisphere[p][1]);
            break;
        }
        case CAL_HEIGHTDIFF:
        {
            std::string_view value = line;
            value.remove_prefix(value.find(':') + 1); // the keyword holds the colon
            values.m_dHeightDiff = ScanLeadingDouble(value);
            break;
        }
        case CAL_FILENAME:
            values.m_strBmpFileName = GetValueAfterColon(line);
            break;
        default:
            // TYPE, DATE, VISIBLE, REFERENCE_TYPE, PROJECTION, ELLIPSOID carry
            // nothing the program uses; their values are not checked.
            break;
        }
    }

    if (nLineCount < static_cast<std::uint64_t>(kCalLineCount))
        reportMessage(MSG_TOO_FEW_KEYWORDS, std::string());
}

namespace
{

// Copies the four two-point arrays of a reference file's points.
template <class From, class To> void CopyPoints(const From& from, To& to)
{
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            to.m_nPixel[p][axis] = from.m_nPixel[p][axis];
            to.m_nHemisphere[p][axis] = from.m_nHemisphere[p][axis];
            to.m_nDegree[p][axis] = from.m_nDegree[p][axis];
            to.m_dMinute[p][axis] = from.m_dMinute[p][axis];
        }
    }
}

} // namespace

void CopyPointsToCal(const CalPointArrays& from, CalValues& to)
{
    CopyPoints(from, to);
}

void CopyPointsFromCal(const CalValues& from, const CalPointArrays& to)
{
    CalPointArrays target = to;
    CopyPoints(from, target);
}

} // namespace formats
