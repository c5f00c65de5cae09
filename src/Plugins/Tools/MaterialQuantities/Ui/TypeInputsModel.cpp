#include "TypeInputsModel.h"

#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsSuggester.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/JournaledEditCommand.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QSet>
#include <QStyle>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <memory>

namespace Orvane {

namespace {
QString shareText(const QVariant& share)
{
    return share.userType() == QMetaType::Double ? QLocale().toString(share.toDouble(), 'g', 12) : share.toString();
}
} // namespace

TypeInputsModel::TypeInputsModel(QObject* parent) : QAbstractTableModel(parent) {}

TypeInputsModel::~TypeInputsModel() = default;

void TypeInputsModel::setModel(_ifc2x3::IFC2x3Model* model)
{
    hostModel = model;
    reload();
}

void TypeInputsModel::setSettings(const MaterialQuantitiesSettings& newSettings)
{
    settings = newSettings;
    reload();
}

void TypeInputsModel::reload()
{
    beginResetModel();
    writer.reset();
    inputs = {};
    suggested.clear();
    if (hostModel) {
        writer.emplace(hostModel, settings);
        inputs = TypeInputsReader(hostModel, settings).read();
        suggestAll();
    }
    endResetModel();
}

void TypeInputsModel::suggestAll()
{
    suggested = TypeInputsSuggester(hostModel, settings, library).suggest(inputs);
    for (TypeInputsSuggestion& suggestion : suggested) {
        keepWritable(suggestion);
        for (const TypeInputs::Share& share : suggestion.composition.value_or(QVector<TypeInputs::Share>())) {
            if (!inputs.materials.contains(share.material)) {
                inputs.materials << share.material;
            }
        }
    }
}

void TypeInputsModel::keepWritable(TypeInputsSuggestion& suggestion) const
{
    // What cannot be written is not offered: the cell says why instead.
    if (!writer->pathOf(TypeInputsWriter::FunctionalUnit).isWritable()) {
        suggestion.functionalUnit.reset();
    }
    if (!writer->pathOf(TypeInputsWriter::MassPerFunctionalUnit).isWritable()) {
        suggestion.massPerFunctionalUnit.reset();
    }
    if (!writer->pathOf(TypeInputsWriter::Composition).isWritable()) {
        suggestion.composition.reset();
    }
}

int TypeInputsModel::suggestionInputOf(int column)
{
    switch (column) {
    case FunctionalUnitColumn:
        return TypeInputsSuggestion::FunctionalUnit;
    case MassColumn:
        return TypeInputsSuggestion::MassPerFunctionalUnit;
    default:
        return column >= FirstMaterialColumn ? TypeInputsSuggestion::Composition : TypeInputsSuggestion::AllInputs;
    }
}

bool TypeInputsModel::acceptSuggestions(const QMap<int, int>& inputsByRow, QString* error)
{
    QVector<TypeInputsChange> changes;
    for (auto row = inputsByRow.cbegin(); row != inputsByRow.cend(); ++row) {
        const TypeInputsChange change = row.key() >= 0 && row.key() < suggested.size()
                                            ? suggested[row.key()].change(row.value())
                                            : TypeInputsChange();
        if (!change.isEmpty()) {
            changes << change;
        }
    }
    if (changes.isEmpty()) {
        if (error) {
            *error = tr("No suggestion to accept");
        }
        return false;
    }
    return applyChanges(changes, tr("Accept suggested inputs of %n type(s)", nullptr, changes.size()), error);
}

QVariant TypeInputsModel::suggestionShown(int row, int column) const
{
    if (row < 0 || row >= suggested.size()) {
        return {};
    }
    const TypeInputsSuggestion& suggestion = suggested[row];
    const TypeInputs& type = inputs.types[row];
    switch (column) {
    case FunctionalUnitColumn:
        return type.functionalUnit.isNull() && suggestion.functionalUnit ? QVariant(*suggestion.functionalUnit)
                                                                         : QVariant();
    case MassColumn:
        return type.massPerFunctionalUnit.isNull() && suggestion.massPerFunctionalUnit
                   ? QVariant(*suggestion.massPerFunctionalUnit)
                   : QVariant();
    default:
        break;
    }
    const QString material = materialOf(column);
    if (material.isEmpty() || !suggestion.composition || !type.shareOf(material).isNull()) {
        return {};
    }
    const auto share = std::find_if(suggestion.composition->cbegin(), suggestion.composition->cend(),
                                    [&](const TypeInputs::Share& candidate) { return candidate.material == material; });
    return share == suggestion.composition->cend() ? QVariant() : share->value;
}

QString TypeInputsModel::suggestionToolTip(int row, int column) const
{
    if (row < 0 || row >= suggested.size()) {
        return {};
    }
    const TypeInputsSuggestion& suggestion = suggested[row];
    QString text;
    switch (suggestionInputOf(column)) {
    case TypeInputsSuggestion::FunctionalUnit:
        text = suggestion.functionalUnit
                   ? tr("Suggested: %1\n%2").arg(*suggestion.functionalUnit, suggestion.functionalUnitSource)
                   : QString();
        break;
    case TypeInputsSuggestion::MassPerFunctionalUnit:
        text = suggestion.massPerFunctionalUnit
                   ? tr("Suggested: %1 kg\n%2").arg(shareText(*suggestion.massPerFunctionalUnit), suggestion.massSource)
               : suggestion.massSource.isEmpty() ? QString()
                                                 : tr("No mass suggested: %1").arg(suggestion.massSource);
        break;
    case TypeInputsSuggestion::Composition:
        text = suggestion.composition ? tr("Suggested composition\n%1").arg(suggestion.compositionSource) : QString();
        break;
    default:
        return {};
    }
    if (!text.isEmpty() && !suggestion.materialsWithoutDensity.isEmpty()) {
        text += QLatin1Char('\n') + tr("No density in the material library for %1: add them to the library")
                                        .arg(suggestion.materialsWithoutDensity.join(QStringLiteral(", ")));
    }
    return text;
}

QStringList TypeInputsModel::readOnlyReasons() const
{
    QStringList reasons;
    for (auto input : {TypeInputsWriter::FunctionalUnit, TypeInputsWriter::MassPerFunctionalUnit,
                       TypeInputsWriter::Composition, TypeInputsWriter::Reused}) {
        if (writer && !writer->pathOf(input).isWritable()) {
            reasons << writer->pathOf(input).reason();
        }
    }
    return reasons;
}

QString TypeInputsModel::materialOf(int column) const
{
    const int material = column - FirstMaterialColumn;
    return material >= 0 && material < inputs.materials.size() ? inputs.materials[material] : QString();
}

QStringList TypeInputsModel::functionalUnitWords()
{
    // Each names one unit to the computation in either language.
    QStringList words;
    for (const auto unit : {MaterialQuantitiesCalculator::Volume, MaterialQuantitiesCalculator::Area,
                            MaterialQuantitiesCalculator::Length, MaterialQuantitiesCalculator::Unit}) {
        words << TypeInputsSuggester::wordOf(unit);
    }
    return words;
}

std::optional<double> TypeInputsModel::parseNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double number = QLocale().toDouble(trimmed, &ok);
    if (!ok) {
        number = QLocale::c().toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(number) || number < 0.0) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::optional<double>> TypeInputsModel::parseShare(const QString& text, bool percentages)
{
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::optional<double>();
    }
    const bool percent = trimmed.endsWith(QLatin1Char('%'));
    if (percent) {
        trimmed.chop(1);
    }
    const std::optional<double> number = parseNumber(trimmed);
    if (!number) {
        return std::nullopt;
    }
    // "40 %" in a type written in fractions is 0.4 of it.
    return std::optional<double>(percent && !percentages ? *number / 100.0 : *number);
}

int TypeInputsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : inputs.types.size();
}

int TypeInputsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FirstMaterialColumn + inputs.materials.size();
}

std::optional<TypeInputsWriter::Input> TypeInputsModel::inputOf(int column) const
{
    switch (column) {
    case FunctionalUnitColumn:
        return TypeInputsWriter::FunctionalUnit;
    case MassColumn:
        return TypeInputsWriter::MassPerFunctionalUnit;
    case ReusedColumn:
        return TypeInputsWriter::Reused;
    default:
        break;
    }
    return column >= FirstMaterialColumn ? std::optional<TypeInputsWriter::Input>(TypeInputsWriter::Composition)
                                         : std::nullopt;
}

QVariant TypeInputsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const TypeInputs& type = inputs.types[index.row()];
    const int column = index.column();
    const QVariant suggestion = suggestionShown(index.row(), column);
    switch (role) {
    case Qt::DisplayRole:
        return suggestion.isValid() ? QVariant(shareText(suggestion)) : displayData(type, column);
    case Qt::EditRole:
        return editData(type, column);
    case Qt::ToolTipRole: {
        const QString suggested =
            flags(index) & Qt::ItemIsEditable ? suggestionToolTip(index.row(), column) : QString();
        return suggested.isEmpty() ? toolTip(type, column) : suggested;
    }
    case Qt::FontRole: {
        QFont italic;
        italic.setItalic(true);
        return suggestion.isValid() ? QVariant(italic) : QVariant();
    }
    case SuggestedRole:
        return suggestion.isValid();
    case Qt::CheckStateRole:
        return column == ReusedColumn ? QVariant(type.reused == 1 ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::TextAlignmentRole:
        return column == InstancesColumn || column == MassColumn || column >= FirstMaterialColumn
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    case Qt::ForegroundRole:
        if (suggestion.isValid()) {
            return QBrush(Qt::gray);
        }
        return column == StatusColumn && !type.isComplete() ? QVariant(QBrush(QColor(0xb0, 0x30, 0x00))) : QVariant();
    case CompleteRole:
        return type.isComplete();
    default:
        return {};
    }
}

