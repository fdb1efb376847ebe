#include "geodesy/line_scanner.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace geodesy::detail
{

bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

void CLineScanner::SkipSpace()
{
    while (m_nPos < m_strLine.size() && IsScanSpace(m_strLine[m_nPos]))
        ++m_nPos;
}

bool CLineScanner::ScanChars(char* field, std::size_t count)
{
    if (m_strLine.size() - m_nPos < count)
        return false;
    std::memcpy(field, m_strLine.data() + m_nPos, count);
    m_nPos += count;
    return true;
}

bool CLineScanner::ScanWord(char* field, std::size_t fieldSize)
{
    SkipSpace();
    std::size_t end = m_nPos;
    while (end < m_strLine.size() && !IsScanSpace(m_strLine[end]))
        ++end;
    const std::size_t length = end - m_nPos;
    if (length == 0 || length + 1 > fieldSize)
        return false;
    std::memcpy(field, m_strLine.data() + m_nPos, length);
    field[length] = '\0';
    m_nPos = end;
    return true;
}

bool CLineScanner::ScanUntil(char stop, char* field, std::size_t maxChars)
{
    std::size_t end = m_nPos;
    while (end < m_strLine.size() && end - m_nPos < maxChars && m_strLine[end] != stop)
        ++end;
    const std::size_t length = end - m_nPos;
    if (length == 0)
        return false;
    std::memcpy(field, m_strLine.data() + m_nPos, length);
    field[length] = '\0';
    m_nPos = end;
    return true;
}

bool CLineScanner::ScanLiteral(char c)
{
    if (m_nPos >= m_strLine.size() || m_strLine[m_nPos] != c)
        return false;
    ++m_nPos;
    return true;
}

bool CLineScanner::ScanDouble(double& value)
{
    SkipSpace();
    const char* first = m_strLine.data() + m_nPos;
    const char* const last = m_strLine.data() + m_strLine.size();
    // from_chars takes a leading "-" but not "+"; a "+" may not be followed
    // by a second sign.
    if (first != last && *first == '+')
    {
        ++first;
        if (first != last && *first == '-')
            return false;
    }
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = parsed;
    m_nPos = static_cast<std::size_t>(ptr - m_strLine.data());
    return true;
}

} // namespace geodesy::detail
