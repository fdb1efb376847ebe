#include "conversion/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

namespace conversion
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

namespace
{

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

enum class NumberGrammar
{
    Integer, // sign, digits
    Decimal, // sign, digits, fraction, exponent
};

// The number at the start of a text, as far as the grammar reaches.
struct ScannedNumber
{
    bool bFound = false;    // at least one mantissa digit was present
    bool bNegative = false; // a "-" sign preceded the body
    std::string_view body;  // the unsigned rest: digits [. digits] [e [sign] digits]
};

// The one number grammar of every reader here: optional white space, an
// optional sign, then digits (for decimals: with an optional "." fraction,
// "." alone not being a number, and an optional exponent that counts only
// when it has digits). Stops at the first character that does not fit.
ScannedNumber ScanNumber(std::string_view text, NumberGrammar grammar)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && IsBlank(text[i]))
        ++i;

    ScannedNumber result;
    if (i < n && (text[i] == '+' || text[i] == '-'))
    {
        result.bNegative = text[i] == '-';
        ++i;
    }
    const std::size_t nStart = i;
    std::size_t nDigits = 0;
    while (i < n && IsDigit(text[i]))
    {
        ++i;
        ++nDigits;
    }
    if (grammar == NumberGrammar::Decimal)
    {
        if (i < n && text[i] == '.')
        {
            std::size_t j = i + 1;
            while (j < n && IsDigit(text[j]))
            {
                ++j;
                ++nDigits;
            }
            if (nDigits > 0)
                i = j;
        }
        if (nDigits > 0 && i < n && (text[i] == 'e' || text[i] == 'E'))
        {
            std::size_t j = i + 1;
            if (j < n && (text[j] == '+' || text[j] == '-'))
                ++j;
            if (j < n && IsDigit(text[j]))
            {
                while (j < n && IsDigit(text[j]))
                    ++j;
                i = j;
            }
        }
    }
    if (nDigits == 0)
        return ScannedNumber{};
    result.bFound = true;
    result.body = text.substr(nStart, i - nStart);
    return result;
}

// For a decimal body whose value lies outside the double range: true when the
// magnitude is large (overflow), false when it is tiny (underflow). Decided by
// the decimal exponent of the first significant digit; the body's mantissa is
// not all zeros, or it would not be out of range.
bool IsOverflow(std::string_view body)
{
    // Far beyond any double exponent, small enough that sums cannot overflow.
    constexpr long long kExponentCap = 1'000'000'000LL;

    std::size_t i = 0;
    while (i < body.size() && body[i] == '0')
        ++i;
    long long nIntDigits = 0;
    while (i < body.size() && IsDigit(body[i]))
    {
        ++i;
        nIntDigits = std::min(nIntDigits + 1, kExponentCap);
    }
    long long nExponent10 = nIntDigits - 1;
    if (nIntDigits == 0)
    {
        // 0.000ddd: the first significant digit sits after the zeros.
        long long nZeros = 0;
        if (i < body.size() && body[i] == '.')
            ++i;
        while (i < body.size() && body[i] == '0')
        {
            ++i;
            nZeros = std::min(nZeros + 1, kExponentCap);
        }
        nExponent10 = -(nZeros + 1);
    }
    const std::size_t nE = body.find_first_of("eE");
    if (nE != std::string_view::npos)
    {
        std::size_t j = nE + 1;
        const bool bNegativeExponent = j < body.size() && body[j] == '-';
        if (j < body.size() && (body[j] == '+' || body[j] == '-'))
            ++j;
        long long nExponent = 0;
        for (; j < body.size(); ++j)
            nExponent = std::min(nExponent * 10 + (body[j] - '0'), kExponentCap);
        nExponent10 += bNegativeExponent ? -nExponent : nExponent;
    }
    return nExponent10 >= 0;
}

} // namespace

double ScanLeadingDouble(std::string_view text)
{
    const ScannedNumber number = ScanNumber(text, NumberGrammar::Decimal);
    if (!number.bFound)
        return 0.0;
    double dValue = 0.0;
    const char* const pBegin = number.body.data();
    const auto result = std::from_chars(pBegin, pBegin + number.body.size(), dValue, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        dValue = IsOverflow(number.body) ? HUGE_VAL : 0.0;
    return number.bNegative ? -dValue : dValue;
}

std::size_t LeadingDoubleLength(std::string_view text)
{
    const ScannedNumber number = ScanNumber(text, NumberGrammar::Decimal);
    if (!number.bFound)
        return 0;
    return static_cast<std::size_t>(number.body.data() - text.data()) + number.body.size();
}

std::int32_t ScanLeadingInt(std::string_view text)
{
    const ScannedNumber number = ScanNumber(text, NumberGrammar::Integer);
    if (!number.bFound)
        return 0;
    constexpr std::uint32_t kMaxMagnitude = static_cast<std::uint32_t>(INT32_MAX);
    std::uint32_t nMagnitude = 0;
    const char* const pBegin = number.body.data();
    const auto result = std::from_chars(pBegin, pBegin + number.body.size(), nMagnitude);
    const bool bTooLarge = result.ec == std::errc::result_out_of_range;
    if (!number.bNegative)
        return bTooLarge || nMagnitude > kMaxMagnitude ? INT32_MAX : static_cast<std::int32_t>(nMagnitude);
    if (bTooLarge || nMagnitude > kMaxMagnitude + 1U)
        return INT32_MIN;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(nMagnitude));
}

bool ParseDouble(std::string_view text, double& out)
{
    const std::string_view trimmed = TrimBlanks(text);
    // A loop rather than find_first_not_of, which searches the set once per
    // character: every point of a batch passes here several times.
    if (!std::all_of(trimmed.begin(), trimmed.end(),
                     [](char c) { return IsDigit(c) || c == '.' || c == '-' || c == '+'; }))
        return false;
    // The characters admitted cannot form an exponent, so the lenient reading
    // is exactly a sign, digits and one decimal point here.
    out = ScanLeadingDouble(trimmed);
    return true;
}

bool ParseInt(std::string_view text, std::int32_t& out)
{
    // An empty field is an error, a field of blanks is 0.
    if (text.empty())
        return false;
    const std::string_view trimmed = TrimBlanks(text);
    if (!std::all_of(trimmed.begin(), trimmed.end(), IsDigit))
        return false;
    out = ScanLeadingInt(trimmed);
    return true;
}

std::string FormatFixed(double value, int decimals)
{
    if (decimals < 0)
        decimals = 6;
    // The exact decimal expansion of every finite double ends within 1074
    // fractional digits (the smallest subnormal is 2^-1074); digits asked for
    // beyond that are zeros, appended below rather than held in the buffer.
    constexpr int kMaxSignificantDecimals = 1074;
    const int nExactDecimals = std::min(decimals, kMaxSignificantDecimals);
    // sign + 309 integer digits of DBL_MAX + point + fraction, with headroom
    char buffer[1 + 309 + 1 + kMaxSignificantDecimals + 15];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, nExactDecimals);
    std::string text(buffer, result.ec == std::errc{} ? result.ptr : buffer);
    if (decimals > nExactDecimals && std::isfinite(value))
        text.append(static_cast<std::size_t>(decimals - nExactDecimals), '0');
    return text;
}

std::string FormatInt(std::int32_t value)
{
    char buffer[16]; // "-2147483648" is 11 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace conversion
