#pragma once

// Field-by-field reading of the built-in table lines, with the field
// structure of formatted scanning ("%30c", "%s", "%32[^\"]", "%lf", blanks and
// literal characters) but two differences that matter here:
//  - numbers are read with "." as the decimal point whatever the process
//    locale (the desktop program runs with the user's LC_NUMERIC);
//  - every text field is bounded by the size of its destination: a field that
//    does not fit makes the scan fail instead of writing past the field.
// Also two byte helpers shared by the table lookups. Internal to the geodesy
// library.

#include <cstddef>
#include <string_view>

namespace geodesy::detail
{

class CLineScanner
{
public:
    explicit CLineScanner(std::string_view line) : m_strLine(line) {}

    /// A blank in a scan format: skips any run of white space, also none.
    void SkipSpace();

    /// "%Nc": exactly count characters, blanks included, copied into field
    /// without a terminator. False if the line holds fewer.
    bool ScanChars(char* field, std::size_t count);

    /// "%s": skips white space, then copies a non-empty run of non-white-space
    /// characters and a NUL into field. False if the run is empty or does not
    /// fit into fieldSize bytes with its NUL.
    bool ScanWord(char* field, std::size_t fieldSize);

    /// "%N[^c]": copies 1 to maxChars characters up to (not including) stop,
    /// and a NUL, into field (at least maxChars + 1 bytes). Does not skip white
    /// space. False if the run is empty; a longer run leaves the rest unread,
    /// so the following literal fails to match, as in formatted scanning.
    bool ScanUntil(char stop, char* field, std::size_t maxChars);

    /// A literal character of the format. False if the next character differs.
    bool ScanLiteral(char c);

    /// "%lf": skips white space, then reads a decimal number (optional sign,
    /// digits with an optional ".", optional exponent) into value. False if
    /// there is none or it is not finite; value is then unchanged.
    bool ScanDouble(double& value);

private:
    std::string_view m_strLine;
    std::size_t m_nPos = 0;
};

/// White space as formatted scanning knows it in the "C" locale: blank, tab,
/// line feed, vertical tab, form feed, carriage return.
bool IsScanSpace(char c);

/// Upper case for the ASCII letters only, independent of the process locale;
/// every other byte unchanged.
char ToUpperAscii(char c);

} // namespace geodesy::detail
