#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputs.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsChange.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsSuggestion.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractTableModel>
#include <QMap>
#include <QPointer>
#include <QUndoStack>

#include <optional>

namespace Orvane {

/// The inputs of every element type of a model, one row each, editable in
/// place: an edit writes the input at the settings' path of the type,
/// through the model's undo history when one is given. Columns: type name,
/// entity, instances, functional unit, mass per functional unit, reused
/// (a check box), status, then one column per material with its share.
///
/// Where a type lacks an input, the input suggested from the model's
/// materials and quantities is shown in its cell, greyed, with where it
/// comes from; it is written only once accepted.
class TypeInputsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        EntityColumn,
        InstancesColumn,
        FunctionalUnitColumn,
        MassColumn,
        ReusedColumn,
        StatusColumn,
        FirstMaterialColumn
    };
    /// Whether a row's type has every input the computation needs (bool).
    static constexpr int CompleteRole = Qt::UserRole + 1;
    /// Whether a cell shows a suggestion rather than the model's value (bool).
    static constexpr int SuggestedRole = Qt::UserRole + 2;

    explicit TypeInputsModel(QObject* parent = nullptr);
    ~TypeInputsModel() override;

    /// Reads the types of the model again (null empties the table).
    void setModel(_ifc2x3::IFC2x3Model* model);
    _ifc2x3::IFC2x3Model* model() const { return hostModel; }
    void setSettings(const MaterialQuantitiesSettings& settings);
    /// Where edits go, to be undone; without, they are written directly.
    void setUndoStack(QUndoStack* stack) { undoStack = stack; }
    /// Where suggested masses take their densities from, from the next
    /// reload on.
    void setMaterialLibrary(const MaterialLibrary& newLibrary) { library = newLibrary; }
    /// Reads every type again.
    void reload();

    const TypeInputsTable& table() const { return inputs; }
    /// One per type of the table.
    const QVector<TypeInputsSuggestion>& suggestions() const { return suggested; }
    /// The suggested input a column shows (a TypeInputsSuggestion::Input),
    /// every input for the columns that show none.
    static int suggestionInputOf(int column);
    /// Writes the suggested inputs of types as one step of the history: by
    /// row, an OR of TypeInputsSuggestion::Input. False when none is
    /// suggested or they cannot be written, with the reason in *error.
    bool acceptSuggestions(const QMap<int, int>& inputsByRow, QString* error = nullptr);
    /// Why inputs cannot be edited, one line per input whose path does not
    /// lead into a property set of the type.
    QStringList readOnlyReasons() const;
    /// The material of a column, empty for the fixed ones.
    QString materialOf(int column) const;
    /// The words of the functional units the computation recognises, in
    /// the user's language.
    static QStringList functionalUnitWords();
    /// A share as typed ("40", "40 %", "0.4", "0,4") in the convention of
    /// the type's other shares; empty for an empty text, none when it is not
    /// a non-negative number.
    static std::optional<std::optional<double>> parseShare(const QString& text, bool percentages);
    /// A non-negative number as typed in the user's or the C locale.
    static std::optional<double> parseNumber(const QString& text);

    /// Writes what a workbook changes as one step of the history; false,
    /// with the model as it was, when it cannot be written.
    bool applyChanges(const QVector<TypeInputsChange>& changes, const QString& text, QString* error = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    /// An edit was refused: the value is not one the input takes, or it
    /// could not be written.
    void editRefused(const QString& message);

private:
    QVariant displayData(const TypeInputs& type, int column) const;
    QVariant editData(const TypeInputs& type, int column) const;
    QVariant toolTip(const TypeInputs& type, int column) const;
    /// The suggestion a cell shows in place of a missing value, or null.
    QVariant suggestionShown(int row, int column) const;
    QString suggestionToolTip(int row, int column) const;
    /// Suggests the inputs of every type again; materials only suggested
    /// get columns too.
    void suggestAll();
    /// Drops the suggested inputs whose paths cannot be written.
    void keepWritable(TypeInputsSuggestion& suggestion) const;
    /// The input a column edits, none for the others.
    std::optional<TypeInputsWriter::Input> inputOf(int column) const;
    /// Runs an edit of the type at row as one step of the history.
    bool edit(int row, const QString& text, std::function<bool(const TypeInputsWriter&)> write);
    /// Runs write as one step of the history, then afterChange.
    bool runStep(const QString& text, QVector<int> rows, std::function<bool(const TypeInputsWriter&)> write,
                 std::function<void()> afterChange);
    /// Reads the type of a model row again and tells the views.
    void refreshTypeRow(int modelRow);

    QPointer<_ifc2x3::IFC2x3Model> hostModel;
    MaterialQuantitiesSettings settings;
    std::optional<TypeInputsWriter> writer;
    QPointer<QUndoStack> undoStack;
    TypeInputsTable inputs;
    MaterialLibrary library;
    QVector<TypeInputsSuggestion> suggested;
};

} // namespace Orvane
