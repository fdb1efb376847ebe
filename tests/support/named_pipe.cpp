#include "support/named_pipe.h"

#include <QFile>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CNamedPipe::CNamedPipe(const QString& path) : m_strPath(path)
{
    m_bMade = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (m_bMade)
        m_guard = std::thread([this] { Guard(); });
}

CNamedPipe::~CNamedPipe()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_stop.notify_one();
    if (m_guard.joinable())
        m_guard.join();
    if (m_bMade)
        QFile::remove(m_strPath);
}

void CNamedPipe::Guard()
{
    const QByteArray path = QFile::encodeName(m_strPath);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_bStop; }))
    {
        // A writer's open without waiting succeeds only while a reader has
        // the pipe open; it wakes a reader that waits in its own open.
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
        {
            ::close(fd);
            m_bReaderWaited = true;
        }
    }
}
