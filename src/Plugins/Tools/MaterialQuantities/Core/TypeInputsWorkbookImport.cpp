#include "TypeInputsWorkbookImport.h"

#include "TypeInputsWriter.h"

#include "OrvaneXlsx/XlsxReader.h"

#include "Step/BaseExpressDataSet.h"
#include "ifc2x3/ExpressDataSet.h"

#include <algorithm>
#include <cmath>

namespace Orvane {

using Column = TypeInputsColumns::Column;

namespace {

/// A number typed as text, with a decimal point or a French decimal comma.
std::optional<double> numberInText(const QString& text)
{
    QString trimmed = text.trimmed();
    if (trimmed.count(QLatin1Char(',')) == 1 && !trimmed.contains(QLatin1Char('.'))) {
        trimmed.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

/// The workbook keeps 16 significant digits: a number read back from an
/// export may differ from the model's in the last bit without being a
/// change.
bool sameNumber(const QVariant& held, double number)
{
    if (held.userType() != QMetaType::Double) {
        return false;
    }
    const double before = held.toDouble();
    return std::abs(before - number) <= 1e-14 * std::max(std::abs(before), std::abs(number));
}

std::optional<bool> reuseFlag(const QVariant& value)
{
    if (value.userType() == QMetaType::Bool) {
        return value.toBool();
    }
    if (value.userType() == QMetaType::Double) {
        const double number = value.toDouble();
        return number == 1.0 ? std::optional<bool>(true) : number == 0.0 ? std::optional<bool>(false) : std::nullopt;
    }
    static const QStringList yes = {"true", "yes", "oui", "vrai", "1"};
    static const QStringList no = {"false", "no", "non", "faux", "0"};
    const QString text = value.toString().trimmed().toLower();
    if (yes.contains(text)) {
        return true;
    }
    return no.contains(text) ? std::optional<bool>(false) : std::nullopt;
}

QString cellText(const QVariant& value)
{
    return value.userType() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 16) : value.toString();
}

bool failed(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
    return false;
}

} // namespace

TypeInputsWorkbookImport::TypeInputsWorkbookImport(const TypeInputsTable& current)
    : current(current), sheet(TypeInputsColumns::sheetName())
{
    typeIndex.reserve(current.types.size());
    for (int i = 0; i < current.types.size(); ++i) {
        typeIndex.insert(current.types.at(i).globalId, i);
    }
}

TypeInputsWorkbookImport::Result TypeInputsWorkbookImport::read(const QString& path, const TypeInputsTable& current)
{
    TypeInputsWorkbookImport import(current);
    Result result;
    QMap<int, Cells> rows;
    bool valid = import.readWorkbook(path, rows) && import.readHeader(rows.value(1));
    for (auto row = rows.constBegin(); valid && row != rows.constEnd(); ++row) {
        valid = row.key() == 1 || import.readRow(row.key(), row.value(), result);
    }
    if (!valid) {
        return Result{{}, import.error};
    }
    return result;
}

bool TypeInputsWorkbookImport::readWorkbook(const QString& path, QMap<int, Cells>& rows)
{
    XlsxReader reader(path);
    if (!reader.open()) {
        error = tr("The workbook cannot be read: %1").arg(reader.errorString());
        return false;
    }
    const QStringList sheets = reader.sheetNames();
    const auto found = std::find_if(sheets.cbegin(), sheets.cend(), &TypeInputsColumns::isSheetName);
    if (found == sheets.cend()) {
        error = tr("No sheet \"%1\" in '%2'; its sheets: %3")
                    .arg(TypeInputsColumns::sheetName(), path, sheets.join(QStringLiteral(", ")));
        return false;
    }
    sheet = *found;
    const bool read = reader.readSheet(int(found - sheets.cbegin()), [&](int row, int column, const QVariant& value) {
        rows[row].insert(column, value);
        return true;
    });
    if (!read) {
        error = tr("The workbook cannot be read: %1").arg(reader.errorString());
    }
    return read;
}

bool TypeInputsWorkbookImport::readHeader(const Cells& header)
{
    for (auto cell = header.constBegin(); cell != header.constEnd(); ++cell) {
        const QString text = cell.value().toString();
        headers.insert(cell.key(), text);
        const std::optional<Column> fixed = TypeInputsColumns::columnOf(text);
        if (!fixed) {
            continue;
        }
        int& column = fixedColumns.at(std::size_t(*fixed));
        if (column != 0) {
            return fail(1, cell.key(), tr("the same column as column %1").arg(TypeInputsColumns::letters(column)));
        }
        column = cell.key();
    }
    for (int column = 0; column < TypeInputsColumns::Count; ++column) {
        if (TypeInputsColumns::isRequired(Column(column)) && fixedColumns.at(std::size_t(column)) == 0) {
            error = tr("Sheet \"%1\", row 1: no column \"%2\"").arg(sheet, TypeInputsColumns::header(Column(column)));
            return false;
        }
    }
    return readMaterialHeaders(header);
}

bool TypeInputsWorkbookImport::readMaterialHeaders(const Cells& header)
{
    QHash<QString, int> columnOfMaterial;
    for (auto cell = header.constBegin(); cell != header.constEnd(); ++cell) {
        const QString material = cell.value().toString();
        if (material.trimmed().isEmpty() || isFixedColumn(cell.key())) {
            continue;
        }
        // Suggestions count once the user copied them into the inputs.
        if (TypeInputsColumns::isSuggestionHeader(material)) {
            suggestionColumns.insert(cell.key());
            continue;
        }
        if (const int other = columnOfMaterial.value(material); other != 0) {
            return fail(1, cell.key(), tr("the same material as column %1").arg(TypeInputsColumns::letters(other)));
        }
        columnOfMaterial.insert(material, cell.key());
        materialColumns.insert(cell.key(), material);
    }
    return true;
}

bool TypeInputsWorkbookImport::readRow(int row, const Cells& cells, Result& result)
{
    const TypeInputs* inputs = typeOfRow(row, cells);
    if (!inputs || !checkColumns(row, cells)) {
        return false;
    }
    TypeInputsChange change;
    change.type = inputs->type;
    change.globalId = inputs->globalId;
    if (!readFunctionalUnit(cells, *inputs, change) || !readMass(row, cells, *inputs, change) ||
        !readReused(row, cells, *inputs, change) || !readComposition(row, cells, *inputs, change)) {
        return false;
    }
    if (!change.isEmpty()) {
        result.changes.append(change);
    }
    return true;
}

const TypeInputs* TypeInputsWorkbookImport::typeOfRow(int row, const Cells& cells)
{
    const int column = fixedColumns.at(TypeInputsColumns::GlobalId);
    const QString globalId = cells.value(column).toString().trimmed();
    if (globalId.isEmpty()) {
        fail(row, column, tr("no GlobalId in a row that has values"));
        return nullptr;
    }
    const int index = typeIndex.value(globalId, -1);
    if (index < 0) {
        fail(row, column, tr("\"%1\" is not the GlobalId of an element type of the model").arg(globalId));
        return nullptr;
    }
    if (const int first = rowOfType.value(globalId); first != 0) {
        fail(row, column, tr("\"%1\" is already on row %2").arg(globalId).arg(first));
        return nullptr;
    }
    rowOfType.insert(globalId, row);
    return &current.types.at(index);
}

bool TypeInputsWorkbookImport::checkColumns(int row, const Cells& cells)
{
    for (auto cell = cells.constBegin(); cell != cells.constEnd(); ++cell) {
        if (!isFixedColumn(cell.key()) && !materialColumns.contains(cell.key()) &&
            !suggestionColumns.contains(cell.key())) {
            return fail(row, cell.key(), tr("a value in a column without a header in row 1"));
        }
    }
    return true;
}

bool TypeInputsWorkbookImport::isFixedColumn(int column) const
{
    return std::find(fixedColumns.cbegin(), fixedColumns.cend(), column) != fixedColumns.cend();
}

QVariant TypeInputsWorkbookImport::cellOf(const Cells& cells, Column column) const
{
    const int at = fixedColumns.at(std::size_t(column));
    return at == 0 ? QVariant() : cells.value(at);
}

bool TypeInputsWorkbookImport::readFunctionalUnit(const Cells& cells, const TypeInputs& inputs,
                                                  TypeInputsChange& change) const
{
    const QVariant value = cellOf(cells, TypeInputsColumns::FunctionalUnit);
    if (!value.isValid()) {
        return true;
    }
    const QString text = cellText(value);
    if (inputs.functionalUnit.isNull() || inputs.functionalUnit.toString() != text) {
        change.functionalUnit = text;
    }
    return true;
}

bool TypeInputsWorkbookImport::readMass(int row, const Cells& cells, const TypeInputs& inputs, TypeInputsChange& change)
{
    const QVariant value = cellOf(cells, TypeInputsColumns::MassPerFunctionalUnit);
    if (!value.isValid()) {
        return true;
    }
    QVariant mass;
    if (!readNumber(row, fixedColumns.at(TypeInputsColumns::MassPerFunctionalUnit), value, inputs.massPerFunctionalUnit,
                    mass)) {
        return false;
    }
    if (mass.userType() == QMetaType::Double && !sameNumber(inputs.massPerFunctionalUnit, mass.toDouble())) {
        change.massPerFunctionalUnit = mass.toDouble();
    }
    return true;
}

bool TypeInputsWorkbookImport::readReused(int row, const Cells& cells, const TypeInputs& inputs,
                                          TypeInputsChange& change)
{
    const QVariant value = cellOf(cells, TypeInputsColumns::Reused);
    if (!value.isValid()) {
        return true;
    }
    const std::optional<bool> flag = reuseFlag(value);
    if (!flag) {
        return fail(
            row, fixedColumns.at(TypeInputsColumns::Reused),
            tr("\"%1\" is not a reuse value: TRUE or FALSE, yes or no, oui or non, 1 or 0").arg(cellText(value)));
    }
    if (inputs.reused != (*flag ? 1 : 0)) {
        change.reused = *flag;
    }
    return true;
}

bool TypeInputsWorkbookImport::readComposition(int row, const Cells& cells, const TypeInputs& inputs,
                                               TypeInputsChange& change)
{
    QVector<TypeInputs::Share> shares;
    for (auto material = materialColumns.constBegin(); material != materialColumns.constEnd(); ++material) {
        const QVariant value = cells.value(material.key());
        QVariant share;
        if (!value.isValid()) {
            continue;
        }
        if (!readNumber(row, material.key(), value, inputs.shareOf(material.value()), share)) {
            return false;
        }
        shares.append({material.value(), share});
    }
    if (!shares.isEmpty() && !sameComposition(shares, inputs)) {
        change.composition = shares;
    }
    return true;
}

bool TypeInputsWorkbookImport::readNumber(int row, int column, const QVariant& value, const QVariant& held,
                                          QVariant& number)
{
    // Before reading it as a number: a label "12,5" stays the label it was.
    if (value.userType() == QMetaType::QString && held.userType() == QMetaType::QString &&
        held.toString() == value.toString()) {
        number = held;
        return true;
    }
    std::optional<double> read;
    if (value.userType() == QMetaType::Double) {
        read = value.toDouble();
    } else if (value.userType() == QMetaType::QString) {
        read = numberInText(value.toString());
    }
    if (!read) {
        return fail(row, column, tr("\"%1\" is not a number").arg(cellText(value)));
    }
    if (!std::isfinite(*read)) {
        return fail(row, column, tr("\"%1\" is not a finite number").arg(cellText(value)));
    }
    if (*read < 0.0) {
        return fail(row, column, tr("%1 is negative").arg(cellText(value)));
    }
    number = *read;
    return true;
}

bool TypeInputsWorkbookImport::sameComposition(const QVector<TypeInputs::Share>& shares, const TypeInputs& inputs)
{
    if (!inputs.hasComposition || shares.size() != inputs.shares.size()) {
        return false;
    }
    return std::all_of(shares.cbegin(), shares.cend(), [&](const TypeInputs::Share& share) {
        const QVariant held = inputs.shareOf(share.material);
        return share.value.userType() == QMetaType::Double ? sameNumber(held, share.value.toDouble())
                                                           : held == share.value;
    });
}

bool TypeInputsWorkbookImport::fail(int row, int column, const QString& message)
{
    error = tr("Sheet \"%1\", row %2, column %3 (\"%4\"): %5")
                .arg(sheet, QString::number(row), TypeInputsColumns::letters(column), headers.value(column), message);
    return false;
}

int TypeInputsWorkbookImport::apply(const QVector<TypeInputsChange>& changes, const TypeInputsWriter& writer,
                                    QString* error)
{
    if (changes.isEmpty()) {
        return 0;
    }
    if (const QString problem = unwritableInput(changes, writer); !problem.isEmpty()) {
        failed(error, problem);
        return -1;
    }
    Step::BaseExpressDataSet* dataSet = changes.front().type ? changes.front().type->getExpressDataSet() : nullptr;
    // All or nothing: a write failing half-way leaves the model as it was.
    const bool journal = dataSet && dataSet->beginJournal();
    for (const TypeInputsChange& change : changes) {
        if (!write(change, writer)) {
            if (journal) {
                dataSet->rollbackJournal();
            }
            failed(error, tr("The inputs of the type \"%1\" cannot be written").arg(change.globalId));
            return -1;
        }
    }
    if (dataSet && dataSet->instanceNumbersExhausted()) {
        if (journal) {
            dataSet->rollbackJournal();
        }
        failed(error, tr("No instance number is left in the model for the inputs"));
        return -1;
    }
    if (journal) {
        dataSet->commitJournal();
    }
    return changes.size();
}

QString TypeInputsWorkbookImport::unwritableInput(const QVector<TypeInputsChange>& changes,
                                                  const TypeInputsWriter& writer)
{
    const struct
    {
        TypeInputsWriter::Input input;
        Column column;
        bool (*used)(const TypeInputsChange&);
    } inputs[] = {
        {TypeInputsWriter::FunctionalUnit, TypeInputsColumns::FunctionalUnit,
         [](const TypeInputsChange& change) { return change.functionalUnit.has_value(); }},
        {TypeInputsWriter::MassPerFunctionalUnit, TypeInputsColumns::MassPerFunctionalUnit,
         [](const TypeInputsChange& change) { return change.massPerFunctionalUnit.has_value(); }},
        {TypeInputsWriter::Reused, TypeInputsColumns::Reused,
         [](const TypeInputsChange& change) { return change.reused.has_value(); }},
        {TypeInputsWriter::Composition, TypeInputsColumns::Count,
         [](const TypeInputsChange& change) { return change.composition.has_value(); }},
    };
    for (const auto& input : inputs) {
        const TypeInputPath& path = writer.pathOf(input.input);
        if (!path.isWritable() && std::any_of(changes.cbegin(), changes.cend(), input.used)) {
            const QString name = input.column == TypeInputsColumns::Count ? tr("The material composition")
                                                                          : TypeInputsColumns::header(input.column);
            return tr("%1 cannot be written at \"%2\": %3").arg(name, path.path(), path.reason());
        }
    }
    return {};
}

bool TypeInputsWorkbookImport::write(const TypeInputsChange& change, const TypeInputsWriter& writer)
{
    if (!change.type) {
        return false;
    }
    return (!change.functionalUnit || writer.setFunctionalUnit(change.type, *change.functionalUnit)) &&
           (!change.massPerFunctionalUnit ||
            writer.setMassPerFunctionalUnit(change.type, *change.massPerFunctionalUnit)) &&
           (!change.reused || writer.setReused(change.type, *change.reused)) &&
           (!change.composition || writer.setComposition(change.type, *change.composition));
}

} // namespace Orvane
