#pragma once
// What the command tests share: a command's status and output, and an empty
// folder of its own for every test.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>

#include "messages/messages.h"

struct CliRun
{
    int status;
    std::string out;
    std::string err;
};

/// Runs `command(out, err)`, which returns the exit status.
template <class Command> CliRun RunCommand(Command&& command)
{
    std::ostringstream out, err;
    const int status = command(out, err);
    return {status, out.str(), err.str()};
}

/// English texts and an empty folder named after `prefix` and the test,
/// removed afterwards.
class CliFolderTest : public ::testing::Test
{
protected:
    explicit CliFolderTest(std::string prefix) : m_prefix(std::move(prefix)) {}

    void SetUp() override
    {
        g_nLanguage = 1;
        m_dir = std::filesystem::temp_directory_path() /
                (m_prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;

private:
    std::string m_prefix;
};
