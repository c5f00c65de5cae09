#include "Sheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace testsupport {

namespace {

// The Debian Python that has openpyxl, not whatever python3 PATH finds first.
const QString python = QStringLiteral("/usr/bin/python3");

// Every cell of every sheet from A1, whatever the first used cell.
const char* const dumpScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = []
for sheet in book.worksheets:
    rows = []
    for row in sheet.iter_rows(min_row=1, min_col=1, max_row=sheet.max_row, max_col=sheet.max_column, values_only=True):
        rows.append([v if v is None or isinstance(v, (bool, int, float, str)) else str(v) for v in row])
    out.append({"name": sheet.title, "rows": rows})
sys.stdout.write(json.dumps(out))
)";

bool run(QProcess& process, const QStringList& arguments)
{
    process.start(python, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

QVariant Sheet::cell(int row, int column) const
{
    const QVariantList cells = this->row(row);
    return column <= cells.size() ? cells.at(column - 1) : QVariant();
}

bool Sheet::readerAvailable()
{
    static const bool available = [] {
        QProcess process;
        return run(process, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    }();
    return available;
}

bool Sheet::runPython(const QString& script, const QStringList& arguments)
{
    QProcess process;
    if (!run(process, QStringList{QStringLiteral("-c"), script} + arguments)) {
        ADD_FAILURE() << "python failed: " << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

QJsonDocument Sheet::runPythonJson(const QString& script, const QStringList& arguments)
{
    QProcess process;
    if (!run(process, QStringList{QStringLiteral("-c"), script} + arguments)) {
        ADD_FAILURE() << "python failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput());
}

QList<Sheet> Sheet::readWorkbook(const QString& path)
{
    QProcess process;
    if (!run(process, {QStringLiteral("-c"), QString::fromUtf8(dumpScript), path})) {
        ADD_FAILURE() << "openpyxl cannot read " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    QList<Sheet> sheets;
    for (const QJsonValue& sheetValue : QJsonDocument::fromJson(process.readAllStandardOutput()).array()) {
        Sheet sheet;
        sheet.name = sheetValue.toObject().value(QStringLiteral("name")).toString();
        for (const QJsonValue& rowValue : sheetValue.toObject().value(QStringLiteral("rows")).toArray()) {
            QVariantList row;
            for (const QJsonValue& cell : rowValue.toArray()) {
                // Numbers as doubles, whether JSON wrote them with a fraction or not.
                row.append(cell.isNull() ? QVariant() : cell.isDouble() ? QVariant(cell.toDouble()) : cell.toVariant());
            }
            sheet.rows.append(row);
        }
        sheets.append(sheet);
    }
    return sheets;
}

QStringList Sheet::names(const QList<Sheet>& sheets)
{
    QStringList out;
    for (const Sheet& sheet : sheets) {
        out.append(sheet.name);
    }
    return out;
}

} // namespace testsupport
