#pragma once
// The entry fields of the reference points: their limits and decimals, the
// check a typed text passes before it reaches a member, and the hand-over of
// both points' values to the converter in each entry format.

#include <cstdint>
#include <optional>
#include <string_view>

#include "conversion/coord_converter.h"
#include "messages/messages.h"

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

/// A field shows and reads at most this many characters of its text.
constexpr std::size_t kMaxFieldText = 63;

/// Checks the text of a decimal field with inclusive limits. Only the first
/// kMaxFieldText characters count. On success stores the value in `out` and
/// returns nothing; otherwise returns the message to show
/// (MSG_FORBIDDEN_CHARS, MSG_VALUE_TOO_SMALL, MSG_VALUE_TOO_LARGE) and leaves
/// `out` alone.
std::optional<MessageId> CheckDoubleField(std::string_view text, double minValue, double maxValue, double& out);

/// Checks the text of a whole-number field: digits only, not below 0, not
/// above `maxValue` when that is 1 or more (below 1: no upper limit).
std::optional<MessageId> CheckIntField(std::string_view text, std::int32_t maxValue, std::int32_t& out);

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

    EntryFields Fields()
    {
        return {m_nHemisphere, m_dDegree, m_nDegree, m_dMinute, m_nMinute, m_dSecond, m_nUtm, m_nZone};
    }
};
