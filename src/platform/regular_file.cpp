// Opening regular files only: the check by path, and on POSIX systems a
// non-blocking open whose handle is checked as well.
#include "platform/regular_file.h"

#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool IsRegularFile(const QString& path)
{
    // isFile() follows symbolic links and is false for directories, pipes,
    // sockets and devices.
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool OpenRegularFileForReading(QFile& file, QIODevice::OpenMode extraFlags)
{
    // The check by path comes first so that a device is never opened at all:
    // opening some devices has effects of its own (a tape rewinds).
    if (!IsRegularFile(file.fileName()))
        return false;
    const QIODevice::OpenMode mode = QIODevice::ReadOnly | extraFlags;
#if defined(Q_OS_UNIX)
    // The path may have been replaced since the check: open without waiting
    // for a writer, and look at what was actually opened.
    const QByteArray nativePath = QFile::encodeName(file.fileName());
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    const int flags = ::fcntl(fd, F_GETFL);
    // Reads of a regular file never wait anyway; the flag goes so that the
    // handle behaves as any other.
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || flags == -1 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1 || !file.open(fd, mode, QFileDevice::AutoCloseHandle))
    {
        ::close(fd);
        return false;
    }
    return true;
#else
    return file.open(mode);
#endif
}

CDeviceStreamBuf::int_type CDeviceStreamBuf::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    const qint64 got = m_device.read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
    if (got <= 0)
        return traits_type::eof();
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + got);
    return traits_type::to_int_type(*gptr());
}
