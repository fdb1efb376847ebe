#include "expected_file.h"

#include <cmath>

#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "conversion/numeric_text.h"
#include "messages/messages.h"

using namespace conversion;
using namespace formats;

namespace
{

// The converter's minutes come in steps of 0.0005'; a field's text that the
// dialog's members hold with more digits (a point not on the screen shows
// them rounded) may fall on the neighbouring step.
constexpr double kMinuteStep = 0.0005;      // '
constexpr double kMinutesPerTurn = 21600.0; // '
constexpr const char* kAxisNames[2] = {"longitude", "latitude"};

// Reads the fields of one point in the order of the dialog's exchange; the
// first field that fails its check ends the reading with its message.
class FieldReader
{
public:
    explicit FieldReader(std::string& refusal) : m_refusal(refusal) {}

    void Double(const std::string& name, const std::string& text, double maxValue, double minValue, double& out)
    {
        if (m_refusal.empty())
            Check(name, CheckDoubleField(text, minValue, maxValue, out));
    }
    void Int(const std::string& name, const std::string& text, std::int32_t maxValue, std::int32_t& out)
    {
        if (m_refusal.empty())
            Check(name, CheckIntField(text, maxValue, out));
    }

private:
    void Check(const std::string& name, std::optional<MessageId> failure)
    {
        if (failure)
            m_refusal = name + ": " + GetMessageText(*failure, "");
    }
    std::string& m_refusal;
};

void ReadPoint(const ShownEntry& shown, int p, EntryValues& entry, CalValues& file, std::string& refusal)
{
    const ShownPoint& point = shown.point[p];
    const std::string prefix = "point " + std::to_string(p + 1) + " ";
    FieldReader reader(refusal);
    for (int axis = 0; axis < 2; ++axis)
    {
        std::int32_t pixel = 0;
        reader.Int(prefix + (axis == 0 ? "x" : "y"), point.pixel[axis], kNoUpperLimit, pixel);
        file.m_nPixel[p][axis] = static_cast<std::uint32_t>(pixel);
    }
    const double maxDegrees[2] = {kMaxLongitudeDegrees, kMaxLatitudeDegrees};
    for (int axis = 0; axis < 2; ++axis)
    {
        const std::string name = prefix + kAxisNames[axis];
        entry.m_nHemisphere[p][axis] = point.hemisphere[axis];
        switch (shown.format)
        {
        case FORMAT_DEC_DEGREE:
            reader.Double(name, point.degrees[axis], maxDegrees[axis], 0.0, entry.m_dDegree[p][axis]);
            break;
        case FORMAT_DEC_MINUTE:
            reader.Int(name, point.degrees[axis], static_cast<std::int32_t>(maxDegrees[axis]),
                       entry.m_nDegree[p][axis]);
            reader.Double(name + " minutes", point.minutes[axis], kMaxMinutes, 0.0, entry.m_dMinute[p][axis]);
            break;
        case FORMAT_DEC_SECOND:
            reader.Int(name, point.degrees[axis], static_cast<std::int32_t>(maxDegrees[axis]),
                       entry.m_nDegree[p][axis]);
            reader.Int(name + " minutes", point.minutes[axis], static_cast<std::int32_t>(kMaxMinutes),
                       entry.m_nMinute[p][axis]);
            reader.Double(name + " seconds", point.seconds[axis], kMaxSeconds, 0.0, entry.m_dSecond[p][axis]);
            break;
        default:
            break;
        }
    }
    if (shown.format == FORMAT_UTM)
    {
        reader.Int(prefix + "easting", point.utm[0], kMaxEasting, entry.m_nUtm[p][0]);
        reader.Int(prefix + "northing", point.utm[1], kMaxNorthing, entry.m_nUtm[p][1]);
        reader.Int(prefix + "zone", point.zone, kMaxZone, entry.m_nZone[p]);
    }
}

// Signed minutes of arc of one axis of a point.
double SignedMinutes(const CalValues& values, int p, int axis)
{
    const double minutes = values.m_nDegree[p][axis] * 60.0 + values.m_dMinute[p][axis];
    return values.m_nHemisphere[p][axis] != 0 ? -minutes : minutes;
}

} // namespace

