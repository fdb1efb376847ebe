#pragma once
// How kartora-cli speaks: every message a line "kartora-cli: <subject>:
// <text>" on the error stream, input shown there escaped and shortened, and
// every write of a result checked.

#include <iosfwd>
#include <string>
#include <string_view>

namespace cli
{

/// `text` as a message may show it: control characters, C1 controls and
/// bytes that are no UTF-8 written as \t, \r, \n or \xHH (so that input
/// cannot move the cursor or recolour the terminal); with `maxBytes` other
/// than 0, cut after that many bytes of `text` (at a character) with "..."
/// after it.
std::string Shown(std::string_view text, std::size_t maxBytes = 0);

/// How much of an input line or point a message shows.
constexpr std::size_t kShownInputBytes = 80;

/// Writes "kartora-cli: <subject>: <message>" and a line end to `err`; the
/// subject is escaped (see Shown), the message is taken as it is.
void Report(std::ostream& err, std::string_view subject, std::string_view message);

/// Writes `text` to the program's result stream `out`. When the write fails
/// (a full disk, a closed pipe or stream), reports it on `err` with the
/// system's reason and returns false: the caller stops there.
bool Emit(std::ostream& out, std::ostream& err, std::string_view text);

/// Flushes `out` (before waiting for input, and at the end of the program);
/// false when that fails, reported as by Emit, or when an earlier write
/// failed (reported then).
bool FlushOutput(std::ostream& out, std::ostream& err);

} // namespace cli
