// Memory for decoded maps, and the machine's memory that bounds the default
// budget of a decoded map.
//
// Images are allocated as QImage allocates them, in ordinary pages. Offering
// large images to the kernel as transparent huge pages was tried: on the
// virtual machines measured here a 1.2 GB map then took 0.5 to 4.3 s to be
// read, depending on whether the host had backed the huge pages before,
// against a steady 0.8 s in ordinary pages, as long as a plain read of the
// file into a new buffer.
#include "platform/bitmap/bmp_layout.h"

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace bmp_detail
{

QImage AllocateBitmapImage(int width, int height, QImage::Format format)
{
    return QImage(width, height, format);
}

std::uint64_t PhysicalMemoryBytes()
{
#if defined(Q_OS_WIN)
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#elif defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
#else
    return 0;
#endif
}

} // namespace bmp_detail
