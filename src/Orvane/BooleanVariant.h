#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

namespace Orvane {

/// A boolean that may be unknown, as IFC BOOLEAN and LOGICAL values are,
/// carried in QVariants.
class BooleanVariant
{
public:
    enum State { True = 0, False = 1, Unknown = 2 };

    BooleanVariant() = default;
    explicit BooleanVariant(State state) : m_state(state) {}
    explicit BooleanVariant(int state) : m_state(state >= True && state <= Unknown ? State(state) : Unknown) {}
    static BooleanVariant fromBool(bool value) { return BooleanVariant(value ? True : False); }

    State state() const { return m_state; }
    QString toString() const;

    /// True when the variant holds a BooleanVariant of the same state.
    bool operator==(const QVariant& other) const;
    bool operator==(const BooleanVariant& other) const { return m_state == other.m_state; }
    bool operator!=(const BooleanVariant& other) const { return m_state != other.m_state; }

    static int metaTypeId();

private:
    State m_state = Unknown;
};

} // namespace Orvane

Q_DECLARE_METATYPE(Orvane::BooleanVariant)
