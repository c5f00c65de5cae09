#pragma once

// Type inputs workbooks as a consultant fills them and as they go wrong,
// edited with openpyxl, an independent writer. Kept inline: only the
// programs that link the plug-in's core include it.
#include "Sheet.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/TypeInputs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace testsupport {

/// One type's inputs as compared between models: shares by material.
struct ComparableInputs
{
    QVariant functionalUnit;
    QVariant mass;
    int reused = -1;
    bool hasComposition = false;
    QMap<QString, QVariant> shares;

    bool operator==(const ComparableInputs& other) const
    {
        return functionalUnit == other.functionalUnit && mass == other.mass && reused == other.reused &&
               hasComposition == other.hasComposition && shares == other.shares;
    }
};

inline ComparableInputs comparable(const Orvane::TypeInputs& inputs)
{
    ComparableInputs values{
        inputs.functionalUnit, inputs.massPerFunctionalUnit, inputs.reused, inputs.hasComposition, {}};
    for (const Orvane::TypeInputs::Share& share : inputs.shares) {
        values.shares.insert(share.material, share.value);
    }
    return values;
}

inline QMap<QString, ComparableInputs> inputsByGlobalId(const Orvane::TypeInputsTable& table)
{
    QMap<QString, ComparableInputs> inputs;
    for (const Orvane::TypeInputs& type : table.types) {
        inputs.insert(type.globalId, comparable(type));
    }
    return inputs;
}

/// How many types have at least one input.
inline int typesWithInputs(const Orvane::TypeInputsTable& table)
{
    return int(std::count_if(table.types.cbegin(), table.types.cend(), [](const Orvane::TypeInputs& inputs) {
        return inputs.hasComposition || !inputs.functionalUnit.isNull() || !inputs.massPerFunctionalUnit.isNull() ||
               inputs.reused >= 0;
    }));
}

inline void PrintTo(const ComparableInputs& inputs, std::ostream* out)
{
    *out << "{" << inputs.functionalUnit.toString().toStdString() << ", " << inputs.mass.toString().toStdString()
         << ", reused " << inputs.reused << ", " << inputs.shares.size() << " shares}";
}

/// Fills the rows of the inputs workbook at path with the inputs of the
/// table's types, found by GlobalId, as a person would in a spreadsheet:
/// material columns are added after the last column for the materials the
/// workbook lacks, empty inputs stay empty.
inline bool fillWorkbook(const QString& path, const Orvane::TypeInputsTable& values)
{
    QJsonObject types;
    for (const Orvane::TypeInputs& inputs : values.types) {
        QJsonObject shares;
        for (const Orvane::TypeInputs::Share& share : inputs.shares) {
            shares.insert(share.material, QJsonValue::fromVariant(share.value));
        }
        types.insert(inputs.globalId,
                     QJsonObject{{"fu", QJsonValue::fromVariant(inputs.functionalUnit)},
                                 {"mass", QJsonValue::fromVariant(inputs.massPerFunctionalUnit)},
                                 {"reused", inputs.reused < 0 ? QJsonValue() : QJsonValue(inputs.reused == 1)},
                                 {"shares", shares}});
    }
    const QString json = path + ".json";
    const QJsonObject document{{"materials", QJsonArray::fromStringList(values.materials)}, {"types", types}};
    if (!writeFile(json, QJsonDocument(document).toJson())) {
        return false;
    }
    static const char* const script = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
values = json.load(open(sys.argv[2], encoding="utf-8"))
headers = {sheet.cell(1, c).value: c for c in range(1, sheet.max_column + 1)}
for material in values["materials"]:
    if material not in headers:
        headers[material] = sheet.max_column + 1
        sheet.cell(1, headers[material]).value = material
for row in range(2, sheet.max_row + 1):
    inputs = values["types"].get(sheet.cell(row, headers["GlobalId"]).value)
    if inputs is None:
        continue
    for header, key in (("Functional unit", "fu"), ("Mass per functional unit", "mass"), ("Reused", "reused")):
        if inputs[key] is not None:
            sheet.cell(row, headers[header]).value = inputs[key]
    for material, share in inputs["shares"].items():
        sheet.cell(row, headers[material]).value = share
book.save(sys.argv[1])
)";
    return Sheet::runPython(QString::fromUtf8(script), {path, json});
}

