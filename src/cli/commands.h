#pragma once
// The commands of kartora-cli, each the window-less twin of a workflow of the
// reference dialog. They write results to `out` and messages to `err` and
// return the process exit status. A command that cannot write a result
// reports it and stops there with kExitFailed; one that fails prints no
// values it would have had to make up.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/coord_converter.h"
#include "formats/cal_file.h"
#include "platform/file_writer.h"

namespace cli
{

/// Exit status: success, a failed check or unreadable input, a question
/// answered No.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitDeclined = 2;

struct ConvertOptions
{
    std::int32_t datum = 0;          ///< MapDatum of the input
    std::int32_t format = 1;         ///< InputFormat of the input
    std::int32_t toDatum = 0;        ///< MapDatum of the output
    std::int32_t toFormat = 1;       ///< InputFormat of the output
    std::vector<std::string> points; ///< empty: one point per line of `in`
};

/// Converts each point the dialog's way: datum selected, the format's
/// to-WGS84 operation, to-datum selected, the to-format's from-WGS84
/// operation. One line per valid point on `out`; an invalid point gives
/// "kartora-cli: <point>: <message>" on `err`, a line of `in` longer than
/// kMaxLineBytes a message naming it. 1 when any point was invalid or `in`
/// could not be read.
int RunConvert(const ConvertOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

struct CalWriteOptions
{
    std::string mapName;
    std::string bmpFileName;
    std::string pixel1; ///< "X,Y", y counted from the bottom row
    std::string pixel2;
    std::string point1; ///< in `format` and `datum`
    std::string point2;
    std::int32_t datum = 0;
    std::int32_t format = 1;
    std::string heightDiff = "0";
    bool yes = false;   ///< answer every question Yes
    std::string output; ///< path of the .CAL file
};

/// The Save workflow without windows: the same checks and questions in the
/// same order, then the file written completely or not at all.
int RunCalWrite(const CalWriteOptions& options, std::ostream& out, std::ostream& err);

/// The Load workflow: reads `path` and prints its values in `datum` and
/// `format`. Any message of the reader, a read error, a point without
/// position or one the format cannot express: 1, and no values printed.
int RunCalRead(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err);

/// Where and how SaveCalFile writes.
struct CalSaveTarget
{
    std::string output; ///< path of the .CAL file
    bool yes = false;   ///< answer every question Yes
    /// Take the file's positions from the converter (as Save does), else
    /// write those `cal` holds.
    bool takePositions = true;
    /// Whom the messages before the file choice name; empty: cal write's
    /// options.
    std::string subject;
};

/// A question of the Save workflow, printed on `err`: answered Yes only
/// when `yes` is set.
bool Ask(std::ostream& err, std::string_view subject, const std::string& question, bool yes);

/// Why a file could not be written, in the current language.
std::string WriteErrorText(const platform::FileWriteError& error);

/// Save from its name question on (the points already have positions in
/// `converter`): the checks and questions in Save's order, then the file
/// written completely or not at all; prints the path written. The exit status.
int SaveCalFile(formats::CalValues& cal, CCoordConverter& converter, const CalSaveTarget& save, std::ostream& out,
                std::ostream& err);

/// Reads the .CAL file at `path` as Load does; false (with the reader's
/// message, or why the file could not be read, on `err`) when its values
/// cannot be taken as they are.
bool ReadCalFileOrReport(const std::string& path, formats::CalValues& cal, std::ostream& err);

/// Why point `point` got no position in the converter's last to-WGS84
/// operation, e.g. "easting: Value too small!".
std::string FaultText(const CCoordConverter& converter, int point);

/// The MagicMaps import: takes both points of `path` in `datum` and prints
/// them in `format`. Each of the first two lines must hold two numbers
/// within ±90 and ±180 degrees (a UTF-8 byte-order mark before them is
/// skipped); otherwise 1, a message naming the line, and no values printed.
int RunImport(const std::string& path, std::int32_t datum, std::int32_t format, std::ostream& out, std::ostream& err);

} // namespace cli
