#pragma once
// Numbers as text, independent of the process locale: the decimal point is
// always ".", whatever LC_NUMERIC the user runs with. The strict readers check
// what a user typed into a numeric field; the lenient readers take numbers out
// of file lines; the formatters write what the fields and files show.

#include <cstdint>
#include <string>
#include <string_view>

namespace conversion
{

/// White space as the "C" locale's isspace sees it (space, tab, CR, LF, VT,
/// FF); never locale-dependent.
bool IsBlank(char c);

/// `text` without leading and trailing white space.
std::string_view TrimBlanks(std::string_view text);

/// Checks and converts the text of a decimal field.
///
/// Leading and trailing white space (space, tab, CR, LF, VT, FF) is removed;
/// what remains must consist only of the characters "0123456789.-+",
/// otherwise the result is false and `out` is left unchanged. The check is by
/// character, not by number syntax: the remaining text is then read as far as
/// it forms a number (optional sign, digits, one decimal point) and the rest is
/// ignored, so "" and blanks give 0.0, "1-2" gives 1.0, "1.2.3" gives 1.2,
/// "+.5" gives 0.5, "--5" and "." give 0.0, while "1e5", "1,5" and "5 0" are
/// rejected. "-0" gives -0.0.
///
/// A digit string too large for a double gives +-HUGE_VAL (infinity); the
/// result is never NaN.
bool ParseDouble(std::string_view text, double& out);

/// Checks and converts the text of a whole-number field.
///
/// An empty text is rejected. Otherwise leading and trailing white space is
/// removed and what remains must consist only of digits (no sign), else the
/// result is false and `out` is left unchanged; a text of blanks only gives 0.
///
/// A digit string above 2147483647 gives 2147483647 (saturation, as strtol
/// does), so a field with an upper limit reports it as too large and a field
/// without one takes the largest 32-bit value. The result is never negative.
bool ParseInt(std::string_view text, std::int32_t& out);

/// Reads the decimal number at the start of `text` leniently: optional white
/// space, an optional sign, digits with an optional fraction after "." and an
/// optional exponent ("e" or "E", optional sign, digits). Reading stops at the
/// first character that does not fit; text without a number gives 0.0.
/// Magnitudes beyond the double range give +-HUGE_VAL (infinity), magnitudes
/// below the smallest subnormal give +-0.0, as strtod does; "inf", "nan" and
/// hexadecimal forms are not numbers here, so the result is never NaN.
double ScanLeadingDouble(std::string_view text);

/// How many characters at the start of `text` ScanLeadingDouble takes as its
/// number, leading white space and sign included; 0 when no number starts
/// there. A text is one number exactly when this is its whole length.
std::size_t LeadingDoubleLength(std::string_view text);

/// Reads the integer at the start of `text` leniently: optional white space,
/// an optional sign and digits; reading stops at the first other character,
/// and text without a number gives 0. A value beyond the 32-bit range
/// saturates to 2147483647 or -2147483648, as strtol does.
std::int32_t ScanLeadingInt(std::string_view text);

/// `value` with `decimals` digits after the point, byte for byte the text of
/// C printf("%.*f", decimals, value) in the "C" locale: exact decimal rounding
/// of the binary value with ties to even (0.125 with 2 gives "0.12"), the sign
/// of negative results kept (-0.04 with 1 gives "-0.0"), no exponent
/// (1e20 with 6 gives "100000000000000000000.000000"). A negative `decimals`
/// means 6, as in printf. Infinities give "inf" and "-inf", NaN "nan" or
/// "-nan" by its sign bit, as glibc's printf writes them.
std::string FormatFixed(double value, int decimals);

/// `value` as printf("%i") writes it: optional "-" and decimal digits.
std::string FormatInt(std::int32_t value);

} // namespace conversion
