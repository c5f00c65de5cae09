#include "MaterialTotalQuantitiesModel.h"

#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace Orvane {

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
    QList<double> quantities;
    quantities.reserve(materialNames.size());
    // By components: material names such as "C25/30" hold the separator.
    QStringList path = {QStringLiteral("Properties"), setName, QString()};
    for (const QString& name : materialNames) {
        path.last() = name;
        const Step::RefPtr<CoreProperty> property = model->getProperty(project, path);
        const QVariant value = property ? property->value() : QVariant();
        bool ok = false;
        const double quantity = value.isValid() ? value.toDouble(&ok) : 0.0;
        quantities.append(ok ? quantity : 0.0);
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