ExpectedFile ExpectFile(const ShownEntry& shown, CCoordConverter& converter)
{
    ExpectedFile expected;
    EntryValues entry;
    std::string refusal;
    for (int p = 0; p < 2; ++p)
        ReadPoint(shown, p, entry, expected.values, refusal);
    FieldReader(refusal).Double("height difference", shown.heightDiff, kMaxHeightDiff, kMinHeightDiff,
                                expected.values.m_dHeightDiff);
    if (!refusal.empty())
    {
        expected.refusal = refusal;
        return expected;
    }

    converter.SelectDatum(shown.datum);
    if (!ConvertEntryToWgs84(converter, shown.format, entry.Fields()))
    {
        const int p = converter.Fault(0) ? 0 : 1;
        const std::optional<PositionFault>& fault = converter.Fault(p);
        static constexpr const char* kValueNames[] = {"longitude", "latitude", "easting", "northing", "zone"};
        std::string what = "no position";
        if (fault)
            what = std::string(kValueNames[fault->value]) + ": " + GetMessageText(fault->message, "");
        expected.refusal = "point " + std::to_string(p + 1) + " " + what;
        return expected;
    }
    converter.SelectDatum(DATUM_WGS84);
    CalValues& values = expected.values;
    if (!converter.Wgs84ToDegMin(values.m_nHemisphere, values.m_nDegree, values.m_dMinute))
        expected.refusal = "a point has no degrees and minutes in WGS84";
    // As the file writes it: one decimal.
    values.m_dHeightDiff = ScanLeadingDouble(FormatFixed(values.m_dHeightDiff, 1));
    return expected;
}

std::vector<std::string> CompareWithExpected(const CalValues& written, const CalValues& expected)
{
    std::vector<std::string> problems;
    for (int p = 0; p < 2; ++p)
    {
        const std::string point = "point " + std::to_string(p + 1);
        if (written.m_nPixel[p][0] != expected.m_nPixel[p][0] || written.m_nPixel[p][1] != expected.m_nPixel[p][1])
            problems.push_back(point + " pixel: typed " + std::to_string(expected.m_nPixel[p][0]) + "," +
                               std::to_string(expected.m_nPixel[p][1]) + ", written " +
                               std::to_string(written.m_nPixel[p][0]) + "," + std::to_string(written.m_nPixel[p][1]));
        bool bSame = true;
        for (int axis = 0; axis < 2; ++axis)
        {
            double difference = std::fabs(SignedMinutes(written, p, axis) - SignedMinutes(expected, p, axis));
            if (axis == 0) // 180°W and 180°E are one meridian
                difference = std::fmin(difference, std::fabs(difference - kMinutesPerTurn));
            bSame = bSame && difference <= kMinuteStep * (1.0 + 1e-9);
        }
        if (!bSame)
            problems.push_back(point + ": typed " + FilePosition(expected, p) + ", written " +
                               FilePosition(written, p));
    }
    if (FormatFixed(written.m_dHeightDiff, 1) != FormatFixed(expected.m_dHeightDiff, 1))
        problems.push_back("height difference: typed " + FormatFixed(expected.m_dHeightDiff, 1) + ", written " +
                           FormatFixed(written.m_dHeightDiff, 1));
    return problems;
}

std::string FilePosition(const CalValues& values, int p)
{
    std::string text;
    for (int axis = 0; axis < 2; ++axis)
    {
        const char* letters[2][2] = {{"E", "W"}, {"N", "S"}};
        text += (axis == 0 ? "" : " ") + FormatInt(values.m_nDegree[p][axis]) + "\u00B0" +
                FormatFixed(values.m_dMinute[p][axis], 4) + "'" + letters[axis][values.m_nHemisphere[p][axis] != 0];
    }
    return text;
}

std::string Describe(const ShownEntry& shown)
{
    std::string text = std::string(g_formatNames[shown.format]) + ", " + g_datumNames[shown.datum];
    for (int p = 0; p < 2; ++p)
    {
        const ShownPoint& point = shown.point[p];
        const auto quoted = [](const std::string& value) { return "\"" + value + "\""; };
        text += "; point " + std::to_string(p + 1) + ": pixel " + quoted(point.pixel[0]) + " " + quoted(point.pixel[1]);
        if (shown.format == FORMAT_UTM)
        {
            text += ", zone " + quoted(point.zone) + (point.hemisphere[1] != 0 ? " S" : " N") + ", " +
                    quoted(point.utm[0]) + " " + quoted(point.utm[1]);
            continue;
        }
        for (int axis = 0; axis < 2; ++axis)
        {
            text += ", " + quoted(point.degrees[axis]);
            if (shown.format != FORMAT_DEC_DEGREE)
                text += " " + quoted(point.minutes[axis]);
            if (shown.format == FORMAT_DEC_SECOND)
                text += " " + quoted(point.seconds[axis]);
            const char* letters[2][2] = {{"E", "W"}, {"N", "S"}};
            text += std::string(" ") + letters[axis][point.hemisphere[axis] != 0];
        }
    }
    return text + "; height " + "\"" + shown.heightDiff + "\"";
}
