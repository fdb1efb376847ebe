#pragma once
// What the monkey types: any text at all, sensible values for each field,
// and whole reference points, sensible ones (pixels and coordinates running
// the same way, so that Save gets through its checks) and ones at the edges
// of what the conversion accepts.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

/// The monkey's one source of chance, seeded once per run.
class CDice
{
public:
    explicit CDice(std::uint64_t seed) : m_engine(seed) {}

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine) < p; }
    template <class T> const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Uniform(0, static_cast<int>(items.size()) - 1))];
    }
    QString Pick(const QStringList& items) { return items[Uniform(0, static_cast<int>(items.size()) - 1)]; }
    std::mt19937_64& Engine() { return m_engine; }

private:
    std::mt19937_64 m_engine;
};

/// Texts for the fields of one reference point, in typing order, and the
/// hemisphere flags to set with the buttons afterwards ([axis]: 0 east or
/// west, 1 north or south, in UTM the hemisphere; -1 leaves the flag).
struct PointTyping
{
    std::vector<std::pair<int, QString>> fields;
    int hemisphere[2] = {-1, -1};
    QString edge; ///< what lies at an edge, for the action log; empty for a sensible point
};

class CMonkeyTexts
{
public:
    explicit CMonkeyTexts(CDice& dice) : m_dice(dice) {}

    /// A text a user might type into field `id` while `format` is in force:
    /// often a sensible value, as often anything at all.
    QString Random(int id, int format);
    /// A value of the kind the field takes.
    QString Sensible(int id, int format);

    /// Pixels and coordinates of point `point` that keep the relation Save
    /// checks (x grows with the longitude, y with the latitude) near 10° E,
    /// 53° N, east and north mostly.
    PointTyping SensiblePoint(int point, int format);
    /// The same point with one or two values that pass every field check
    /// but lie at the edge of what the conversion accepts or beyond it: UTM
    /// eastings and northings the inverse refuses, zones 0, 1 and 60,
    /// latitudes of 90° and more that a datum shift refuses, longitudes of
    /// 180° and more, flipped hemispheres.
    PointTyping EdgePoint(int point, int format);

private:
    QString Digits(int count);
    QString Decimal(int whole, int decimals);
    /// Whole degrees with minutes (and seconds) that reach `whole` or more:
    /// the degree field at the limit, the rest anything the fields accept.
    void EdgeAngle(int format, int axis, int whole, PointTyping& typing);

    CDice& m_dice;
};
