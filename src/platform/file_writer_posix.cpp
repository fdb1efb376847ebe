// The POSIX half of the whole-file writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/file_writer.h"
#include "platform/file_writer_internal.h"

namespace platform
{

namespace fs = std::filesystem;
using file_writer_detail::SystemError;

namespace
{

// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinks = 40;

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

// The file that an output names once its links are followed.
struct Destination
{
    fs::path path;
    bool bExists = false;
    struct stat status = {}; // when it exists
};

std::optional<std::error_code> ReadLink(const fs::path& link, fs::path& content)
{
    std::string text(256, '\0');
    for (;;)
    {
        const ssize_t n = ::readlink(link.c_str(), text.data(), text.size());
        if (n < 0)
            return LastError();
        if (static_cast<std::size_t>(n) < text.size())
        {
            text.resize(static_cast<std::size_t>(n));
            content = text;
            return std::nullopt;
        }
        text.resize(text.size() * 2); // the content may have been cut
    }
}

// Follows the links of `target` one by one, as the kernel would, to the
// file to replace or to the place where a new file goes.
std::optional<std::error_code> Resolve(const fs::path& target, Destination& destination)
{
    fs::path path = target;
    for (int links = 0; links <= kMaxLinks; ++links)
    {
        struct stat status = {};
        if (::lstat(path.c_str(), &status) != 0)
        {
            if (errno != ENOENT)
                return LastError();
            destination.path = path;
            destination.bExists = false;
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode))
        {
            destination.path = path;
            destination.bExists = true;
            destination.status = status;
            return std::nullopt;
        }
        fs::path content;
        if (const auto code = ReadLink(path, content))
            return code;
        // A relative link counts from the directory that holds it.
        path = content.is_absolute() ? content : path.parent_path() / content;
    }
    return std::error_code(ELOOP, std::generic_category());
}

// Closes the descriptor it holds when it goes.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }

    // Syncs the file to the disk and closes it; false (errno set) when
    // either fails, since a failed close can mean lost data too.
    bool SyncAndClose()
    {
        int result = 0;
        while ((result = ::fsync(m_fd)) != 0 && errno == EINTR)
        {
        }
        const int syncError = errno;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        if (result != 0)
            errno = syncError;
        return result == 0 && closed;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The old file's owner and permissions on the new one, as far as the process
// may set them: only the superuser gives a file away, a member of a group
// may give it that group, and some file systems hold no owners or modes at
// all. The new file starts out readable by its owner only, so whatever
// cannot be taken over leaves it no more open than the old one.
void TakeOverOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
    {
        // The new file keeps the process's owner and group.
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0)
    {
        // The new file keeps the owner-only mode it was created with.
    }
}

// Syncs the directory, so that the rename survives a power cut too.
bool SyncDirectory(const fs::path& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a directory and say so with EINVAL;
    // there the rename is as safe as they make it.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int syncError = errno;
    ::close(fd);
    errno = syncError;
    return synced;
}

// The fallback for a directory that refuses new files: the target itself is
// emptied, written and synced.
std::optional<FileWriteError> WriteInPlace(const fs::path& target, const fs::path& file, std::string_view bytes)
{
    // O_NONBLOCK: a FIFO put in the file's place meanwhile must not block
    // the open; it makes no difference to a regular file.
    FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0)
        return SystemError(target, LastError());
    struct stat status = {};
    if (::fstat(fd.Get(), &status) != 0)
        return SystemError(target, LastError());
    if (!S_ISREG(status.st_mode))
        return FileWriteError{FileWriteFault::NotRegularFile, target, {}};
    if (::ftruncate(fd.Get(), 0) != 0 || !WriteAll(fd.Get(), bytes) || !fd.SyncAndClose())
        return SystemError(target, LastError());
    return std::nullopt;
}

// A directory, a device, a FIFO or a socket is no file to replace.
std::optional<FileWriteError> RefuseNonRegular(const fs::path& target, const struct stat& status)
{
    if (S_ISREG(status.st_mode))
        return std::nullopt;
    const bool bDirectory = S_ISDIR(status.st_mode);
    return FileWriteError{bDirectory ? FileWriteFault::Directory : FileWriteFault::NotRegularFile, target, {}};
}

} // namespace

std::optional<FileWriteError> WriteWholeFile(const fs::path& target, std::string_view bytes)
{
    // The kernel's look through the links first: a link into /proc/self/fd
    // names a terminal or a pipe that no link followed by hand would find.
    struct stat status = {};
    if (::stat(target.c_str(), &status) == 0)
    {
        if (auto refused = RefuseNonRegular(target, status))
            return refused;
    }
    else if (errno != ENOENT)
        return SystemError(target, LastError());

    Destination destination;
    if (const auto code = Resolve(target, destination))
        return SystemError(target, *code);
    if (destination.bExists)
    {
        if (auto refused = RefuseNonRegular(target, destination.status))
            return refused;
    }
    const fs::path directory = destination.path.has_parent_path() ? destination.path.parent_path() : fs::path(".");

    // O_EXCL with O_NOFOLLOW: a name that anything (a link planted there
    // included) already holds is never opened, only drawn again. A new file
    // takes the mode the process's umask gives; one that replaces an old
    // file takes the old file's mode below.
    const mode_t mode = destination.bExists ? (S_IRUSR | S_IWUSR) : 0666;
    fs::path temporary;
    int created = -1;
    for (int attempt = 0; attempt < file_writer_detail::kNameAttempts && created < 0; ++attempt)
    {
        temporary = directory / file_writer_detail::TemporaryName(destination.path.filename().native());
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (created < 0 && errno != EEXIST)
            break;
    }
    if (created < 0)
    {
        if (errno == EACCES && destination.bExists)
            return WriteInPlace(target, destination.path, bytes);
        return SystemError(target, LastError());
    }

    FileDescriptor fd(created);
    if (destination.bExists)
        TakeOverOwnerAndMode(fd.Get(), destination.status);
    if (!WriteAll(fd.Get(), bytes) || !fd.SyncAndClose() || ::rename(temporary.c_str(), destination.path.c_str()) != 0)
    {
        const std::error_code code = LastError();
        ::unlink(temporary.c_str());
        return SystemError(target, code);
    }
    // The new file is in place; until the directory is synced a power cut
    // could still bring back the old one.
    if (!SyncDirectory(directory))
        return SystemError(target, LastError());
    return std::nullopt;
}

} // namespace platform
