#include "calibration/kmz.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "calibration/kml.h"

namespace calibration
{

namespace
{

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string ErrorText(zip_error_t& error)
{
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool EndsWithKml(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string end(name.substr(name.size() - 4));
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".kml";
}

// The overlay of the archive read from `source`. An open archive owns its
// source; when opening fails the source is still ours to free.
Exchange<Georeference> ReadArchive(zip_source_t* source)
{
    zip_error_t error;
    zip_error_init(&error);
    Archive archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive)
    {
        zip_source_free(source);
        return ExchangeError{ExchangeFault::NotZip, ErrorText(error)};
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    zip_int64_t chosen = -1;
    for (zip_int64_t i = 0; i < count; ++i)
    {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (name == nullptr)
            continue;
        if (std::string_view(name) == "doc.kml")
        {
            chosen = i;
            break;
        }
        if (chosen < 0 && EndsWithKml(name))
            chosen = i;
    }
    if (chosen < 0)
        return ExchangeError{ExchangeFault::NoKmlInZip};

    const std::unique_ptr<zip_file_t, EntryCloser> entry(
        zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(chosen), 0));
    if (!entry)
        return ExchangeError{ExchangeFault::NotZip, zip_strerror(archive.get())};
    // Read no more than the bound whatever the entry claims.
    std::string kml;
    char buffer[65536];
    for (;;)
    {
        const zip_int64_t got = zip_fread(entry.get(), buffer, sizeof buffer);
        if (got < 0)
            return ExchangeError{ExchangeFault::NotZip, zip_file_strerror(entry.get())};
        if (got == 0)
            break;
        kml.append(buffer, static_cast<std::size_t>(got));
        if (kml.size() > kMaxKmlBytes)
            return ExchangeError{ExchangeFault::TooLarge, std::to_string(kMaxKmlBytes >> 20)};
    }
    return ReadKml(kml);
}

} // namespace

Exchange<std::string> KmzBytes(std::string_view kml, std::string_view imageName, std::string_view image)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (memory == nullptr)
        return ExchangeError{ExchangeFault::WriteFailed, ErrorText(error)};
    // The archive writes into `memory`, which must outlive its closing.
    zip_source_keep(memory);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    if (archive == nullptr)
    {
        zip_source_free(memory);
        return ExchangeError{ExchangeFault::WriteFailed, ErrorText(error)};
    }
    const auto add = [&](std::string_view name, std::string_view bytes, zip_int32_t method)
    {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (source == nullptr)
            return false;
        const zip_int64_t index =
            zip_file_add(archive, std::string(name).c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0)
        {
            zip_source_free(source);
            return false;
        }
        return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), method, 0) == 0;
    };
    if (!add("doc.kml", kml, ZIP_CM_DEFLATE) || !add(imageName, image, ZIP_CM_STORE) || zip_close(archive) != 0)
    {
        const std::string reason = zip_strerror(archive);
        zip_discard(archive);
        zip_source_free(memory);
        return ExchangeError{ExchangeFault::WriteFailed, reason};
    }
    std::string bytes;
    zip_stat_t stat;
    if (zip_source_stat(memory, &stat) == 0 && zip_source_open(memory) == 0)
    {
        bytes.resize(static_cast<std::size_t>(stat.size));
        const zip_int64_t got = zip_source_read(memory, bytes.data(), stat.size);
        zip_source_close(memory);
        if (got != static_cast<zip_int64_t>(stat.size))
            bytes.clear();
    }
    zip_source_free(memory);
    if (bytes.empty())
        return ExchangeError{ExchangeFault::WriteFailed, "zip"};
    return bytes;
}

Exchange<Georeference> ReadKmz(std::string_view bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr)
        return ExchangeError{ExchangeFault::NotZip, ErrorText(error)};
    zip_error_fini(&error);
    return ReadArchive(source);
}

Exchange<Georeference> ReadKmzFile(const std::filesystem::path& path)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.string().c_str(), 0, -1, &error);
    if (source == nullptr)
        return ExchangeError{ExchangeFault::NotZip, ErrorText(error)};
    zip_error_fini(&error);
    return ReadArchive(source);
}

} // namespace calibration