QVariant TypeInputsModel::displayData(const TypeInputs& type, int column) const
{
    switch (column) {
    case NameColumn:
        return type.name;
    case EntityColumn:
        return type.entity;
    case InstancesColumn:
        return QLocale().toString(type.instances);
    case FunctionalUnitColumn:
        return type.functionalUnit;
    case MassColumn:
        return shareText(type.massPerFunctionalUnit);
    case ReusedColumn:
        return {};
    case StatusColumn:
        return type.status();
    default:
        return shareText(type.shareOf(materialOf(column)));
    }
}

QVariant TypeInputsModel::editData(const TypeInputs& type, int column) const
{
    switch (column) {
    case InstancesColumn:
        return type.instances; // sorted as a number
    case MassColumn:
        return type.massPerFunctionalUnit.userType() == QMetaType::Double ? type.massPerFunctionalUnit
                                                                          : QVariant(QString());
    case ReusedColumn:
        return type.reused;
    default:
        break;
    }
    if (column >= FirstMaterialColumn) {
        const QVariant share = type.shareOf(materialOf(column));
        return share.userType() == QMetaType::Double ? share : QVariant(QString());
    }
    return displayData(type, column);
}

QVariant TypeInputsModel::toolTip(const TypeInputs& type, int column) const
{
    if (const auto input = inputOf(column); input && writer && !writer->pathOf(*input).isWritable()) {
        return writer->pathOf(*input).reason();
    }
    switch (column) {
    case ReusedColumn:
        return type.reused < 0 ? tr("No reuse flag: the type's materials are taken as not reused") : QVariant();
    case StatusColumn:
        return type.status();
    case FunctionalUnitColumn:
        return type.unit == MaterialQuantitiesCalculator::Undefined
                   ? tr("Recognised: %1").arg(functionalUnitWords().join(QStringLiteral(", ")))
                   : QVariant();
    default:
        break;
    }
    if (column >= FirstMaterialColumn) {
        return type.sharesArePercentages() ? tr("Share in percent of the type's mass")
                                           : tr("Share as a fraction of the type's mass (\"40 %\" is read as 0.4)");
    }
    return {};
}

Qt::ItemFlags TypeInputsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const auto input = inputOf(index.column());
    // Not while an operation rewrites the model.
    if (!index.isValid() || !input || !writer || !writer->pathOf(*input).isWritable() || !hostModel ||
        hostModel->isBusy()) {
        return flags;
    }
    return flags | (*input == TypeInputsWriter::Reused ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

QVariant TypeInputsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case NameColumn:
        return tr("Type");
    case EntityColumn:
        return tr("Entity");
    case InstancesColumn:
        return tr("Instances");
    case FunctionalUnitColumn:
        return tr("Functional unit");
    case MassColumn:
        return tr("Mass per functional unit");
    case ReusedColumn:
        return tr("Reused");
    case StatusColumn:
        return tr("Status");
    default:
        return materialOf(section);
    }
}

