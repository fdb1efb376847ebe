#pragma once
// Single positions between WGS84 and the entry values of a format and datum,
// beside the reference dialog's converter: a converter of its own keeps the
// dialog's stored positions untouched, and the process-wide UTM parameters
// (which selecting a datum sets for that datum's ellipsoid) are as they were
// after every call, so the dialog's next UTM conversion uses its own datum.

#include <cstdint>
#include <memory>
#include <optional>

#include "conversion/entry_fields.h"

namespace conversion
{

/// A WGS84 position (degrees, east and north positive).
struct Wgs84Degrees
{
    double lon = 0.0;
    double lat = 0.0;
};

/// Keeps the process-wide UTM parameters while it lives and puts them back
/// when it ends.
class CUtmStateScope
{
public:
    CUtmStateScope();
    ~CUtmStateScope();
    CUtmStateScope(const CUtmStateScope&) = delete;
    CUtmStateScope& operator=(const CUtmStateScope&) = delete;

private:
    double m_a = 0.0;
    double m_f = 0.0;
    std::int32_t m_zoneOverride = 0;
};

class CPositionConverter
{
public:
    CPositionConverter();
    ~CPositionConverter();
    CPositionConverter(const CPositionConverter&) = delete;
    CPositionConverter& operator=(const CPositionConverter&) = delete;

    /// `position` in `format` and `datum` as both points of `values`, with
    /// the entry fields' rounding (the converter's from-WGS84 path, as the
    /// dialog shows a converted point). False when it cannot be expressed
    /// there (outside the UTM band, say); `values` then keep what they held.
    bool Express(Wgs84Degrees position, std::int32_t datum, std::int32_t format, EntryValues& values);

    /// Point 0 of `values` (`format`, `datum`) as a WGS84 position, or why it
    /// has none.
    std::optional<Wgs84Degrees> ToWgs84(const EntryValues& values, std::int32_t datum, std::int32_t format,
                                        std::optional<PositionFault>* fault = nullptr);

    /// Runs `work` with the converter (any datum it selects, any positions
    /// it stores stay its own); the UTM parameters are put back afterwards.
    template <class Work> auto Run(Work work)
    {
        const CUtmStateScope scope;
        return work(*m_converter);
    }

private:
    std::unique_ptr<CCoordConverter> m_converter;
};

} // namespace conversion
