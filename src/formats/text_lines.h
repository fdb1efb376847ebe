#pragma once
// Lines of the text the programs read (reference files, MagicMaps exports,
// points on standard input), bounded in length: a file that is something
// else, or an endless stream, must not take all memory as one line.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace formats
{

/// The longest line the readers take, in bytes without its line end. Lines
/// of the files read are a few dozen bytes long; names in a reference file
/// a few hundred at most.
constexpr std::size_t kMaxLineBytes = 4096;

enum class LineRead
{
    Line,    ///< `line` holds the next line (also a last one without LF)
    TooLong, ///< the next line holds more than the limit; its rest is still in the stream
    End,     ///< no further line: the end of the stream, or a read error (the stream's bad())
};

/// Reads the next line of `in` into `line`, without its LF; a CR before the
/// LF stays in the line. On TooLong `line` holds the line's first `maxBytes`
/// bytes and the stream stands inside the line.
LineRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t maxBytes = kMaxLineBytes);

/// `text` without a UTF-8 byte-order mark at its start.
std::string_view WithoutByteOrderMark(std::string_view text);

} // namespace formats
