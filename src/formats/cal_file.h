#pragma once
// The map reference file (.CAL): ten keyword lines that tie two pixels of a
// BMP map to their WGS84 coordinates. Bytes on disk are Windows-1252 with the
// degree sign 0xB0, lines end with CR LF, numbers use "." whatever the locale.
//
//     TYPE:       RASTERMAP
//     NAME:       harbour
//     DATE:       05/03/2009
//     VISIBLE:    YES
//     REFERENCE_POINT: (120,840) ==> (12°28.1235'O,47°51.5675'N)
//     REFERENCE_POINT: (1530,95) ==> (12°34.5000'O,47°48.0120'N)
//     HEIGHTDIFF:      12.5
//     PROJECTION:      UTM
//     ELLIPSOID:       WGS84
//     FILENAME:        harbour.bmp

#include "messages/messages.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace formats
{

/// One row of the keyword table: the keyword with its colon (compared
/// case-sensitively at the very start of a line) and the fixed text the
/// writer puts behind it where the line has no variable value.
struct CalKeyword
{
    const char* m_pszKeyword;
    const char* m_pszFixedText;
};

/// Row numbers of g_calKeywords.
enum CalKeywordIndex : int
{
    CAL_TYPE = 0,            ///< "TYPE:" RASTERMAP
    CAL_NAME = 1,            ///< "NAME:" the map name
    CAL_DATE = 2,            ///< "DATE:" day/month/year of writing
    CAL_VISIBLE = 3,         ///< "VISIBLE:" YES
    CAL_REFERENCE_POINT = 4, ///< "REFERENCE_POINT:" pixel ==> coordinates, twice
    CAL_REFERENCE_TYPE = 5,  ///< "REFERENCE_TYPE:" never written, accepted on reading
    CAL_HEIGHTDIFF = 6,      ///< "HEIGHTDIFF:" height difference, one decimal
    CAL_PROJECTION = 7,      ///< "PROJECTION:" UTM
    CAL_ELLIPSOID = 8,       ///< "ELLIPSOID:" WGS84
    CAL_FILENAME = 9,        ///< "FILENAME:" the BMP file name
};

constexpr int kCalKeywordCount = 10;

/// Fewer lines than this in a file read makes the reader complain.
constexpr int kCalLineCount = 10;

extern const CalKeyword g_calKeywords[kCalKeywordCount];

/// The values a reference file carries; the reference dialog's members of the
/// same names.
struct CalValues
{
    std::string m_strMapName;              ///< UTF-8
    std::string m_strBmpFileName;          ///< UTF-8, name with extension, no directory
    std::uint32_t m_nPixel[2][2] = {};     ///< [point][0] x from the left, [point][1] y from the bottom row
    std::int32_t m_nHemisphere[2][2] = {}; ///< [point][0] 0 east 1 west, [point][1] 0 north 1 south
    std::int32_t m_nDegree[2][2] = {};     ///< whole degrees, WGS84
    double m_dMinute[2][2] = {};           ///< decimal minutes, WGS84
    double m_dHeightDiff = 0.0;            ///< height difference (metres)
};

/// A caller's two-point arrays that hold what a reference file holds of both
/// points (names and meanings as in CalValues), by reference.
struct CalPointArrays
{
    std::uint32_t (&m_nPixel)[2][2];
    std::int32_t (&m_nHemisphere)[2][2];
    std::int32_t (&m_nDegree)[2][2];
    double (&m_dMinute)[2][2];
};

/// Copies both points' pixels, hemispheres, whole degrees and minutes.
void CopyPointsToCal(const CalPointArrays& from, CalValues& to);
void CopyPointsFromCal(const CalValues& from, const CalPointArrays& to);

/// A calendar date: day of month 1-31, month 1-12, full year.
struct CalDate
{
    unsigned day;
    unsigned month;
    unsigned year;
};

/// Today's date in the local time zone; {0, 0, 0} if the system clock cannot
/// be read. Uses the C library's shared local-time buffer: call it from the
/// user-interface thread only.
CalDate LocalDateToday();

/// Writes the ten lines of a reference file for `values`, dated `date`.
///
/// `file` must be opened in binary mode: the bytes are written as they are,
/// Windows-1252 with the degree sign 0xB0 and CR LF after every line, on every
/// platform. The two names are encoded to Windows-1252 (a character without a
/// Windows-1252 byte becomes "?"); a CR or LF inside a name also becomes "?",
/// since it would break the line structure. The coordinates must already be
/// WGS84 with minutes below 60; they are written as unsigned degrees, minutes
/// with four decimals, "O" for hemisphere flag 0 of a longitude and "W" for
/// any other flag, "N" for flag 0 of a latitude and "S" for any other flag.
/// Degrees are written as printf's "%u" writes them (a negative value, which
/// the converter never delivers, modulo 2^32). Nothing is checked; the caller
/// looks at the stream state.
void WriteCalFile(std::ostream& file, const CalValues& values, const CalDate& date);

/// WriteCalFile dated with LocalDateToday().
void WriteCalFile(std::ostream& file, const CalValues& values);

/// Receives a catalogue message and the text for its "%1" (UTF-8).
using CalMessageSink = std::function<void(MessageId id, const std::string& insert)>;

/// Reads a reference file line by line into `values`.
///
/// Lines may end with CR LF or LF; the line end is not part of the line.
/// Each line is decoded from Windows-1252 to UTF-8. A line whose start matches
/// no keyword (case-sensitive, at position 0, so leading blanks match
/// nothing) is reported as MSG_NO_KEYWORD_IN_LINE with the line as insert and
/// otherwise ignored. "NAME:" and "FILENAME:" set the names (the last such
/// line wins), "HEIGHTDIFF:" the height difference, the first two
/// "REFERENCE_POINT:" lines the pixels and coordinates of points 0 and 1;
/// later "REFERENCE_POINT:" lines and the values of all other keywords are
/// ignored. Numbers are read leniently (see CutAndParseInt, ParseDegMin); a
/// pixel value is the 32-bit integer read, stored modulo 2^32 as C converts
/// int to unsigned, so "-1" becomes 4294967295 and lands far off any bitmap
/// rather than on a plausible pixel; 2147483648 to 4294967295, as the writer
/// writes such a pixel, read as themselves. After the last line,
/// MSG_TOO_FEW_KEYWORDS (insert "") is reported when fewer than ten lines were
/// read, every line counting, also one without keyword. Values read stay in
/// `values` whatever is reported; values the file does not mention are left
/// unchanged.
///
/// A line longer than kMaxLineBytes ends the reading: it is reported as
/// MSG_LINE_TOO_LONG with its 1-based number as insert, and nothing else is
/// reported after it.
///
/// `file` should be opened in binary mode. Reading stops at the end of the
/// stream or at a read error (the stream's bad(); the count of lines is
/// reported as for the end). `report` may be empty; then nothing is reported.
void ReadCalFile(std::istream& file, CalValues& values, const CalMessageSink& report);

/// The index of the keyword at the very start of `line`, or -1 when no
/// keyword stands there.
int FindCalKeyword(std::string_view line);

/// The text after the first ":" of `line` with leading and trailing white
/// space removed; the whole line, trimmed, when it holds no ":".
std::string GetValueAfterColon(const std::string& line);

/// Replaces `line` by the text after the first `c` (the line stays whole
/// when `c` does not occur) and returns the integer at the start of what
/// remains, read up to the first of the characters in `stops`: optional white
/// space, optional sign, digits; no number gives 0, values beyond 32 bits
/// saturate.
std::int32_t CutAndParseInt(std::string& line, char c, std::string_view stops);

/// Reads one coordinate "degrees°minutes'letter" from the start of the UTF-8
/// `line`: `degrees` is the integer before the first "°" (the whole line when
/// there is none), `minutes` the decimal number after it up to the first "'",
/// and `flag` is 0 when the first character after that "'" and any white
/// space is "N" or "O", otherwise 1 (so "E", a lower-case letter or no letter
/// all give west or south). The line is left holding what follows the "'"
/// with its leading white space removed. A missing "°" or "'" cuts nothing.
void ParseDegMin(std::string& line, std::int32_t& degrees, double& minutes, std::int32_t& flag);

} // namespace formats
