#include "formats/cp1252.h"

#include <gtest/gtest.h>

#include <string>

using namespace formats;

// Expected bytes come from the published Windows-1252 code chart and from
// UTF-8 as the Unicode standard defines it (including its practice of one
// replacement per maximal ill-formed subpart). Bytes followed by a letter
// that a hex escape would swallow are written as octal escapes.

TEST(Cp1252, EveryByteSurvivesTheRoundTripAndDecodesToItsCodePageCharacter)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);

    EXPECT_EQ(Cp1252ToUtf8("\x80\x8A\x9F"), "\u20AC\u0160\u0178"); // euro, S caron, Y diaeresis
    EXPECT_EQ(Cp1252ToUtf8("12\xB0"), "12\u00B0");
    EXPECT_EQ(Cp1252ToUtf8("K\xE4rnten Stra\337e"), "Kärnten Straße");
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D"); // undefined bytes
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, CharactersWithoutAByteAndMalformedUtf8BecomeQuestionMarks)
{
    const struct
    {
        std::string utf8;
        std::string bytes;
    } rows[] = {
        {"\u0141\u00F3d\u017A", "?\363d?"}, // L stroke and z acute have no byte
        {"map \U0001F5FA!", "map ?!"},      // one four-byte character
        {"\200a", "?a"},                    // continuation byte without lead
        {"\303A", "?A"},                    // broken by an ASCII byte, which survives
        {"\xE2\x82x", "?x"},                // two bytes of a three-byte sequence: one part
        {"\xC0\xAF", "??"},                 // overlong "/"
        {"\xED\xA0\x80", "???"},            // UTF-16 surrogate
        {"\xF4\x90\x80\x80", "????"},       // above U+10FFFF
    };
    for (const auto& row : rows)
        EXPECT_EQ(Utf8ToCp1252(row.utf8), row.bytes) << testing::PrintToString(row.utf8);
}
