// Fuzz target: the locale-independent number readers and writers, checked
// against the C library (strtod, strtol, snprintf), which the harness may use
// as an oracle because it never calls setlocale: the "C" locale stays in
// force, with "." as the decimal point.
//
// Input: byte 0 selects the decimals of the formatting checks (255: -1, which
// means 6); the remaining bytes are the text. When at least 12 bytes follow,
// bytes 1-8 are also taken as a raw double and bytes 9-12 as a raw int32 for
// the formatters.
//
// Invariants:
//  - ScanLeadingDouble equals strtod bit for bit (sign of zero included),
//    except where strtod reads what is no number here (inf, nan, hex);
//    ScanLeadingInt equals strtol clamped to 32 bits; neither gives NaN;
//  - ParseDouble accepts exactly what consists of "0123456789.-+" between
//    blanks, and then gives what strtod gives; ParseInt accepts a non-empty
//    text of digits between blanks, never gives a negative value, and gives
//    strtol's value clamped;
//  - FormatFixed writes what snprintf("%.*f") writes, FormatInt what
//    snprintf("%i") writes;
//  - an accepted value written with 0 to 17 decimals reads back through
//    ParseDouble within half a unit of the last decimal.
#include "conversion/numeric_text.h"

#include "fuzz_check.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace conversion;

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// strtod on the text up to its first NUL (where both readers stop), and
// whether what it consumed is a number in our grammar too.
double Strtod(const std::string& text, bool& bComparable)
{
    const char* const begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    const std::string_view consumed(begin, static_cast<std::size_t>(end - begin));
    bComparable = consumed.find_first_of("xXiInN") == std::string_view::npos;
    return value;
}

std::int32_t StrtolClamped(const std::string& text)
{
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::string Printf(const char* format, int decimals, double value)
{
    const int n = std::snprintf(nullptr, 0, format, decimals, value);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    std::snprintf(buffer.data(), buffer.size(), format, decimals, value);
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

void CheckFormatting(double value, int decimals)
{
    const std::string text = FormatFixed(value, decimals);
    FUZZ_CHECK(text == Printf("%.*f", decimals, value), "FormatFixed writes what printf(\"%.*f\") writes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int decimals = data[0] == 255 ? -1 : data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string trimmed(Trimmed(text));

    bool bComparable = false;
    const double scanned = ScanLeadingDouble(text);
    const double expected = Strtod(text, bComparable);
    FUZZ_CHECK(!std::isnan(scanned), "ScanLeadingDouble never gives NaN");
    if (bComparable)
        FUZZ_CHECK(SameDouble(scanned, expected), "ScanLeadingDouble reads what strtod reads");
    FUZZ_CHECK(ScanLeadingInt(text) == StrtolClamped(text), "ScanLeadingInt reads what strtol reads, clamped");

    const bool bDecimalChars = trimmed.find_first_not_of("0123456789.-+") == std::string::npos;
    double parsed = -12345.0;
    const bool bParsedDouble = ParseDouble(text, parsed);
    FUZZ_CHECK(bParsedDouble == bDecimalChars, "ParseDouble accepts exactly the decimal field's characters");
    if (bParsedDouble)
    {
        FUZZ_CHECK(!std::isnan(parsed), "ParseDouble never gives NaN");
        // The accepted characters hold no exponent, hex or inf, and the
        // trimmed text holds no NUL: strtod reads all of its number.
        bool bUnused = false;
        FUZZ_CHECK(SameDouble(parsed, Strtod(trimmed, bUnused)), "ParseDouble reads what strtod reads");
        CheckFormatting(parsed, decimals);
        const int nRoundTripDecimals = data[0] % 18;
        if (std::isfinite(parsed))
        {
            double reparsed = 0.0;
            FUZZ_CHECK(ParseDouble(FormatFixed(parsed, nRoundTripDecimals), reparsed),
                       "a formatted value is accepted again");
            double halfStep = 0.5;
            for (int i = 0; i < nRoundTripDecimals; ++i)
                halfStep /= 10.0;
            FUZZ_CHECK(WithinRounding(parsed, reparsed, halfStep), "a formatted value reads back within its rounding");
        }
    }
    else
    {
        FUZZ_CHECK(parsed == -12345.0, "a rejected text leaves the value alone");
    }

    const bool bDigits = !text.empty() && trimmed.find_first_not_of("0123456789") == std::string::npos;
    std::int32_t parsedInt = -7;
    const bool bParsedInt = ParseInt(text, parsedInt);
    FUZZ_CHECK(bParsedInt == bDigits, "ParseInt accepts exactly a non-empty text of digits between blanks");
    if (bParsedInt)
    {
        FUZZ_CHECK(parsedInt >= 0, "ParseInt never gives a negative value");
        FUZZ_CHECK(parsedInt == StrtolClamped(trimmed), "ParseInt reads what strtol reads, clamped");
    }
    else
    {
        FUZZ_CHECK(parsedInt == -7, "a rejected text leaves the value alone");
    }

    if (size >= 13)
    {
        double raw = 0.0;
        std::int32_t rawInt = 0;
        std::memcpy(&raw, data + 1, sizeof raw);
        std::memcpy(&rawInt, data + 9, sizeof rawInt);
        CheckFormatting(raw, decimals);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%i", static_cast<int>(rawInt));
        FUZZ_CHECK(FormatInt(rawInt) == buffer, "FormatInt writes what printf(\"%i\") writes");
    }
    return 0;
}
