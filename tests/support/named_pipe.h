#pragma once
// A named pipe for tests of code that must refuse it without opening it.
//
// Code that opens a named pipe for reading waits until a writer comes, so a
// test of a refusal that does not happen would hang. While the pipe exists a
// guard thread looks for such a waiting reader every few milliseconds; when
// it finds one it opens the pipe for writing and closes it at once, which
// lets the reader go on (it reads an empty file), and records it. The test
// then fails on ReaderWaited() instead of hanging. POSIX only.

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CNamedPipe
{
public:
    /// Makes the pipe at `path` (nothing may exist there).
    explicit CNamedPipe(const QString& path);
    /// Stops the guard and removes the pipe.
    ~CNamedPipe();
    CNamedPipe(const CNamedPipe&) = delete;
    CNamedPipe& operator=(const CNamedPipe&) = delete;

    /// False when the pipe could not be made.
    bool IsValid() const { return m_bMade; }
    /// True once a reader opened the pipe and waited for a writer.
    bool ReaderWaited() const { return m_bReaderWaited; }

private:
    void Guard();

    QString m_strPath;
    bool m_bMade = false;
    std::atomic<bool> m_bReaderWaited = false;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_bStop = false;
    std::thread m_guard;
};
