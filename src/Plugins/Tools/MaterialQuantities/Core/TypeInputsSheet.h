#pragma once

#include "TypeInputs.h"
#include "TypeInputsSuggestion.h"

#include "TypeInputsColumns.h"

#include <QAbstractTableModel>

namespace Orvane {

/// The type inputs table as the inputs workbook lays it out (see
/// TypeInputsColumns): one row per type, its inputs as the model holds them,
/// then each material's share. A cell holds a number, a boolean or a text,
/// the same for the display and edit roles, and nothing where the model has
/// no value. With suggestions, their columns follow: functional unit, mass,
/// each suggested material's share, and where they come from.
class TypeInputsSheet : public QAbstractTableModel
{
    Q_OBJECT
public:
    /// The table is read, not copied: it must outlive the sheet.
    explicit TypeInputsSheet(const TypeInputsTable& table);
    /// The suggestions are read too, one per type of the table.
    TypeInputsSheet(const TypeInputsTable& table, const QVector<TypeInputsSuggestion>& suggestions);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant fixedCell(const TypeInputs& inputs, int column) const;
    QVariant suggestionCell(const TypeInputsSuggestion& suggestion, int column) const;
    int firstSuggestionColumn() const { return TypeInputsColumns::Count + table.materials.size(); }

    const TypeInputsTable& table;
    const QVector<TypeInputsSuggestion>* suggestions = nullptr;
    /// The materials of the suggested compositions, in order of appearance.
    QStringList suggestedMaterials;
};

} // namespace Orvane
