#include "monkey_texts.h"

#include <algorithm>

#include "conversion/coord_types.h"
#include "resources/resource.h"

namespace
{

// UTM values beyond what the inverse accepts although the fields take them:
// an easting below 100 km, a northing beyond 84.5° N (above about 9380 km in
// the north) or beyond 80.5° S (below about 1070 km in the south).
constexpr int kMinUtmEasting = 100000;      // m
constexpr int kNorthBeyondBand = 9400000;   // m
constexpr int kSouthBeyondBand = 1000000;   // m
constexpr int kMaxNorthingField = 10000000; // m
constexpr int kMaxEastingField = 900000;    // m

} // namespace

QString CMonkeyTexts::Digits(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QLatin1Char(static_cast<char>('0' + m_dice.Uniform(0, 9)));
    return text;
}

QString CMonkeyTexts::Decimal(int whole, int decimals)
{
    return QString::number(m_dice.Uniform(0, whole)) + QLatin1Char('.') + Digits(decimals);
}

QString CMonkeyTexts::Random(int id, int format)
{
    switch (m_dice.Uniform(0, 11))
    {
    case 0:
    case 1:
    case 2:
        return Sensible(id, format);
    case 3:
        return Digits(m_dice.Uniform(1, 12));
    case 4:
        return (m_dice.Chance(0.5) ? QStringLiteral("-") : QStringLiteral("+")) + Digits(m_dice.Uniform(1, 6));
    case 5:
        return m_dice.Pick(QStringList{QStringLiteral("1e5"), QStringLiteral("1,5"), QStringLiteral("5 0"),
                                       QStringLiteral("--5"), QStringLiteral("."), QStringLiteral("+.5"),
                                       QStringLiteral("1.2.3"), QStringLiteral("0x10"), QStringLiteral("-0"),
                                       QStringLiteral("61"), QStringLiteral("60"), QStringLiteral("-10000.01"),
                                       QStringLiteral("10000.00"), QStringLiteral("59.99995")});
    case 6:
        return m_dice.Pick(QStringList{QStringLiteral("99999999999"), QStringLiteral("2147483647"),
                                       QStringLiteral("2147483648"), QStringLiteral("-2147483648"),
                                       QStringLiteral("4294967295"), QStringLiteral("99999")});
    case 7:
    {
        QString letters;
        for (int i = m_dice.Uniform(1, 10); i > 0; --i)
            letters += QLatin1Char(static_cast<char>('a' + m_dice.Uniform(0, 25)));
        return letters;
    }
    case 8:
        return m_dice.Pick(QStringList{QStringLiteral(" "), QStringLiteral("   "), QStringLiteral(" 7 "),
                                       QStringLiteral(" harbour ")});
    case 9:
    {
        // Long text of every printable ASCII character.
        QString text;
        for (int i = m_dice.Uniform(100, 400); i > 0; --i)
            text += QLatin1Char(static_cast<char>(m_dice.Uniform(32, 126)));
        return text;
    }
    case 10:
        return m_dice.Pick(QStringList{QString::fromUtf8("\u00E4\u00F6\u00FC\u00DF"), QString::fromUtf8("\u20AC 5"),
                                       QString::fromUtf8("\u65E5\u672C"), QString::fromUtf8("\U0001F600"),
                                       QString::fromUtf8("\u0663\u0664"), QString::fromUtf8("\u03A9 map"),
                                       QString::fromUtf8("caf\u00E9.bmp")});
    default:
        return QString();
    }
}

