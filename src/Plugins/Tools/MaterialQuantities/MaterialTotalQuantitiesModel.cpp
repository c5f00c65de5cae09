#include "MaterialTotalQuantitiesModel.h"

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
    materialNames.sort(Qt::CaseInsensitive);
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

QVariant MaterialTotalQuantitiesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || index.row() >= rowCount() ||
        index.column() >= columnCount()) {
        return {};
    }
    switch (index.column()) {
    case 0:
        return materialNames.at(index.row());
    case 1:
        return recoveredQuantities.at(index.row());
    default:
        return reusedQuantities.at(index.row());
    }
}

QVariant MaterialTotalQuantitiesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("To recover");
    case 2:
        return tr("Re-employed");
    default:
        return {};
    }
}

} // namespace Orvane
