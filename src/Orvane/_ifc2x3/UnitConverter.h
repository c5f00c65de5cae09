#pragma once

#include "Step/Value.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <string>

namespace ifc2x3 {
class ExpressDataSet;
class IfcUnit;
} // namespace ifc2x3

namespace Step {
class BaseEntity;
}

namespace Orvane {
namespace _ifc2x3 {

/// Converts measures of a model to SI units (m, m², m³, kg, s) using the
/// project's unit assignment, or a value's own unit where it has one.
class UnitConverter
{
public:
    /// Factor and symbol of one unit: value × factor is in SI units.
    struct Unit
    {
        double factor = 1.0;
        QString symbol;
        bool known = false;
    };

    /// The kinds of measure that are converted to SI units.
    enum class Kind { None = 0, Length, Area, Volume, Mass, Time, Count };

    explicit UnitConverter(ifc2x3::ExpressDataSet* dataSet) : m_dataSet(dataSet) {}

    /// The project unit of a unit type such as "LENGTHUNIT".
    Unit projectUnit(const QString& unitType);
    /// The same for a converted kind, without a lookup by name.
    Unit projectUnit(Kind kind);
    /// The unit an IfcNamedUnit instance stands for.
    static Unit unitOf(const Step::BaseEntity* unit);
    /// Unit type ("LENGTHUNIT", "AREAUNIT"...) of a measure type name such as
    /// "IFCLENGTHMEASURE", or empty when the measure is not converted.
    static QString unitTypeOfMeasure(std::string_view measureType);
    /// Unit type of a converted kind, empty for None.
    static QString unitTypeOf(Kind kind);
    static Kind kindOfMeasure(std::string_view measureType);
    static Kind kindOfUnitType(const QString& unitType);

private:
    void ensureLoaded();
    void loadProjectUnits();

    ifc2x3::ExpressDataSet* m_dataSet;
    std::atomic<bool> m_loaded{false};
    QHash<QString, Unit> m_projectUnits;
    Unit m_kindUnits[static_cast<int>(Kind::Count)];
};

} // namespace _ifc2x3
} // namespace Orvane
