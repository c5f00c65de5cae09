#include "TypeInputsSheet.h"

#include "TypeInputsColumns.h"

namespace Orvane {

TypeInputsSheet::TypeInputsSheet(const TypeInputsTable& table) : QAbstractTableModel(nullptr), table(table) {}

int TypeInputsSheet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table.types.size();
}

int TypeInputsSheet::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : TypeInputsColumns::Count + table.materials.size();
}

QVariant TypeInputsSheet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < TypeInputsColumns::Count) {
        return TypeInputsColumns::header(TypeInputsColumns::Column(section));
    }
    return table.materials.at(section - TypeInputsColumns::Count);
}

QVariant TypeInputsSheet::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const TypeInputs& inputs = table.types.at(index.row());
    if (index.column() < TypeInputsColumns::Count) {
        return fixedCell(inputs, index.column());
    }
    return inputs.shareOf(table.materials.at(index.column() - TypeInputsColumns::Count));
}

QVariant TypeInputsSheet::fixedCell(const TypeInputs& inputs, int column) const
{
    switch (TypeInputsColumns::Column(column)) {
    case TypeInputsColumns::GlobalId:
        return inputs.globalId;
    case TypeInputsColumns::Type:
        return inputs.name;
    case TypeInputsColumns::Entity:
        return inputs.entity;
    case TypeInputsColumns::Instances:
        return inputs.instances;
    case TypeInputsColumns::FunctionalUnit:
        return inputs.functionalUnit;
    case TypeInputsColumns::MassPerFunctionalUnit:
        return inputs.massPerFunctionalUnit;
    case TypeInputsColumns::Reused:
        return inputs.reused < 0 ? QVariant() : QVariant(inputs.reused == 1);
    case TypeInputsColumns::Status:
        return inputs.status();
    case TypeInputsColumns::Count:
        break;
    }
    return {};
}

} // namespace Orvane
