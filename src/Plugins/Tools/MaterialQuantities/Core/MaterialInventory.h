#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace Orvane {

class MaterialQuantitiesSettings;

namespace _ifc2x3 {
class IFC2x3Model;
}

/// What a model's results say of each material, for the project and for
/// each building: read back from the result sets a computation wrote, for a
/// model that does not change meanwhile.
///
/// The project's masses are its own total, recovered and reused sets. A
/// building carries its total alone: its split comes from its building
/// elements, each one's masses going to recover or to re-employ as its
/// reused input says.
class MaterialInventory
{
public:
    struct Quantities
    {
        double toRecover = 0.0;
        double reEmployed = 0.0;
        double total = 0.0;
        /// Building elements holding a mass of the material.
        int elements = 0;
    };

    struct Scope
    {
        QString name;
        QHash<QString, Quantities> materials;

        /// The material names in MaterialOrder.
        QStringList materialNames() const;
    };

    static MaterialInventory read(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings);

    const Scope& project() const { return m_project; }
    /// In the data set's order.
    const QList<Scope>& buildings() const { return m_buildings; }

private:
    Scope m_project;
    QList<Scope> m_buildings;
};

} // namespace Orvane
