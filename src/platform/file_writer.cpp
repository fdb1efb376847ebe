// The system-independent half of the whole-file writer: the check of an
// output and the names of temporary files.
#include "platform/file_writer.h"

#include <cstdint>
#include <random>
#include <system_error>

#include "platform/file_writer_internal.h"

namespace platform
{

namespace fs = std::filesystem;

namespace file_writer_detail
{

namespace
{

// Lower case only: Windows' file systems do not tell cases apart.
constexpr std::string_view kNameCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kUniqueLength = 8; // 36^8, about 2.8e12 names

std::string UniqueText()
{
    // Each thread draws from its own generator, seeded from the system's
    // random source, so that writers in threads and processes draw apart.
    thread_local std::mt19937_64 s_random = []
    {
        std::random_device source;
        return std::mt19937_64((static_cast<std::uint64_t>(source()) << 32) ^ source());
    }();
    std::uniform_int_distribution<std::size_t> pick(0, kNameCharacters.size() - 1);
    std::string text(kUniqueLength, ' ');
    for (char& c : text)
        c = kNameCharacters[pick(s_random)];
    return text;
}

// True when `unit` continues a character that began before it: a UTF-8
// continuation byte, or the low half of a UTF-16 surrogate pair.
template <class Unit> bool ContinuesACharacter(Unit unit)
{
    if constexpr (sizeof(Unit) == 1)
        return (static_cast<unsigned char>(unit) & 0xC0) == 0x80;
    else
        return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

fs::path::string_type TemporaryName(const fs::path::string_type& fileName)
{
    const std::string suffix = ".kartora-" + UniqueText();
    fs::path::string_type name = fileName;
    const std::size_t room = kMaxNameUnits - suffix.size();
    if (name.size() > room)
    {
        std::size_t cut = room;
        while (cut > 0 && ContinuesACharacter(name[cut]))
            --cut;
        name.resize(cut);
    }
    name.append(suffix.begin(), suffix.end()); // ASCII: the same in either width
    return name;
}

FileWriteError SystemError(const fs::path& file, const std::error_code& code)
{
    return FileWriteError{FileWriteFault::System, file, code.message()};
}

} // namespace file_writer_detail

std::optional<FileWriteError> CheckReplaceableFile(const fs::path& target)
{
    std::error_code code;
    const fs::file_status status = fs::status(target, code); // through links
    switch (status.type())
    {
    case fs::file_type::not_found:
    case fs::file_type::regular:
        return std::nullopt;
    case fs::file_type::directory:
        return FileWriteError{FileWriteFault::Directory, target, {}};
    case fs::file_type::none: // the system could not look (permission denied, a loop of links)
        return file_writer_detail::SystemError(target, code);
    default:
        return FileWriteError{FileWriteFault::NotRegularFile, target, {}};
    }
}

} // namespace platform
