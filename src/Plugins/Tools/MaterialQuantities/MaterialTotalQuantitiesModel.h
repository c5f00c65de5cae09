#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace Orvane {

class MaterialQuantitiesSettings;

namespace _ifc2x3 {
class IFC2x3Model;
}

/// The project's material totals as a table: material name, quantity to
/// recover and quantity re-employed, read back from the sets that the
/// computation wrote on the project.
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
    /// The display role, and the edit role with the same values so that a
    /// sort proxy sorting by edit role sorts the columns.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void readMaterialNames(_ifc2x3::IFC2x3Model* model, const QModelIndex& project, const QString& setName);
    QList<double> readQuantities(_ifc2x3::IFC2x3Model* model, const QModelIndex& project, const QString& setName) const;

    QStringList materialNames;
    QList<double> recoveredQuantities;
    QList<double> reusedQuantities;
};

} // namespace Orvane
