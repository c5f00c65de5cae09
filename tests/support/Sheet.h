#pragma once

#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace testsupport {

/// A sheet of a workbook as openpyxl, an independent reader, reads it: rows
/// from row 1, cells from column 1, a cell being invalid (empty), bool,
/// double or QString.
struct Sheet
{
    QString name;
    QList<QVariantList> rows;

    /// The cell at row and column numbered from 1, invalid when empty.
    QVariant cell(int row, int column) const;
    QVariantList row(int row) const { return row <= rows.size() ? rows.at(row - 1) : QVariantList(); }

    /// Whether /usr/bin/python3 can import openpyxl.
    static bool readerAvailable();
    /// The sheets of a workbook in order; fails the test when it does not read.
    static QList<Sheet> readWorkbook(const QString& path);
    static QStringList names(const QList<Sheet>& sheets);
    /// Runs a Python script with openpyxl; false (and a test failure) on error.
    static bool runPython(const QString& script, const QStringList& arguments);
    /// Runs a Python script that prints JSON, such as what openpyxl tells of
    /// the formats; a null document (and a test failure) on error.
    static QJsonDocument runPythonJson(const QString& script, const QStringList& arguments);
};

} // namespace testsupport

#define MQ_REQUIRE_OPENPYXL()                                                                                          \
    if (!testsupport::Sheet::readerAvailable()) {                                                                      \
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is needed to read workbooks back";                             \
    }
