#include "formats/cp1252.h"

#include <cstdint>

namespace formats
{

namespace
{

// Characters of the bytes 0x80 to 0x9F; the five undefined bytes map to the
// C1 control of the same value.
constexpr char32_t s_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr char kReplacement = '?';

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
    {
        out.push_back(static_cast<char>(c));
    }
    else if (c < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    else
    {
        // The code page holds nothing beyond the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char EncodeCodePoint(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned i = 0; i < 32; ++i)
    {
        if (s_high[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return kReplacement;
}

} // namespace

std::string Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n)
    {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80)
        {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // Length and the admissible range of the second byte by lead byte;
        // the narrowed ranges exclude overlong forms, surrogates and code
        // points above U+10FFFF.
        int nLength = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t c = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
        {
            nLength = 2;
            c = lead & 0x1F;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            nLength = 3;
            c = lead & 0x0F;
            if (lead == 0xE0)
                lo = 0xA0;
            else if (lead == 0xED)
                hi = 0x9F;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            nLength = 4;
            c = lead & 0x07;
            if (lead == 0xF0)
                lo = 0x90;
            else if (lead == 0xF4)
                hi = 0x8F;
        }
        else
        {
            // A continuation byte without lead, or a lead byte that no
            // well-formed sequence uses.
            out.push_back(kReplacement);
            ++i;
            continue;
        }

        std::size_t j = i + 1;
        bool bComplete = true;
        for (int k = 1; k < nLength; ++k, ++j)
        {
            const unsigned char min = k == 1 ? lo : 0x80;
            const unsigned char max = k == 1 ? hi : 0xBF;
            if (j >= n || static_cast<unsigned char>(utf8[j]) < min || static_cast<unsigned char>(utf8[j]) > max)
            {
                bComplete = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        }
        // An incomplete sequence is replaced as a whole up to the byte that
        // broke it; that byte starts the next round.
        out.push_back(bComplete ? EncodeCodePoint(c) : kReplacement);
        i = j;
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size());
    std::size_t i = 0;
    while (i < cp1252.size())
    {
        // Runs of ASCII are copied as they are: file lines are mostly ASCII.
        std::size_t nRun = i;
        while (nRun < cp1252.size() && static_cast<unsigned char>(cp1252[nRun]) < 0x80)
            ++nRun;
        out.append(cp1252, i, nRun - i);
        if (nRun == cp1252.size())
            break;
        const auto byte = static_cast<unsigned char>(cp1252[nRun]);
        AppendUtf8(out, byte < 0xA0 ? s_high[byte - 0x80] : char32_t{byte});
        i = nRun + 1;
    }
    return out;
}

} // namespace formats
