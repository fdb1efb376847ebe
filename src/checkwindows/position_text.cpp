#include "checkwindows/position_text.h"

#include "checkwindows/tool_texts.h"
#include "conversion/coord_types.h"
#include "conversion/numeric_text.h"
#include "messages/messages.h"

using namespace conversion;

namespace
{

QString Fixed(double value, int decimals)
{
    return QString::fromStdString(FormatFixed(value, decimals));
}

QString Letter(std::int32_t flag, int axis)
{
    if (axis == 1)
        return flag == 0 ? QStringLiteral("N") : QStringLiteral("S");
    if (flag != 0)
        return QStringLiteral("W");
    return g_nLanguage == 1 ? QStringLiteral("E") : QStringLiteral("O");
}

} // namespace

QString PositionText(std::int32_t format, const EntryValues& v, int p)
{
    const QString degree = QString::fromUtf8("\xC2\xB0");
    QString angles[2];
    for (int axis = 0; axis < 2; ++axis)
    {
        const QString letter = Letter(v.m_nHemisphere[p][axis], axis);
        switch (format)
        {
        case FORMAT_DEC_DEGREE:
            angles[axis] = Fixed(v.m_dDegree[p][axis], kDegreeDecimals) + degree + u' ' + letter;
            break;
        case FORMAT_DEC_MINUTE:
            angles[axis] = QString::number(v.m_nDegree[p][axis]) + degree + u' ' +
                           Fixed(v.m_dMinute[p][axis], kMinuteDecimals) + QStringLiteral("' ") + letter;
            break;
        case FORMAT_DEC_SECOND:
            angles[axis] = QString::number(v.m_nDegree[p][axis]) + degree + u' ' +
                           QString::number(v.m_nMinute[p][axis]) + QStringLiteral("' ") +
                           Fixed(v.m_dSecond[p][axis], kSecondDecimals) + QStringLiteral("\" ") + letter;
            break;
        default:
            break;
        }
    }
    if (format == FORMAT_UTM)
        return ToolText(TT_ZONE) + u' ' + QString::number(v.m_nZone[p]) + u' ' + Letter(v.m_nHemisphere[p][1], 1) +
               QStringLiteral("  ") + ToolText(TT_EASTING) + u' ' + QString::number(v.m_nUtm[p][0]) +
               QStringLiteral("  ") + ToolText(TT_NORTHING) + u' ' + QString::number(v.m_nUtm[p][1]);
    return angles[0] + QStringLiteral("  ") + angles[1];
}

QString FormatName(std::int32_t format)
{
    return format >= 0 && format < kFormatCount ? QString::fromLatin1(g_formatNames[format]) : QString();
}

QString DatumName(std::int32_t datum)
{
    return datum >= 0 && datum < kDatumCount ? QString::fromLatin1(g_datumNames[datum]) : QString();
}
