#include "action_log.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace monkey_log
{
namespace
{

// A line of the log is cut here: typed texts can be hundreds of characters.
constexpr std::size_t kMaxLine = 300;

struct State
{
    std::uint64_t seed = 0;
    std::string program;
    int action = 0;
    std::vector<std::string> lines;
    std::size_t startLine = 0; ///< where the program last started
};

State& Log()
{
    static State state;
    return state;
}

} // namespace

void Begin(std::uint64_t seed, const std::string& program)
{
    Log() = State{seed, program, 0, {}, 0};
}

void ProgramStarted()
{
    Log().lines.push_back("  (the program starts)");
    Log().startLine = Log().lines.size() - 1;
}

void Action(int number, const std::string& line)
{
    Log().action = number;
    Log().lines.push_back("#" + std::to_string(number) + " " + line.substr(0, kMaxLine));
}

void Note(const std::string& line)
{
    Log().lines.push_back("    " + line.substr(0, kMaxLine));
}

std::string Reproduction()
{
    const State& log = Log();
    const std::string seed = std::to_string(log.seed);
    const std::filesystem::path path = std::filesystem::absolute("monkey-seed-" + seed + ".actions");
    std::ofstream file(path);
    for (const std::string& line : log.lines)
        file << line << '\n';

    std::string text = "monkey: seed " + seed + ", action " + std::to_string(log.action) + "\n";
    text += "repeat: KARTORA_MONKEY_SEED=" + seed + " KARTORA_MONKEY_ACTIONS=" + std::to_string(log.action) + " " +
            log.program + "\n";
    text += "every action: " + (file ? path.string() : std::string("(could not be written)")) + "\n";
    text += "the actions since the program last started:\n";
    for (std::size_t i = log.startLine; i < log.lines.size(); ++i)
        text += log.lines[i] + "\n";
    return text;
}

} // namespace monkey_log
