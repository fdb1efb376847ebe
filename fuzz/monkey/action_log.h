#pragma once
// The monkey's actions as it runs them, and how to run them again: a
// violation (or a sanitizer that stops the process) prints the seed, the
// command that repeats the run up to the failing action, the actions since
// the program last started, and the path of a file with every action.

#include <cstdint>
#include <string>

namespace monkey_log
{

/// A new run: forgets earlier actions. `program` is the test program's path.
void Begin(std::uint64_t seed, const std::string& program);
/// The program was (re)started before the next action.
void ProgramStarted();
/// Action `number` begins with `line`.
void Action(int number, const std::string& line);
/// A detail of the current action (a question and its answer, a file chosen).
void Note(const std::string& line);
/// Seed, action, the command to repeat the run, the path of the complete
/// list (written now), and the actions since the program last started.
std::string Reproduction();

} // namespace monkey_log
