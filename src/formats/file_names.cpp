#include "formats/file_names.h"

namespace formats
{

std::string_view BaseName(std::string_view fileName)
{
    return fileName.substr(0, fileName.find('.'));
}

std::string_view FileTitle(std::string_view fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

std::string_view FileNameOfPath(std::string_view path)
{
#ifdef _WIN32
    constexpr std::string_view kSeparators = "/\\";
#else
    constexpr std::string_view kSeparators = "/";
#endif
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

} // namespace formats
