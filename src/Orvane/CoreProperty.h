#pragma once

#include "Step/RefPtr.h"
#include "Step/Referenced.h"

#include <QStringList>
#include <QVariant>

namespace Orvane {

/// A node of a model item's property tree, reached by a "/"-separated path
/// such as "Properties/BaseQuantities/Length". Nodes are reference counted
/// (Step::RefPtr) and made on demand.
class CoreProperty : public Step::Referenced
{
public:
    CoreProperty(QString name, QStringList path) : m_name(std::move(name)), m_path(std::move(path)) {}

    /// Splits a path string into its components, empty ones included.
    static QStringList getPropertyPath(const QString& path);

    const QString& name() const { return m_name; }
    const QStringList& path() const { return m_path; }

    virtual int childCount() const = 0;
    /// A new node for child i, or null; the caller takes a reference.
    virtual CoreProperty* getChildProperty(int i) const = 0;
    /// The child of that name (the first one when several share it), or null.
    virtual Step::RefPtr<CoreProperty> findChild(const QString& name) const;

    /// The raw value: double for measures and reals, int for integers,
    /// QString for texts and enumerations, BooleanVariant for logicals.
    virtual QVariant value() const = 0;
    /// A number in SI units (m, m², m³, kg, s) for numeric values, else invalid.
    virtual QVariant numericValue() const = 0;
    /// Text for display in the default locale (its decimal separator and
    /// digit grouping), with the unit symbol where there is one.
    virtual QVariant displayValue() const = 0;
    /// The unit type of a measure value ("LENGTHUNIT", "MASSUNIT"...),
    /// empty for other values.
    virtual QString unitType() const { return {}; }

private:
    QString m_name;
    QStringList m_path;
};

} // namespace Orvane
