#pragma once
// Writing a whole file so that it is either the old file or the complete new
// one, whatever happens meanwhile (a failed write, a full disk, a killed
// process, a power cut, other writers of the same file). Standard C++ and the
// system's file calls only: both programs use it, and kartora-cli builds
// without Qt.
//
// The new bytes go into a temporary file created exclusively beside the
// file they replace, are synced to the disk, take over the old file's
// permissions (and owner, where the process may set it) and are renamed over
// it; the directory is synced too before success is reported. An output that
// is a symbolic link is written through: the file it names is replaced and
// the link stays.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform
{

/// Why a file was not written.
enum class FileWriteFault
{
    Directory,      ///< the output, or the file its link names, is a directory
    NotRegularFile, ///< ... is a device, a FIFO, a socket or another non-regular file
    System,         ///< the system refused a step; `reason` says why
};

struct FileWriteError
{
    FileWriteFault fault;
    std::filesystem::path file; ///< the output as the caller named it, never a temporary file
    std::string reason;         ///< the system's text for the error (System only)
};

/// Checks, without writing, that `target` can take a new file: it does not
/// exist (a link to nothing included), or it is a regular file or a link to
/// one. Otherwise the error names the fault; a path the system cannot look
/// at (a directory without search permission, a loop of links) is a System
/// fault.
std::optional<FileWriteError> CheckReplaceableFile(const std::filesystem::path& target);

/// Writes `bytes` as the whole content of `target`: the file then holds
/// exactly `bytes`, or, on failure, what it held before (nothing is left
/// beside it). An existing target must pass CheckReplaceableFile.
///
/// When no temporary file can be created because the directory refuses
/// (permission denied) while the target exists and may be written, the
/// target is written in place instead (emptied, written, synced): the one
/// case in which a failure can leave it damaged.
std::optional<FileWriteError> WriteWholeFile(const std::filesystem::path& target, std::string_view bytes);

} // namespace platform