bool TypeInputsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) {
        return false;
    }
    const TypeInputs& type = inputs.types[index.row()];
    ifc2x3::IfcObjectDefinition* object = type.type;
    const int column = index.column();
    if (column == ReusedColumn && role == Qt::CheckStateRole) {
        const bool reused = value.toInt() == Qt::Checked;
        return edit(index.row(), tr("Set reused of %1").arg(type.name),
                    [object, reused](const TypeInputsWriter& writer) { return writer.setReused(object, reused); });
    }
    if (role != Qt::EditRole) {
        return false;
    }
    if (column == FunctionalUnitColumn) {
        const QString unit = value.toString().trimmed();
        if (unit.isEmpty() || unit == type.functionalUnit.toString()) {
            return false;
        }
        return edit(index.row(), tr("Set functional unit of %1").arg(type.name),
                    [object, unit](const TypeInputsWriter& writer) { return writer.setFunctionalUnit(object, unit); });
    }
    if (column == MassColumn) {
        const double typed = value.toDouble();
        const std::optional<double> mass = value.userType() != QMetaType::Double  ? parseNumber(value.toString())
                                           : std::isfinite(typed) && typed >= 0.0 ? std::optional<double>(typed)
                                                                                  : std::nullopt;
        if (!mass) {
            emit editRefused(tr("\"%1\" is not a mass: type a number of kilograms, 0 or more").arg(value.toString()));
            return false;
        }
        if (QVariant(*mass) == type.massPerFunctionalUnit) {
            return false;
        }
        return edit(
            index.row(), tr("Set mass per functional unit of %1").arg(type.name),
            [object, mass](const TypeInputsWriter& writer) { return writer.setMassPerFunctionalUnit(object, *mass); });
    }
    const QString material = materialOf(column);
    const auto share = value.userType() == QMetaType::Double
                           ? std::optional<std::optional<double>>(std::optional<double>(value.toDouble()))
                           : parseShare(value.toString(), type.sharesArePercentages());
    if (!share || (*share && **share < 0.0)) {
        emit editRefused(
            tr("\"%1\" is not a share: type a number, 0 or more, or a percentage such as 40 %").arg(value.toString()));
        return false;
    }
    if ((*share ? QVariant(**share) : QVariant()) == type.shareOf(material)) {
        return false;
    }
    return edit(index.row(), tr("Set share of %1 in %2").arg(material, type.name),
                [object, material, share](const TypeInputsWriter& writer) {
                    return writer.setShare(object, material, *share);
                });
}

bool TypeInputsModel::edit(int row, const QString& text, std::function<bool(const TypeInputsWriter&)> write)
{
    const int modelRow = inputs.types[row].row;
    QPointer<TypeInputsModel> self(this);
    const bool written = runStep(text, {modelRow}, std::move(write), [self, modelRow] {
        if (self) {
            self->refreshTypeRow(modelRow);
        }
    });
    if (!written) {
        emit editRefused(tr("%1: the input could not be written into the model").arg(text));
    }
    return written;
}

bool TypeInputsModel::applyChanges(const QVector<TypeInputsChange>& changes, const QString& text, QString* error)
{
    QVector<int> rows;
    for (const TypeInputsChange& change : changes) {
        const int row = hostModel ? hostModel->index(change.type).row() : -1;
        if (row >= 0) {
            rows << row;
        }
    }
    auto reason = std::make_shared<QString>();
    QPointer<TypeInputsModel> self(this);
    const bool written = runStep(
        text, rows,
        [changes, reason](const TypeInputsWriter& writer) {
            return TypeInputsWorkbookImport::apply(changes, writer, reason.get()) >= 0;
        },
        [self] {
            if (self) {
                self->reload();
            }
        });
    if (!written && error) {
        *error = *reason;
    }
    return written;
}

bool TypeInputsModel::runStep(const QString& text, QVector<int> rows,
                              std::function<bool(const TypeInputsWriter&)> write, std::function<void()> afterChange)
{
    if (!hostModel || !writer) {
        return false;
    }
    const TypeInputsWriter writerThen = *writer;
    // Told by the edit itself: the stack deletes a command that failed.
    auto written = std::make_shared<bool>(false);
    auto* command = new JournaledEditCommand(
        hostModel, text,
        [writerThen, write, written] {
            *written = write(writerThen);
            return *written;
        },
        std::move(rows));
    command->setAfterChange(std::move(afterChange));
    if (undoStack) {
        undoStack->push(command);
    } else {
        command->redo();
        // Without a history the edit is kept for good.
        if (*written && hostModel->dataSet()) {
            hostModel->dataSet()->commitJournal();
        }
        delete command;
    }
    return *written;
}

void TypeInputsModel::refreshTypeRow(int modelRow)
{
    const int row = inputs.indexOfRow(modelRow);
    if (row < 0 || !hostModel) {
        return;
    }
    TypeInputsReader(hostModel, settings).reread(inputs.types[row]);
    suggested[row] = TypeInputsSuggester(hostModel, settings, library).suggest(inputs.types[row]);
    keepWritable(suggested[row]);
    QVector<TypeInputs::Share> shares = inputs.types[row].shares;
    shares << suggested[row].composition.value_or(QVector<TypeInputs::Share>());
    QStringList added;
    for (const TypeInputs::Share& share : qAsConst(shares)) {
        if (!inputs.materials.contains(share.material) && !added.contains(share.material)) {
            added << share.material;
        }
    }
    if (!added.isEmpty()) {
        const int first = columnCount();
        beginInsertColumns(QModelIndex(), first, first + added.size() - 1);
        inputs.materials << added;
        endInsertColumns();
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

} // namespace Orvane
