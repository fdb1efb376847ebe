// The whole-file writer on a real file system: what it refuses, what it
// keeps of the file it replaces, and that a reader or a failure never meets
// anything but the old file or the complete new one.

#include "platform/file_writer.h"

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <thread>
#include <vector>

using namespace platform;

namespace
{

namespace fs = std::filesystem;

class FileWriter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kartora-writer-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        fs::permissions(m_dir, fs::perms::owner_all);
        fs::remove_all(m_dir);
    }

    fs::path Path(const std::string& name) const { return m_dir / name; }

    static std::string Read(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static void Write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // The names in `dir`, to see that nothing was left beside a file.
    static std::set<std::string> Names(const fs::path& dir)
    {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path m_dir;
};

fs::file_type TypeOf(const fs::path& path)
{
    return fs::symlink_status(path).type();
}

TEST_F(FileWriter, AnOutputThatIsNoRegularFileIsRefusedAndLeftAsItWas)
{
    // Fault pinned: a device node, a FIFO or a link to one was replaced by a regular file.
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
    fs::create_symlink("fifo", Path("link-to-fifo"));
    fs::create_directory(Path("dir"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Path("socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    // A link to standard output as the program sees it: here a pipe.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), Path("link-to-stdout"));
    // A copy of /dev/null needs the right to make device nodes.
    const bool bDevice = ::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    struct Row
    {
        const char* name;
        fs::file_type type;
        FileWriteFault fault;
    };
    std::vector<Row> rows = {
        {"dir", fs::file_type::directory, FileWriteFault::Directory},
        {"fifo", fs::file_type::fifo, FileWriteFault::NotRegularFile},
        {"link-to-fifo", fs::file_type::symlink, FileWriteFault::NotRegularFile},
        {"socket", fs::file_type::socket, FileWriteFault::NotRegularFile},
        {"link-to-stdout", fs::file_type::symlink, FileWriteFault::NotRegularFile},
    };
    if (bDevice)
        rows.push_back({"null", fs::file_type::character, FileWriteFault::NotRegularFile});
    const std::set<std::string> before = Names(m_dir);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        const auto checked = CheckReplaceableFile(Path(row.name));
        ASSERT_TRUE(checked.has_value());
        EXPECT_EQ(checked->fault, row.fault);
        const auto written = WriteWholeFile(Path(row.name), "TYPE:       RASTERMAP\r\n");
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(written->fault, row.fault);
        EXPECT_EQ(written->file, Path(row.name));
        EXPECT_EQ(TypeOf(Path(row.name)), row.type);
    }
    EXPECT_EQ(Names(m_dir), before);
    ::close(sock);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

TEST_F(FileWriter, ALinkIsWrittenThroughToItsFileAndStaysALink)
{
    // Fault pinned: a link as output was replaced by a regular file and the file it named kept its old text.
    fs::create_directories(Path("maps"));
    Write(Path("maps/harbour.CAL"), "old");
    fs::create_symlink("maps/harbour.CAL", Path("current.CAL")); // relative to the link's directory
    fs::create_symlink(Path("maps/new.CAL"), Path("dangling.CAL"));

    ASSERT_FALSE(WriteWholeFile(Path("current.CAL"), "new bytes"));
    ASSERT_FALSE(WriteWholeFile(Path("dangling.CAL"), "first bytes"));
    EXPECT_EQ(TypeOf(Path("current.CAL")), fs::file_type::symlink);
    EXPECT_EQ(Read(Path("maps/harbour.CAL")), "new bytes");
    EXPECT_EQ(TypeOf(Path("dangling.CAL")), fs::file_type::symlink);
    EXPECT_EQ(Read(Path("maps/new.CAL")), "first bytes");
    EXPECT_EQ(Names(m_dir), (std::set<std::string>{"current.CAL", "dangling.CAL", "maps"}));
    EXPECT_EQ(Names(Path("maps")), (std::set<std::string>{"harbour.CAL", "new.CAL"}));
}

TEST_F(FileWriter, ALinkPlantedAtTheOldTemporaryNameIsNeverWrittenThrough)
{
    // Fault pinned: the temporary file had a fixed name opened without O_EXCL, so a link there sent the text
    // into the file it named and left the output a link to it.
    Write(Path("victim"), "victim's text");
    fs::create_symlink("victim", Path("h.CAL.kartora-tmp"));
    ASSERT_FALSE(WriteWholeFile(Path("h.CAL"), "TYPE:"));
    EXPECT_EQ(Read(Path("victim")), "victim's text");
    EXPECT_EQ(TypeOf(Path("h.CAL")), fs::file_type::regular);
    EXPECT_EQ(Read(Path("h.CAL")), "TYPE:");
}

TEST_F(FileWriter, TheReplacedFilesPermissionsAndOwnerStay)
{
    // Fault pinned: replacing a file dropped its mode and owner (600 became 644, nobody became root).
    Write(Path("private.CAL"), "old");
    fs::permissions(Path("private.CAL"), fs::perms::owner_read | fs::perms::owner_write);
    Write(Path("shared.CAL"), "old");
    fs::permissions(Path("shared.CAL"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                            fs::perms::group_write | fs::perms::others_read);
    const passwd* nobody = ::getpwnam("nobody");
    const bool bGiveAway = ::geteuid() == 0 && nobody != nullptr;
    if (bGiveAway)
    {
        ASSERT_EQ(::chown(Path("shared.CAL").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }

    ASSERT_FALSE(WriteWholeFile(Path("private.CAL"), "new"));
    ASSERT_FALSE(WriteWholeFile(Path("shared.CAL"), "new"));
    EXPECT_EQ(fs::status(Path("private.CAL")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(Path("shared.CAL")).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                                fs::perms::group_read | fs::perms::group_write |
                                                                fs::perms::others_read);
    if (bGiveAway)
    {
        struct stat status = {};
        ASSERT_EQ(::stat(Path("shared.CAL").c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, nobody->pw_uid);
        EXPECT_EQ(status.st_gid, nobody->pw_gid);
    }

    // A new file gets what the process's umask leaves of rw-rw-rw-.
    const mode_t umaskBefore = ::umask(027);
    ASSERT_FALSE(WriteWholeFile(Path("new.CAL"), "new"));
    ::umask(umaskBefore);
    EXPECT_EQ(fs::status(Path("new.CAL")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileWriter, OutputNamesUpToTheLimitOf255BytesAreWritten)
{
    // Fault pinned: the temporary name (output name plus a suffix) passed 255 bytes for names of 244 to 255.
    std::string accented;
    while (accented.size() + 2 <= 253)
        accented += "\u00E9"; // two bytes each: the temporary name must not cut one in half
    for (const std::string& name : {std::string(255, 'h'), std::string(244, 'h'), accented + "hh"})
    {
        SCOPED_TRACE(name.size());
        const auto error = WriteWholeFile(Path(name), "TYPE:");
        ASSERT_FALSE(error) << error->reason;
        EXPECT_EQ(Read(Path(name)), "TYPE:");
        EXPECT_EQ(Names(m_dir), std::set<std::string>{name});
        fs::remove(Path(name));
    }
}

TEST_F(FileWriter, AFailedWriteLeavesTheOldFileAndNothingBesideAndNamesTheTargetAndReason)
{
    // Fault pinned: a failure named the temporary file, without the system's reason.
    Write(Path("h.CAL"), "old contents");
    // A file size limit makes the write itself fail (EFBIG), for the superuser too.
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = WriteWholeFile(Path("h.CAL"), "longer new contents");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->fault, FileWriteFault::System);
    EXPECT_EQ(error->file, Path("h.CAL"));
    EXPECT_EQ(error->reason, "File too large");
    EXPECT_EQ(Read(Path("h.CAL")), "old contents");
    EXPECT_EQ(Names(m_dir), std::set<std::string>{"h.CAL"});

    const auto missing = WriteWholeFile(Path("gone/h.CAL"), "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->file, Path("gone/h.CAL"));
    EXPECT_EQ(missing->reason, "No such file or directory");
}

TEST_F(FileWriter, ThreeWritersAndAReaderOfOneFileMeetOnlyWholeFiles)
{
    // Fault pinned: writers shared one temporary name, so a reader saw empty files and writers failed.
    constexpr int kRounds = 300;
    const fs::path target = Path("shared.CAL");
    std::vector<std::string> contents;
    for (char fill : {'o', 'a', 'b', 'c'}) // the old file, then one per writer
        contents.push_back(std::string(16 * 1024, fill) + "\r\n");
    Write(target, contents[0]);

    std::atomic<int> failures = 0;
    std::vector<std::thread> writers;
    for (int w = 1; w <= 3; ++w)
    {
        writers.emplace_back(
            [&, w]
            {
                for (int round = 0; round < kRounds; ++round)
                {
                    if (WriteWholeFile(target, contents[static_cast<std::size_t>(w)]))
                        ++failures;
                }
            });
    }
    std::atomic<bool> bWritersDone = false;
    int reads = 0;
    int broken = 0;
    std::thread reader(
        [&]
        {
            while (!bWritersDone)
            {
                const std::string seen = Read(target);
                ++reads;
                if (std::find(contents.begin(), contents.end(), seen) == contents.end())
                    ++broken;
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    bWritersDone = true;
    reader.join();

    EXPECT_EQ(failures, 0);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    EXPECT_GT(reads, 0);
    EXPECT_EQ(Names(m_dir), std::set<std::string>{"shared.CAL"});
}

// Runs `checks` without the superuser's rights (as "nobody", in a child
// process, when the test runs as root) and returns what it returned.
int WithoutPrivileges(const std::function<int()>& checks)
{
    if (::geteuid() != 0)
        return checks();
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr)
        return -1;
    const pid_t child = ::fork();
    if (child == 0)
    {
        const bool bDropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
        // _exit: the child must not run the test program's exit handlers.
        ::_exit(bDropped ? checks() : 100);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(FileWriter, ADirectoryThatRefusesNewFilesIsWrittenInPlaceOrRefusedWithTheReason)
{
    // A writable file in a directory the writer may not add to, a read-only file there, and a new file.
    Write(Path("writable.CAL"), "old");
    fs::permissions(Path("writable.CAL"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                              fs::perms::group_write | fs::perms::others_read |
                                              fs::perms::others_write);
    Write(Path("readonly.CAL"), "old");
    fs::permissions(Path("readonly.CAL"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // Searchable by everyone, writable by no one but the superuser.
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    const int failed = WithoutPrivileges(
        [this]
        {
            int bits = 0;
            if (WriteWholeFile(Path("writable.CAL"), "new bytes"))
                bits |= 1;
            const auto readonly = WriteWholeFile(Path("readonly.CAL"), "new bytes");
            if (!readonly || readonly->reason != "Permission denied" || readonly->file != Path("readonly.CAL"))
                bits |= 2;
            const auto created = WriteWholeFile(Path("new.CAL"), "new bytes");
            if (!created || created->reason != "Permission denied")
                bits |= 4;
            return bits;
        });
    EXPECT_EQ(failed, 0) << "1: the writable file, 2: the read-only file, 4: the new file";
    EXPECT_EQ(Read(Path("writable.CAL")), "new bytes");
    EXPECT_EQ(Read(Path("readonly.CAL")), "old");
    EXPECT_EQ(Names(m_dir), (std::set<std::string>{"readonly.CAL", "writable.CAL"}));
}

} // namespace
