// The Windows half of the whole-file writer.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <system_error>

#include "platform/file_writer.h"
#include "platform/file_writer_internal.h"

namespace platform
{

namespace fs = std::filesystem;
using file_writer_detail::SystemError;

namespace
{

std::error_code LastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Closes the handle it holds when it goes.
class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (Valid())
            ::CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

    // Closes the handle held (if any) and holds `handle` instead.
    void Reset(HANDLE handle)
    {
        if (Valid())
            ::CloseHandle(m_handle);
        m_handle = handle;
    }

    // Flushes the file to the disk and closes it; false (last error set)
    // when either fails.
    bool FlushAndClose()
    {
        const bool flushed = ::FlushFileBuffers(m_handle) != 0;
        const DWORD flushError = ::GetLastError();
        const bool closed = ::CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        if (!flushed)
            ::SetLastError(flushError);
        return flushed && closed;
    }

private:
    HANDLE m_handle;
};

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The file an output names once its links are followed, and whether it
// exists. A directory, a device (CON, NUL, a pipe) and anything else that is
// no file on a disk are refused.
std::optional<FileWriteError> Resolve(const fs::path& target, fs::path& file, bool& bExists)
{
    // No access rights asked: this follows links and opens also a file that
    // others hold open. FILE_FLAG_BACKUP_SEMANTICS opens directories too.
    FileHandle handle(::CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Valid())
    {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return SystemError(target, {static_cast<int>(error), std::system_category()});
        file = target;
        bExists = false;
        return std::nullopt;
    }
    if (::GetFileType(handle.Get()) != FILE_TYPE_DISK)
        return FileWriteError{FileWriteFault::NotRegularFile, target, {}};
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!::GetFileInformationByHandle(handle.Get(), &information))
        return SystemError(target, LastError());
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileWriteError{FileWriteFault::Directory, target, {}};

    std::wstring path(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(handle.Get(), path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size())
    {
        path.resize(length); // the length asked for includes the terminating null
        length = ::GetFinalPathNameByHandleW(handle.Get(), path.data(), static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size())
        return SystemError(target, LastError());
    path.resize(length);
    file = path;
    bExists = true;
    return std::nullopt;
}

// The fallback for a directory that refuses new files: the target itself is
// emptied, written and flushed.
std::optional<FileWriteError> WriteInPlace(const fs::path& target, const fs::path& file, std::string_view bytes)
{
    FileHandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid() || !WriteAll(handle.Get(), bytes) || !handle.FlushAndClose())
        return SystemError(target, LastError());
    return std::nullopt;
}

} // namespace

std::optional<FileWriteError> WriteWholeFile(const fs::path& target, std::string_view bytes)
{
    fs::path file;
    bool bExists = false;
    if (auto error = Resolve(target, file, bExists))
        return error;
    const fs::path directory = file.has_parent_path() ? file.parent_path() : fs::path(L".");

    // CREATE_NEW never opens a name that anything already holds; such a
    // name is only drawn again.
    fs::path temporary;
    FileHandle handle(INVALID_HANDLE_VALUE);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < file_writer_detail::kNameAttempts; ++attempt)
    {
        temporary = directory / file_writer_detail::TemporaryName(file.filename().native());
        HANDLE created =
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE)
        {
            handle.Reset(created);
            break;
        }
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    if (!handle.Valid())
    {
        if (error == ERROR_ACCESS_DENIED && bExists)
            return WriteInPlace(target, file, bytes);
        return SystemError(target, {static_cast<int>(error), std::system_category()});
    }

    // ReplaceFileW gives the new file the old one's attributes, security
    // (owner and permissions) and creation time; a new file is moved into
    // place with its metadata written through to the disk.
    const bool bWritten = WriteAll(handle.Get(), bytes) && handle.FlushAndClose();
    const bool bReplaced =
        bWritten && (bExists ? ::ReplaceFileW(file.c_str(), temporary.c_str(), nullptr,
                                              REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                                              nullptr) != 0
                             : ::MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH) != 0);
    if (!bReplaced)
    {
        const std::error_code code = LastError();
        handle.Reset(INVALID_HANDLE_VALUE); // an open file cannot be deleted
        ::DeleteFileW(temporary.c_str());
        return SystemError(target, code);
    }
    return std::nullopt;
}

} // namespace platform
