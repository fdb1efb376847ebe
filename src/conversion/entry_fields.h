#pragma once
// The entry fields of the reference points: their limits and decimals, the
// check a typed text passes before it reaches a member, and the hand-over of
// both points' values to the converter in each entry format.

#include <cstdint>
#include <optional>
#include <string_view>

#include "conversion/coord_converter.h"
#include "messages/messages.h"

namespace conversion
{

// Limits (inclusive) and shown decimals of the numeric fields.
constexpr double kMaxLongitudeDegrees = 180.0;
constexpr double kMaxLatitudeDegrees = 90.0;
constexpr double kMaxMinutes = 60.0;
constexpr double kMaxSeconds = 60.0;
constexpr std::int32_t kMaxEasting = 900000;    // m
constexpr std::int32_t kMaxNorthing = 10000000; // m
constexpr std::int32_t kMaxZone = 60;
constexpr std::int32_t kNoUpperLimit = 0;   // pixel fields
constexpr double kMinHeightDiff = -10000.0; // m
constexpr double kMaxHeightDiff = 10000.0;  // m

constexpr int kDegreeDecimals = 6;
constexpr int kMinuteDecimals = 4;
constexpr int kSecondDecimals = 2;
constexpr int kHeightDiffDecimals = 2;

/// The longest text a field takes, in characters (UTF-8 code points, blanks
/// included); a longer one is refused with MSG_STRING_TOO_LONG rather than
/// read in part.
constexpr std::size_t kMaxFieldText = 63;

/// Checks the text of a decimal field with inclusive limits. On success
/// stores the value in `out` and returns nothing; otherwise returns the
/// message to show (MSG_STRING_TOO_LONG, MSG_FORBIDDEN_CHARS,
/// MSG_VALUE_TOO_SMALL, MSG_VALUE_TOO_LARGE) and leaves `out` alone.
std::optional<MessageId> CheckDoubleField(std::string_view text, double minValue, double maxValue, double& out);

/// Checks the text of a whole-number field: at most kMaxFieldText
/// characters, digits only, not below 0, not above `maxValue` when that is 1
/// or more (below 1: no upper limit).
std::optional<MessageId> CheckIntField(std::string_view text, std::int32_t maxValue, std::int32_t& out);

/// The fields of an angle before its minutes or seconds field, and the
/// largest whole angle (kMaxLongitudeDegrees or kMaxLatitudeDegrees).
struct AngleBefore
{
    double maxDegrees;
    std::int32_t degrees;     ///< the whole degrees, already checked
    std::int32_t minutes = 0; ///< dec.Second's whole minutes, for its seconds field
};

/// Checks the minutes field (decimal in dec.Minute, whole in dec.Second) or
/// the seconds field of an angle: first as a field of 0 to 60, then the
/// whole angle with the fields before it, which may not lie above
/// `angle.maxDegrees`: 180° 60' or 90° 0' 0.01" give MSG_VALUE_TOO_LARGE on
/// the field that carries the angle beyond its limit. Exact: 179° 60' is
/// taken, 180° 0.0000000001' is not.
std::optional<MessageId> CheckMinutesField(std::string_view text, const AngleBefore& angle, double& out);
std::optional<MessageId> CheckMinutesField(std::string_view text, const AngleBefore& angle, std::int32_t& out);
std::optional<MessageId> CheckSecondsField(std::string_view text, const AngleBefore& angle, double& out);

/// The caller's two-point arrays of all four entry formats, by reference.
/// Names as the reference dialog's members.
struct EntryFields
{
    std::int32_t (&m_nHemisphere)[2][2]; ///< [p][0] 0 east 1 west; [p][1] 0 north 1 south (UTM: hemisphere)
    double (&m_dDegree)[2][2];           ///< dec.Degree
    std::int32_t (&m_nDegree)[2][2];     ///< dec.Minute, dec.Second: whole degrees
    double (&m_dMinute)[2][2];           ///< dec.Minute
    std::int32_t (&m_nMinute)[2][2];     ///< dec.Second: whole minutes
    double (&m_dSecond)[2][2];           ///< dec.Second
    std::int32_t (&m_nUtm)[2][2];        ///< UTM easting, northing, m
    std::int32_t (&m_nZone)[2];          ///< UTM zone
};

/// Hands both points' values of `format` to the converter, which keeps them
/// as WGS84 positions. False when a point got no position (it keeps its old one).
bool ConvertEntryToWgs84(CCoordConverter& converter, std::int32_t format, const EntryFields& fields);

/// Fills both points' values of `format` from the converter's WGS84 positions
/// in its selected datum. In UTM the latitude flag becomes the UTM hemisphere
/// and the longitude flag is left alone. False when a point could not be
/// expressed (its values keep what they held).
bool ConvertWgs84ToEntry(const CCoordConverter& converter, std::int32_t format, const EntryFields& fields);

/// Two points' values of all four entry formats, owned (for callers that
/// have no dialog members to lend, such as the command-line program).
struct EntryValues
{
    std::int32_t m_nHemisphere[2][2] = {};
    double m_dDegree[2][2] = {};
    std::int32_t m_nDegree[2][2] = {};
    double m_dMinute[2][2] = {};
    std::int32_t m_nMinute[2][2] = {};
    double m_dSecond[2][2] = {};
    std::int32_t m_nUtm[2][2] = {};
    std::int32_t m_nZone[2] = {};

    /// Copies every value of point `from` to point `to`.
    void CopyPoint(int from, int to)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            m_nHemisphere[to][axis] = m_nHemisphere[from][axis];
            m_dDegree[to][axis] = m_dDegree[from][axis];
            m_nDegree[to][axis] = m_nDegree[from][axis];
            m_dMinute[to][axis] = m_dMinute[from][axis];
            m_nMinute[to][axis] = m_nMinute[from][axis];
            m_dSecond[to][axis] = m_dSecond[from][axis];
            m_nUtm[to][axis] = m_nUtm[from][axis];
        }
        m_nZone[to] = m_nZone[from];
    }

    EntryFields Fields()
    {
        return {m_nHemisphere, m_dDegree, m_nDegree, m_dMinute, m_nMinute, m_dSecond, m_nUtm, m_nZone};
    }
};

} // namespace conversion
