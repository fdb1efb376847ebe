#include "formats/text_lines.h"

#include <istream>
#include <vector>

namespace formats
{

LineRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t maxBytes)
{
    // istream::getline stores at most n - 1 bytes and fails when the line
    // goes on after them; it takes an LF right after the last one stored, so
    // a line of exactly `maxBytes` bytes is read whole. The buffer is kept
    // from call to call: a reader calls this once per line.
    thread_local std::vector<char> s_buffer;
    if (s_buffer.size() < maxBytes + 1)
        s_buffer.resize(maxBytes + 1);
    in.getline(s_buffer.data(), static_cast<std::streamsize>(maxBytes + 1));
    const auto extracted = static_cast<std::size_t>(in.gcount());
    line.clear();
    // A read error ends the text; a line it cut short is no line.
    if (in.bad() || (extracted == 0 && (in.fail() || in.eof())))
        return LineRead::End;
    if (in.fail() && extracted == maxBytes)
    {
        in.clear(in.rdstate() & ~std::ios::failbit);
        line.assign(s_buffer.data(), maxBytes);
        return LineRead::TooLong;
    }
    // The count includes the LF when one ended the line.
    line.assign(s_buffer.data(), in.eof() ? extracted : extracted - 1);
    return LineRead::Line;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return text;
}

} // namespace formats