QString CMonkeyTexts::Sensible(int id, int format)
{
    switch (id)
    {
    case IDC_MAP_NAME:
        return m_dice.Pick(QStringList{QStringLiteral("harbour"), QStringLiteral("Harbour"), QStringLiteral("map"),
                                       QStringLiteral("harbour.old"), QString::fromUtf8("K\u00FCste")});
    case IDC_BMP_FILE_NAME:
        return m_dice.Pick(QStringList{QStringLiteral("harbour.bmp"), QStringLiteral("harbour"),
                                       QStringLiteral("map.png"), QStringLiteral("harbour.old.bmp"), QString()});
    case IDC_PIXEL_X:
    case IDC_PIXEL_Y:
        return QString::number(m_dice.Uniform(0, 2000));
    case IDC_LONG_DEGREE:
        return format == FORMAT_DEC_DEGREE ? Decimal(180, 6) : QString::number(m_dice.Uniform(0, 180));
    case IDC_LAT_DEGREE:
        return format == FORMAT_DEC_DEGREE ? Decimal(89, 6) : QString::number(m_dice.Uniform(0, 90));
    case IDC_LONG_MINUTE:
    case IDC_LAT_MINUTE:
        return format == FORMAT_DEC_SECOND ? QString::number(m_dice.Uniform(0, 59)) : Decimal(59, 4);
    case IDC_LONG_SECOND:
    case IDC_LAT_SECOND:
        return Decimal(59, 2);
    case IDC_EASTING:
        return QString::number(m_dice.Uniform(160000, 840000));
    case IDC_NORTHING:
        return QString::number(m_dice.Uniform(0, 9300000));
    case IDC_ZONE:
        return QString::number(m_dice.Uniform(1, 60));
    default:
        return (m_dice.Chance(0.3) ? QStringLiteral("-") : QString()) + Decimal(9999, 2);
    }
}

PointTyping CMonkeyTexts::SensiblePoint(int c, int format)
{
    PointTyping typing;
    auto& values = typing.fields;
    values = {{IDC_PIXEL_X, QString::number(c == 0 ? m_dice.Uniform(0, 800) : m_dice.Uniform(900, 1800))},
              {IDC_PIXEL_Y, QString::number(c == 0 ? m_dice.Uniform(900, 1500) : m_dice.Uniform(0, 800))}};
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        values.push_back(
            {IDC_LONG_DEGREE, QStringLiteral("10.") + QString::number(c * 5 + m_dice.Uniform(0, 4)) + Digits(5)});
        values.push_back(
            {IDC_LAT_DEGREE, QStringLiteral("53.") + QString::number((1 - c) * 5 + m_dice.Uniform(0, 4)) + Digits(5)});
        break;
    case FORMAT_DEC_MINUTE:
    case FORMAT_DEC_SECOND:
        values.push_back({IDC_LONG_DEGREE, QStringLiteral("10")});
        values.push_back({IDC_LONG_MINUTE, QString::number(c * 30 + m_dice.Uniform(0, 29))});
        values.push_back({IDC_LAT_DEGREE, QStringLiteral("53")});
        values.push_back({IDC_LAT_MINUTE, QString::number((1 - c) * 30 + m_dice.Uniform(0, 29))});
        break;
    default:
        values.push_back(
            {IDC_EASTING, QString::number(c == 0 ? m_dice.Uniform(500000, 540000) : m_dice.Uniform(560000, 600000))});
        values.push_back({IDC_ZONE, QStringLiteral("32")});
        values.push_back({IDC_NORTHING, QString::number(c == 0 ? m_dice.Uniform(5920000, 5940000)
                                                               : m_dice.Uniform(5880000, 5900000))});
        break;
    }
    // East and north, mostly.
    for (int axis = 0; axis < 2; ++axis)
        typing.hemisphere[axis] = m_dice.Chance(0.8) ? 0 : -1;
    return typing;
}

