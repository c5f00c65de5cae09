#include "QuantitiesDetailsSheet.h"

#include "MaterialQuantitiesProxyModel.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

namespace Orvane {

namespace {

const QString propertiesName = QStringLiteral("Properties");
/// The table's status column; its edit role is 1 for an element without
/// quantities.
constexpr int statusColumn = 0;

/// A column's path is a material's when it names a property of a set.
bool isMaterialPath(const QStringList& path)
{
    return path.size() == 3 && path.first() == propertiesName;
}

} // namespace

QuantitiesDetailsSheet::QuantitiesDetailsSheet(const MaterialQuantitiesProxyModel& details)
    : QAbstractTableModel(nullptr), details(details), model(dynamic_cast<_ifc2x3::IFC2x3Model*>(details.sourceModel()))
{
    const int columns = details.columnCount();
    materialPaths.reserve(columns);
    for (int column = 0; column < columns; ++column) {
        // The table tells a column's path in its tooltip.
        const QStringList path = details.headerData(column, Qt::Horizontal, Qt::ToolTipRole).toStringList();
        materialPaths.append(isMaterialPath(path) ? path : QStringList());
    }
}

QuantitiesDetailsSheet::~QuantitiesDetailsSheet() = default;

int QuantitiesDetailsSheet::rowCount(const QModelIndex& parent) const
{
    return details.rowCount(parent);
}

int QuantitiesDetailsSheet::columnCount(const QModelIndex& parent) const
{
    return details.columnCount(parent);
}

QVariant QuantitiesDetailsSheet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == statusColumn && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        return tr("Status");
    }
    return details.headerData(section, orientation, role);
}

bool QuantitiesDetailsSheet::isMassColumn(int column) const
{
    return column >= 0 && column < materialPaths.size() && !materialPaths.at(column).isEmpty();
}

QVariant QuantitiesDetailsSheet::statusData(int row) const
{
    const bool withoutQuantities = details.data(details.index(row, statusColumn), Qt::EditRole).toInt() == 1;
    return withoutQuantities ? QVariant(tr("Without quantities")) : QVariant();
}

QVariant QuantitiesDetailsSheet::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (index.column() == statusColumn && (role == Qt::EditRole || role == Qt::DisplayRole)) {
        return statusData(index.row());
    }
    const QStringList& path = materialPaths.at(index.column());
    if (!model || path.isEmpty() || (role != Qt::EditRole && role != Qt::DisplayRole)) {
        return details.data(details.index(index.row(), index.column()), role);
    }
    const Step::RefPtr<CoreProperty> property = resultProperty(index.row(), path);
    if (!property) {
        return {};
    }
    return role == Qt::EditRole ? property->value() : property->displayValue();
}

Step::RefPtr<CoreProperty> QuantitiesDetailsSheet::resultProperty(int row, const QStringList& path) const
{
    if (row != cachedRow) {
        cachedSets.clear();
        cachedRow = row;
    }
    return propertySet(row, path.at(1)).value(path.at(2));
}

const QuantitiesDetailsSheet::PropertiesByName& QuantitiesDetailsSheet::propertySet(int row,
                                                                                    const QString& setName) const
{
    const auto cached = cachedSets.constFind(setName);
    if (cached != cachedSets.constEnd()) {
        return *cached;
    }
    PropertiesByName& properties = cachedSets[setName];
    const QModelIndex source = details.mapToSource(details.index(row, 0));
    const Step::RefPtr<CoreProperty> set = model->getProperty(source, {propertiesName, setName});
    const int count = set ? set->childCount() : 0;
    properties.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Step::RefPtr<CoreProperty> property(set->getChildProperty(i));
        // As a lookup by name finds it: the first of that name.
        if (property && !properties.contains(property->name())) {
            properties.insert(property->name(), property);
        }
    }
    return properties;
}

} // namespace Orvane
