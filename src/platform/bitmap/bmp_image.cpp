// Memory for decoded maps.
//
// A large map is written once, front to back, right after it is allocated, so
// the cost of first touching its pages matters as much as the copy itself:
// with 4 KiB pages a 100 MB map takes about 25 000 page faults, which on a
// virtual machine measured ten times the time of copying the bytes. On Linux
// large images are therefore allocated on 2 MiB boundaries and offered to the
// kernel for transparent huge pages (a hint only; where the kernel declines,
// the memory is ordinary memory). Elsewhere, and for small images, QImage
// allocates as usual.
//
// The machine's physical memory bounds the default budget of a decoded map.
#include "platform/bitmap/bmp_layout.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif
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

namespace
{

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;       // bytes
constexpr qsizetype kHugePageThreshold = qsizetype{16} << 20; // bytes; below this the faults cost little

void FreeImageMemory(void* memory)
{
    std::free(memory);
}
#endif

} // namespace

QImage AllocateBitmapImage(int width, int height, QImage::Format format)
{
#if defined(__linux__)
    const qsizetype bytesPerLine = (qsizetype{width} * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const qsizetype bytes = bytesPerLine * height;
    if (bytes >= kHugePageThreshold)
    {
        const std::size_t rounded = (static_cast<std::size_t>(bytes) + kHugePage - 1) / kHugePage * kHugePage;
        void* memory = std::aligned_alloc(kHugePage, rounded);
        if (!memory)
            return QImage();
        madvise(memory, rounded, MADV_HUGEPAGE);
        // The image owns the memory: the cleanup function frees it with the
        // last QImage that shares it.
        QImage image(static_cast<uchar*>(memory), width, height, bytesPerLine, format, FreeImageMemory, memory);
        if (image.isNull())
            std::free(memory);
        return image;
    }
#endif
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
