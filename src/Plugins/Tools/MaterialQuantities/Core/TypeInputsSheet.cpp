#include "TypeInputsSheet.h"

#include <QStringList>

namespace Orvane {

TypeInputsSheet::TypeInputsSheet(const TypeInputsTable& table) : QAbstractTableModel(nullptr), table(table) {}

TypeInputsSheet::TypeInputsSheet(const TypeInputsTable& table, const QVector<TypeInputsSuggestion>& suggestions)
    : QAbstractTableModel(nullptr), table(table), suggestions(&suggestions)
{
    for (const TypeInputsSuggestion& suggestion : suggestions) {
        for (const TypeInputs::Share& share : suggestion.composition.value_or(QVector<TypeInputs::Share>())) {
            if (!suggestedMaterials.contains(share.material)) {
                suggestedMaterials << share.material;
            }
        }
    }
}

int TypeInputsSheet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table.types.size();
}

int TypeInputsSheet::columnCount(const QModelIndex& parent) const
{
    const int suggestionColumns = suggestions ? TypeInputsColumns::SuggestionCount + suggestedMaterials.size() : 0;
    return parent.isValid() ? 0 : firstSuggestionColumn() + suggestionColumns;
}

QVariant TypeInputsSheet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < TypeInputsColumns::Count) {
        return TypeInputsColumns::header(TypeInputsColumns::Column(section));
    }
    if (section < firstSuggestionColumn()) {
        return table.materials.at(section - TypeInputsColumns::Count);
    }
    const int suggested = section - firstSuggestionColumn();
    if (suggested < TypeInputsColumns::SuggestionSources) {
        return TypeInputsColumns::header(TypeInputsColumns::SuggestionColumn(suggested));
    }
    const int material = suggested - TypeInputsColumns::SuggestionSources;
    return material < suggestedMaterials.size() ? TypeInputsColumns::suggestedShareHeader(suggestedMaterials[material])
                                                : TypeInputsColumns::header(TypeInputsColumns::SuggestionSources);
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
    if (index.column() < firstSuggestionColumn()) {
        return inputs.shareOf(table.materials.at(index.column() - TypeInputsColumns::Count));
    }
    return suggestionCell(suggestions->at(index.row()), index.column() - firstSuggestionColumn());
}

QVariant TypeInputsSheet::suggestionCell(const TypeInputsSuggestion& suggestion, int column) const
{
    switch (column) {
    case TypeInputsColumns::SuggestedFunctionalUnit:
        return suggestion.functionalUnit ? QVariant(*suggestion.functionalUnit) : QVariant();
    case TypeInputsColumns::SuggestedMass:
        return suggestion.massPerFunctionalUnit ? QVariant(*suggestion.massPerFunctionalUnit) : QVariant();
    default:
        break;
    }
    const int material = column - TypeInputsColumns::SuggestionSources;
    if (material < suggestedMaterials.size()) {
        for (const TypeInputs::Share& share : suggestion.composition.value_or(QVector<TypeInputs::Share>())) {
            if (share.material == suggestedMaterials[material]) {
                return share.value;
            }
        }
        return {};
    }
    QStringList sources;
    for (const QString& source :
         {suggestion.functionalUnitSource, suggestion.massSource, suggestion.compositionSource}) {
        if (!source.isEmpty() && !sources.contains(source)) {
            sources << source;
        }
    }
    return sources.isEmpty() ? QVariant() : QVariant(sources.join(QLatin1Char('\n')));
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
