#pragma once
// What the system-specific halves of the whole-file writer share.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_writer.h"

namespace platform
{

namespace file_writer_detail
{

/// The longest file name the file systems take: 255 bytes of UTF-8 (POSIX)
/// or 255 UTF-16 code units (Windows).
constexpr std::size_t kMaxNameUnits = 255;

/// How often a temporary name is drawn before the writer gives up: another
/// file holds a drawn name only by chance, or because someone plants them.
constexpr int kNameAttempts = 100;

/// The name of a temporary file beside the file `fileName`: that name, cut
/// at a character boundary where the whole would not fit, then ".kartora-"
/// and eight letters and digits drawn afresh on every call. The name never
/// ends like the file's own (".CAL"), so nothing takes it for one.
std::filesystem::path::string_type TemporaryName(const std::filesystem::path::string_type& fileName);

/// A System fault of `file` with the system's text for `code`.
FileWriteError SystemError(const std::filesystem::path& file, const std::error_code& code);

} // namespace file_writer_detail

} // namespace platform
