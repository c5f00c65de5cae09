#include "MaterialTotalQuantitiesModel.h"

#include "MaterialOrder.h"
#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QHash>

namespace Orvane {

namespace {

/// A stored quantity; 0 for what is not a number.
double quantityOf(const QVariant& value)
{
    bool ok = false;
    const double quantity = value.isValid() ? value.toDouble(&ok) : 0.0;
    return ok ? quantity : 0.0;
}

} // namespace

MaterialTotalQuantitiesModel::MaterialTotalQuantitiesModel() : QAbstractTableModel(nullptr) {}

MaterialTotalQuantitiesModel::~MaterialTotalQuantitiesModel() = default;

void MaterialTotalQuantitiesModel::fillFromModel(_ifc2x3::IFC2x3Model* model,
                                                 const MaterialQuantitiesSettings& settings)
{
    beginResetModel();
    materialNames.clear();
    recoveredQuantities.clear();
    reusedQuantities.clear();
    if (model && !model->dataSet()->getAllIfcProject().empty()) {
        const QModelIndex project = model->index(model->dataSet()->getAllIfcProject().front().get());
        readMaterialNames(model, project, settings.totalQuantitiesPropertySetName);
        recoveredQuantities = readQuantities(model, project, settings.recoveredQuantitiesPropertySetName);
        reusedQuantities = readQuantities(model, project, settings.reusedQuantitiesPropertySetName);
    }
    endResetModel();
}

void MaterialTotalQuantitiesModel::readMaterialNames(_ifc2x3::IFC2x3Model* model, const QModelIndex& project,
                                                     const QString& setName)
{
    const Step::RefPtr<CoreProperty> set = model->getProperty(project, {QStringLiteral("Properties"), setName});
    const int count = set ? set->childCount() : 0;
    for (int i = 0; i < count; ++i) {
        const Step::RefPtr<CoreProperty> material(set->getChildProperty(i));
        if (material) {
            materialNames.append(material->name());
        }
    }
    materialNames = MaterialOrder::sorted(materialNames);
}

QList<double> MaterialTotalQuantitiesModel::readQuantities(_ifc2x3::IFC2x3Model* model, const QModelIndex& project,
                                                           const QString& setName) const
{
    // The set is read once: looking each material up by name would scan
    // the set once per material.
    QHash<QString, double> byName;
    const Step::RefPtr<CoreProperty> set = model->getProperty(project, {QStringLiteral("Properties"), setName});
    const int count = set ? set->childCount() : 0;
    byName.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Step::RefPtr<CoreProperty> property(set->getChildProperty(i));
        // As a lookup by name finds it: the first of that name.
        if (property && !byName.contains(property->name())) {
            byName.insert(property->name(), quantityOf(property->value()));
        }
    }
    QList<double> quantities;
    quantities.reserve(materialNames.size());
    for (const QString& name : materialNames) {
        quantities.append(byName.value(name, 0.0));
    }
    return quantities;
}

int MaterialTotalQuantitiesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : materialNames.size();
}

int MaterialTotalQuantitiesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

void MaterialTotalQuantitiesModel::setMassUnit(MassDisplayUnit unit)
{
    if (unit == shownUnit) {
        return;
    }
    shownUnit = unit;
    emit headerDataChanged(Qt::Horizontal, 1, 2);
    if (!materialNames.isEmpty()) {
        emit dataChanged(index(0, 1), index(materialNames.size() - 1, 2), {Qt::DisplayRole});
    }
}

QVariant MaterialTotalQuantitiesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || index.row() >= rowCount() ||
        index.column() >= columnCount()) {
        return {};
    }
    if (index.column() == 0) {
        return materialNames.at(index.row());
    }
    const double kilograms = (index.column() == 1 ? recoveredQuantities : reusedQuantities).at(index.row());
    return role == Qt::EditRole ? kilograms : shownUnit.fromKilograms(kilograms);
}

QVariant MaterialTotalQuantitiesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 2) {
        return {};
    }
    const bool mass = section > 0;
    if (role == MassDisplayUnit::SymbolRole) {
        return mass ? QVariant(shownUnit.symbol()) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    const QString title = section == 0 ? tr("Name") : section == 1 ? tr("To recover") : tr("Reused");
    return mass && role == Qt::DisplayRole ? shownUnit.title(title) : title;
}

} // namespace Orvane