void CMonkeyTexts::EdgeAngle(int format, int axis, int whole, PointTyping& typing)
{
    const int degreeId = axis == 0 ? IDC_LONG_DEGREE : IDC_LAT_DEGREE;
    const int minuteId = axis == 0 ? IDC_LONG_MINUTE : IDC_LAT_MINUTE;
    const int secondId = axis == 0 ? IDC_LONG_SECOND : IDC_LAT_SECOND;
    const auto set = [&typing](int id, const QString& text)
    {
        auto it =
            std::find_if(typing.fields.begin(), typing.fields.end(), [id](const auto& f) { return f.first == id; });
        if (it != typing.fields.end())
            it->second = text;
        else
            typing.fields.emplace_back(id, text);
    };
    switch (format)
    {
    case FORMAT_DEC_DEGREE:
        // The limit itself, or just below it.
        set(degreeId,
            m_dice.Pick(QStringList{QString::number(whole), QString::number(whole) + QStringLiteral(".000000"),
                                    QString::number(whole - 1) + QStringLiteral(".999999"),
                                    QString::number(whole - 1) + QStringLiteral(".9") + Digits(5)}));
        break;
    case FORMAT_DEC_MINUTE:
        if (m_dice.Chance(0.7))
        {
            set(degreeId, QString::number(whole));
            set(minuteId, m_dice.Pick(QStringList{QStringLiteral("0"), QStringLiteral("0.0001"), Decimal(59, 4),
                                                  QStringLiteral("60")}));
        }
        else
        {
            set(degreeId, QString::number(whole - 1));
            set(minuteId, m_dice.Pick(QStringList{QStringLiteral("59.9999"), QStringLiteral("60"), Decimal(59, 4)}));
        }
        break;
    case FORMAT_DEC_SECOND:
        set(degreeId, QString::number(m_dice.Chance(0.7) ? whole : whole - 1));
        set(minuteId, m_dice.Pick(QStringList{QStringLiteral("0"), QStringLiteral("59"), QStringLiteral("60"),
                                              QString::number(m_dice.Uniform(0, 60))}));
        set(secondId, m_dice.Pick(QStringList{QStringLiteral("0"), QStringLiteral("0.01"), QStringLiteral("59.99"),
                                              QStringLiteral("60"), Decimal(59, 2)}));
        break;
    default:
        break;
    }
}

PointTyping CMonkeyTexts::EdgePoint(int c, int format)
{
    PointTyping typing = SensiblePoint(c, format);
    const auto set = [&typing](int id, const QString& text)
    {
        for (auto& field : typing.fields)
            if (field.first == id)
                field.second = text;
    };
    QStringList edges;
    for (int count = m_dice.Uniform(1, 2); count > 0; --count)
    {
        if (format != FORMAT_UTM)
        {
            switch (m_dice.Uniform(0, 2))
            {
            case 0:
                EdgeAngle(format, 1, 90, typing);
                edges += QStringLiteral("latitude at 90");
                break;
            case 1:
                EdgeAngle(format, 0, 180, typing);
                edges += QStringLiteral("longitude at 180");
                break;
            default:
                typing.hemisphere[0] = m_dice.Uniform(0, 1);
                typing.hemisphere[1] = m_dice.Uniform(0, 1);
                edges += QStringLiteral("hemispheres %1%2").arg(typing.hemisphere[0]).arg(typing.hemisphere[1]);
                break;
            }
            continue;
        }
        switch (m_dice.Uniform(0, 5))
        {
        case 0: // one digit short, or nothing of the grid
            set(IDC_EASTING, QString::number(m_dice.Chance(0.5) ? m_dice.Uniform(0, kMinUtmEasting - 1)
                                                                : m_dice.Uniform(50000, 60000)));
            edges += QStringLiteral("easting below the grid");
            break;
        case 1:
            set(IDC_EASTING, m_dice.Pick(QStringList{QString::number(kMinUtmEasting), QString::number(kMaxEastingField),
                                                     QString::number(kMinUtmEasting - 1)}));
            edges += QStringLiteral("easting at the grid's edge");
            break;
        case 2:
            set(IDC_ZONE, m_dice.Pick(QStringList{QStringLiteral("0"), QStringLiteral("00"), QStringLiteral(" 0"),
                                                  QStringLiteral("1"), QStringLiteral("60")}));
            edges += QStringLiteral("zone at an edge");
            break;
        case 3: // beyond 84.5° N
            set(IDC_NORTHING, QString::number(m_dice.Uniform(kNorthBeyondBand, kMaxNorthingField)));
            typing.hemisphere[1] = 0;
            edges += QStringLiteral("northing beyond the north");
            break;
        case 4: // beyond 80.5° S
            set(IDC_NORTHING, QString::number(m_dice.Uniform(0, kSouthBeyondBand)));
            typing.hemisphere[1] = 1;
            edges += QStringLiteral("northing beyond the south");
            break;
        default:
            typing.hemisphere[1] = 1 - std::max(typing.hemisphere[1], 0);
            edges += QStringLiteral("hemisphere flipped");
            break;
        }
    }
    typing.edge = edges.join(QStringLiteral(", "));
    return typing;
}
