#pragma once

#include "MassDisplayUnit.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace Orvane {

class MaterialQuantitiesSettings;

namespace _ifc2x3 {
class IFC2x3Model;
}

/// The project's material totals as a table: material name, mass to
/// recover and mass reused, read back from the sets that the computation
/// wrote on the project, materials in MaterialOrder. Masses are shown in
/// the display unit as MassDisplayUnit tells.
class MaterialTotalQuantitiesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    MaterialTotalQuantitiesModel();
    ~MaterialTotalQuantitiesModel() override;

    /// Rebuilds the rows from the model's first project; no model gives no
    /// rows.
    void fillFromModel(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    /// Shows masses in that unit from now on.
    void setMassUnit(MassDisplayUnit unit);
    MassDisplayUnit massUnit() const { return shownUnit; }

    /// The edit role holds the kilograms, which sort proxies sort by; the
    /// display role the mass in the display unit.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void readMaterialNames(_ifc2x3::IFC2x3Model* model, const QModelIndex& project, const QString& setName);
    QList<double> readQuantities(_ifc2x3::IFC2x3Model* model, const QModelIndex& project, const QString& setName) const;

    QStringList materialNames;
    QList<double> recoveredQuantities;
    QList<double> reusedQuantities;
    MassDisplayUnit shownUnit;
};

} // namespace Orvane
