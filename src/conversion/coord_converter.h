#pragma once
// CCoordConverter: turns the entry values of both reference points into WGS84
// positions and back, for one input format and input map datum at a time.
//
// Conventions of the two-point arrays (all owned by the caller):
//  - [point][0] is longitude (or UTM easting), [point][1] latitude (or UTM
//    northing); point 0 is "Ref.Point 1", point 1 "Ref.Point 2".
//  - Magnitudes are never negative. Hemisphere flags: [point][0] 0 east,
//    1 west; [point][1] 0 north, 1 south. A UTM point's hemisphere is one
//    flag per point, 0 north, 1 south.
//  - UTM values are whole metres.
// Every operation handles point 0 first, then point 1, longitude before
// latitude. Positions are kept in radians on WGS84, east and north positive.
//
// A point whose datum shift or UTM conversion yields no position keeps its
// previous values: the stored WGS84 position in the to-WGS84 operations, and
// all of that point's outputs in the from-WGS84 operations. The to-WGS84
// operations also record why (Fault), so that a caller can tell the user
// which value to mend instead of going on with the old position.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "conversion/coord_types.h"
#include "conversion/error_window.h"

/// The entry value of a point most likely at fault when the point gets no
/// WGS84 position.
enum EntryValue : int
{
    VALUE_LONGITUDE, ///< degree formats: the longitude's degrees
    VALUE_LATITUDE,  ///< degree formats: the latitude's degrees
    VALUE_EASTING,
    VALUE_NORTHING,
    VALUE_ZONE,
};

/// Why a point got no WGS84 position: the value to mend and the catalogue
/// message that says what is wrong with it.
struct PositionFault
{
    EntryValue value;
    MessageId message;
};

class CCoordConverter
{
public:
    /// Takes ownership of the error window, then builds the datum table, then
    /// the ellipsoid table, and selects WGS84.
    explicit CCoordConverter(std::unique_ptr<IErrorWindow> errorWindow = std::make_unique<CTextErrorWindow>());
    virtual ~CCoordConverter();

    CCoordConverter(const CCoordConverter&) = delete;
    CCoordConverter& operator=(const CCoordConverter&) = delete;

    /// Selects the input map datum (MapDatum; any other value selects WGS84)
    /// and sets the UTM ellipsoid to that datum's ellipsoid.
    void SelectDatum(std::int32_t datum);
    std::int32_t GetDatum() const { return m_nMapDatum; }

    // Entry values to WGS84, in the selected datum. Each returns false when a
    // point got no position (that point keeps its previous one, and Fault
    // says why).
    bool DegreesToWgs84(const std::int32_t hemi[2][2], const double deg[2][2]);
    bool DegMinToWgs84(const std::int32_t hemi[2][2], const std::int32_t deg[2][2], const double min[2][2]);
    bool DegMinSecToWgs84(const std::int32_t hemi[2][2], const std::int32_t deg[2][2], const std::int32_t min[2][2],
                          const double sec[2][2]);
    bool UtmToWgs84(const std::int32_t south[2], const std::int32_t zone[2], const std::int32_t utm[2][2]);

    // WGS84 to entry values in the selected datum, with the entry fields'
    // rounding: degrees to 5 decimals, minutes in steps of 0.0005', seconds in
    // steps of 0.02", UTM cut to whole metres. Each returns false when a
    // point could not be expressed (that point's outputs keep their values).
    bool Wgs84ToDegrees(std::int32_t hemi[2][2], double deg[2][2]) const;
    bool Wgs84ToDegMin(std::int32_t hemi[2][2], std::int32_t deg[2][2], double min[2][2]) const;
    bool Wgs84ToDegMinSec(std::int32_t hemi[2][2], std::int32_t deg[2][2], std::int32_t min[2][2],
                          double sec[2][2]) const;
    bool Wgs84ToUtm(std::int32_t south[2], std::int32_t zone[2], std::int32_t utm[2][2]) const;

    /// Shifts (longitude, latitude) in radians between WGS84 and the selected
    /// local datum: `from` != 0 shifts local -> WGS84, `from` == 0 shifts
    /// WGS84 -> local, equal values return the pair unchanged. When the shift
    /// fails the pair comes back unchanged and `ok` (if given) is false.
    std::pair<double, double> ShiftDatum(double lon, double lat, std::int32_t from, std::int32_t to,
                                         bool* ok = nullptr) const;

    /// True when pixel x grows eastwards and pixel y (counted from the bottom
    /// row) northwards between the two points; equal x, y, longitudes or
    /// latitudes fail.
    bool CheckPixelRelation(const std::uint32_t pixel[2][2]) const;

    void ShowInputError(MessageId id) { m_wndError->ShowError(id); }
    void HideInputError() { m_wndError->HideError(); }
    void SaveErrorWindowPos() { m_wndError->SavePosition(); }

    /// The stored WGS84 position of `point` shifted into the selected datum
    /// (radians), a longitude that the shift carried beyond ±π taken back by
    /// a turn; false when it cannot be shifted or is no angle within one turn.
    bool LocalPosition(int point, double& lon, double& lat) const;

    /// Why `point` got no position in the last to-WGS84 operation; nothing
    /// when it got one (or before the first operation).
    const std::optional<PositionFault>& Fault(int point) const { return m_fault[point]; }

    /// The stored WGS84 position of `point`: [0] longitude, [1] latitude, radians.
    const double* Wgs84Position(int point) const { return m_dWgs84[point]; }
    IErrorWindow& ErrorWindow() { return *m_wndError; }

private:
    // Stores the entry angles of `point` (radians, local datum) as WGS84;
    // false (nothing stored, the fault recorded) when the shift fails.
    bool StoreWgs84(int point, double lon, double lat);
    // Forgets the faults of the last to-WGS84 operation.
    void ClearFaults();

    std::unique_ptr<IErrorWindow> m_wndError;
    std::optional<PositionFault> m_fault[2];
    double m_dWgs84[2][2] = {{0.0, 0.0}, {0.0, 0.0}};
    std::int32_t m_nEllipsoidIndex = 0;
    std::int32_t m_nMapDatum = DATUM_WGS84;
    std::int32_t m_nDatumIndex = 0;
};
