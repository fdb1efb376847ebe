#include "formats/text_lines.h"

#include <istream>

LineRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t maxBytes)
{
    line.clear();
    const std::istream::sentry sentry(in, true); // white space is part of the line
    if (!sentry)
        return LineRead::End;

    using Traits = std::istream::traits_type;
    std::streambuf* const buffer = in.rdbuf();
    std::ios::iostate state = std::ios::goodbit;
    LineRead result = LineRead::Line;
    try
    {
        for (;;)
        {
            const Traits::int_type c = buffer->sgetc();
            if (Traits::eq_int_type(c, Traits::eof()))
            {
                state |= std::ios::eofbit;
                if (line.empty())
                    result = LineRead::End;
                break;
            }
            if (Traits::to_char_type(c) == '\n')
            {
                buffer->sbumpc();
                break;
            }
            if (line.size() == maxBytes)
            {
                result = LineRead::TooLong;
                break;
            }
            line.push_back(Traits::to_char_type(c));
            buffer->sbumpc();
        }
    }
    catch (...)
    {
        // The stream buffer's read failed (the file reports an error).
        state |= std::ios::badbit;
    }
    if (state & std::ios::badbit)
    {
        // A line the error cut short is no line.
        line.clear();
        result = LineRead::End;
    }
    if (result == LineRead::End)
        state |= std::ios::failbit;
    in.setstate(state);
    return result;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return text;
}
