// Fuzz target: the imports of other programs' calibrations (world file,
// OziExplorer .map, KML, KMZ) on arbitrary bytes, and the placing of their
// reference points on a map.
//
// Input: byte 0 selects the kind (modulo 4), bytes 1-4 the map's width and
// height (16 bits each, 0 taken as 1), the rest is the file.
//
// Invariants: a refusal has a sentence in both languages; an accepted file
// gives two finite positions, and reference points that define a
// calibration, lie on whole pixels and, for the file's own points, on the
// map, with positions within 180° and 90°.
#include "calibration/import_source.h"
#include "messages/messages.h"

#include "fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace calibration;
    if (size < 5)
        return 0;
    const auto kind = static_cast<SourceKind>(data[0] % 4);
    const MapSize map{std::max(1, data[1] | data[2] << 8), std::max(1, data[3] | data[4] << 8)};
    const std::string_view file(reinterpret_cast<const char*>(data + 5), size - 5);

    const Exchange<Georeference> read = ReadGeoreference(kind, file);
    if (const auto* error = std::get_if<ExchangeError>(&read))
    {
        for (const std::int32_t language : {0, 1})
        {
            g_nLanguage = language;
            FUZZ_CHECK(!ExchangeErrorText(*error).empty(), "every refusal has a sentence");
        }
        return 0;
    }
    const Georeference& g = std::get<Georeference>(read);
    for (int p = 0; p < 2; ++p)
        FUZZ_CHECK(std::isfinite(g.position[p].lon) && std::isfinite(g.position[p].lat) && std::isfinite(g.u[p]) &&
                       std::isfinite(g.v[p]),
                   "an accepted file gives finite points");

    const Exchange<Calibration> placed = PlaceReferencePoints(g, map);
    if (std::holds_alternative<ExchangeError>(placed))
        return 0;
    const Calibration& c = std::get<Calibration>(placed);
    FUZZ_CHECK(c.IsDefined(), "the reference points define a calibration");
    for (int p = 0; p < 2; ++p)
    {
        FUZZ_CHECK(c.pixel[p].x == std::floor(c.pixel[p].x) && c.pixel[p].y == std::floor(c.pixel[p].y),
                   "reference pixels are whole");
        if (g.bKeepPoints)
            FUZZ_CHECK(c.pixel[p].x >= 0 && c.pixel[p].x < map.width && c.pixel[p].y >= 1 && c.pixel[p].y <= map.height,
                       "the file's own points lie on the map");
        FUZZ_CHECK(std::fabs(c.position[p].lon) <= 180.0 && std::fabs(c.position[p].lat) <= 90.0,
                   "positions lie within 180 and 90 degrees");
    }
    return 0;
}
