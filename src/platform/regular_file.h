#pragma once
// Opening a file the user named (a map, a reference file, an export, the
// help file) without ever waiting on something that is not a file.
//
// A path may name a directory, a named pipe, a socket or a device. Opening a
// named pipe for reading waits until another program opens it for writing,
// and reading a device such as a terminal or /dev/zero may never end: the
// program would hang with the user's work in it. Only regular files, and
// symbolic links to them, are opened.

#include <QFile>
#include <QString>

#include <array>
#include <streambuf>

/// True when `path` names a regular file or a symbolic link to one; false
/// for a directory, a named pipe, a socket, a device, a missing file and an
/// empty path.
bool IsRegularFile(const QString& path);

/// Opens `file` (its name set, not open) read-only, with `extraFlags` (for
/// example QIODevice::Unbuffered), when it is a regular file. False, with
/// `file` closed, for anything else and when it cannot be opened. Never
/// waits: on POSIX systems the file is opened without blocking and the open
/// handle's type is checked too, so a path swapped for a pipe between the
/// check and the open is refused as well.
bool OpenRegularFileForReading(QFile& file, QIODevice::OpenMode extraFlags = {});

/// A std::streambuf reading an open device, for the readers that take a
/// std::istream. It reads ahead in blocks and never seeks.
class CDeviceStreamBuf final : public std::streambuf
{
public:
    explicit CDeviceStreamBuf(QIODevice& device) : m_device(device) {}

protected:
    int_type underflow() override;

private:
    QIODevice& m_device;
    std::array<char, 16 * 1024> m_buffer{}; // bytes read ahead
};
