#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QMap>
#include <QString>
#include <QTextStream>
#include <QVector>

#include <vector>

namespace Orvane {
namespace _ifc2x3 {
class IFC2x3Model;
}
} // namespace Orvane

/// The results a computation left in a model, read back from the model's
/// property sets, and their printed form.
class ResultSummary
{
public:
    struct MaterialTotal
    {
        QString material;
        double total = 0.0;
        double toRecover = 0.0;
        double reused = 0.0;
    };
    struct BuildingTotal
    {
        QString building;
        QMap<QString, double> quantities;
    };

    /// Rows known to hold quantities, as a computation just wrote them, are
    /// not read again.
    ResultSummary(Orvane::_ifc2x3::IFC2x3Model* model, const Orvane::MaterialQuantitiesSettings& settings,
                  const std::vector<int>& rowsKnownToHoldQuantities = {});

    int buildingElementCount() const { return m_buildingElements; }
    int elementsWithoutResults() const { return m_missing; }
    /// Elements without results by reason, in the order of the reasons.
    const QMap<int, int>& reasonCounts() const { return m_reasonCounts; }
    /// The project's mass unit when masses typed in it were taken as
    /// kilograms, else empty.
    const QString& massUnitTakenAsKilograms() const { return m_massUnitTakenAsKilograms; }
    const QVector<MaterialTotal>& materials() const { return m_materials; }
    const QVector<BuildingTotal>& buildings() const { return m_buildings; }

    void print(QTextStream& out) const;

private:
    QMap<QString, double> readSet(const QModelIndex& index, const QString& setName) const;

    Orvane::_ifc2x3::IFC2x3Model* m_model;
    Orvane::MaterialQuantitiesSettings m_settings;
    int m_buildingElements = 0;
    int m_missing = 0;
    QMap<int, int> m_reasonCounts;
    QString m_massUnitTakenAsKilograms;
    QVector<MaterialTotal> m_materials;
    QVector<BuildingTotal> m_buildings;
};