/// Runs Python statements on the workbook at path, which they see as `book`
/// and its first sheet as `sheet`, then saves it; statements that set
/// `book` to None write the file themselves.
inline bool editWorkbook(const QString& path, const QString& statements)
{
    static const char* const script = R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
exec(sys.argv[2])
if book is not None:
    book.save(sys.argv[1])
)";
    return Sheet::runPython(QString::fromUtf8(script), {path, statements});
}

/// A workbook an import must refuse as a whole: the edit made to an export
/// of a sample's inputs, and what the message says, in order.
struct BadWorkbook
{
    const char* name;
    QString edit;
    QStringList message;
};

/// Each edit first changes a mass on row 2, so that an import writing rows
/// before it finds the error would show.
inline std::vector<BadWorkbook> badWorkbooks()
{
    const QString changeFirstRow = QStringLiteral("sheet['F2'] = 12345.0\n");
    const QString cell = QStringLiteral("Sheet \"Type inputs\", row %1, column %2 (\"%3\"): ");
    const QString mass = QStringLiteral("Mass per functional unit");
    return {
        {"missing sheet", "sheet.title = 'Other'", {"No sheet \"Type inputs\" in '"}},
        {"missing fixed column",
         changeFirstRow + "sheet.delete_cols(6)",
         {"Sheet \"Type inputs\", row 1: no column \"Mass per functional unit\""}},
        {"text in a mass",
         changeFirstRow + "sheet['F4'] = 'abc'",
         {cell.arg(4).arg("F", mass) + "\"abc\" is not a number"}},
        {"negative mass", changeFirstRow + "sheet['F5'] = -2.5", {cell.arg(5).arg("F", mass) + "-2.5 is negative"}},
        {"mass not a finite number",
         changeFirstRow + "sheet['F3'] = 'NaN'",
         {cell.arg(3).arg("F", mass) + "\"NaN\" is not a finite number"}},
        {"negative share",
         changeFirstRow + QString::fromUtf8("sheet['I1'] = 'Matériau X'\nsheet['I5'] = -10"),
         {cell.arg(5).arg("I", QString::fromUtf8("Matériau X")) + "-10 is negative"}},
        {"unknown GlobalId",
         changeFirstRow + "sheet['A6'] = '0123456789abcdefghijkl'",
         {cell.arg(6).arg("A", "GlobalId") +
          "\"0123456789abcdefghijkl\" is not the GlobalId of an element type of the model"}},
        {"GlobalId twice",
         changeFirstRow + "sheet['A7'] = sheet['A3'].value",
         {cell.arg(7).arg("A", "GlobalId"), "\" is already on row 3"}},
        {"unreadable reuse value",
         changeFirstRow + "sheet['G4'] = 'maybe'",
         {cell.arg(4).arg("G", "Reused") + "\"maybe\" is not a reuse value"}},
        {"value under no header",
         changeFirstRow + "sheet.cell(4, sheet.max_column + 2).value = 5",
         {"Sheet \"Type inputs\", row 4, column ", "(\"\"): a value in a column without a header in row 1"}},
        {"not a workbook",
         "book = None\nopen(sys.argv[1], 'w').write('GlobalId;Type\\n')",
         {"The workbook cannot be read: ", " is not a workbook"}},
    };
}

/// Whether the fragments come in that order in text.
inline bool saysInOrder(const QString& text, const QStringList& fragments)
{
    int from = 0;
    for (const QString& fragment : fragments) {
        from = text.indexOf(fragment, from);
        if (from < 0) {
            return false;
        }
        from += fragment.size();
    }
    return true;
}

} // namespace testsupport
