#pragma once
// Windows-1252 at the file boundary: the map files are single-byte
// Windows-1252 text, the program's strings are UTF-8.

#include <string>
#include <string_view>

namespace formats
{

/// UTF-8 to Windows-1252 bytes. A character that has no Windows-1252 byte
/// becomes "?", and so does each malformed UTF-8 sequence (a stray
/// continuation byte, a truncated or overlong sequence, a surrogate, a code
/// point above U+10FFFF; one "?" per maximal ill-formed part, the usual
/// replacement practice). U+0081, U+008D, U+008F, U+0090 and U+009D become
/// the bytes of the same value, so that every byte survives a round trip.
std::string Utf8ToCp1252(std::string_view utf8);

/// Windows-1252 bytes to UTF-8. Every byte maps: ASCII to itself, 0x80 to
/// 0x9F to the characters of the code page (0x80 is the euro sign), the five
/// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the
/// control characters U+0081 etc., 0xA0 to 0xFF to U+00A0 to U+00FF.
std::string Cp1252ToUtf8(std::string_view cp1252);

} // namespace formats
