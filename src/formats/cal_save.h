#pragma once
// Save's rules between the fields' own checks and the writing, for every
// program that saves a reference file: the reference dialog asks the
// questions in message boxes, kartora-cli on its error stream. Save's order:
//   1. the fields' checks (the caller's: dialog exchange or argument parsing);
//   2. both points converted to WGS84 (a point without a position stops);
//   3. the map name against the BMP file's base name (a question);
//   4. pixels against coordinates (a stop);
//   5. the file is chosen; an existing file (a question);
//   6. the file's base name against the BMP file's (a question);
//   7. the WGS84 degrees and minutes the file holds, then the writing.
// A question lets Save go on only when it is answered Yes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/coord_converter.h"
#include "formats/cal_file.h"
#include "messages/messages.h"

namespace formats
{

/// One check of Save that the user meets: a Yes/No question, or a stop
/// with an Ok message.
struct SaveCheck
{
    bool bQuestion;
    MessageId message;
    std::string insert; ///< for the message's "%1"; empty when it has none
};

/// Step 2: the first point that the converter's last to-WGS84 operation left
/// without a position (0 or 1), and why; nothing when both have one.
std::optional<std::pair<int, PositionFault>> FirstPositionFault(const CCoordConverter& converter);

/// Steps 3 and 4, in order, for `values` and the converter's WGS84 positions.
/// Empty when Save may go straight on to the file choice.
std::vector<SaveCheck> ChecksBeforeFileChoice(const CalValues& values, const CCoordConverter& converter);

/// Step 5: the question for an existing file at `path` (the insert is the
/// file's name without its directory); nothing when `bExists` is false.
std::optional<SaveCheck> OverwriteCheck(std::string_view path, bool bExists);

/// Step 6: the question when the chosen file's base name differs from the
/// BMP file's; nothing when they agree.
std::optional<SaveCheck> CalNameCheck(const CalValues& values, std::string_view path);

/// Step 7: the file's positions, WGS84 whole degrees and decimal minutes of
/// both points, taken from the converter, which is left on WGS84. The message
/// to show when the file cannot hold the values (a stored position beyond a
/// whole turn, an infinite height difference): nothing may be written then.
std::optional<MessageId> TakeFilePositions(CCoordConverter& converter, CalValues& values);

} // namespace formats
