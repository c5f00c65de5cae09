#include "HostModels.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "OrvaneXlsx/ModelToExcelExport.h"
#include "OrvaneXlsx/XlsxDocument.h"
#include "OrvaneXlsx/XlsxReader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPair>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using Orvane::QuantitiesWorkbookExport;
using Orvane::XlsxDocument;

namespace {

/// The cells of a sheet by (row, column), numbered from 1.
using Cells = QHash<QPair<int, int>, QVariant>;

Cells readSheet(const QString& path, int sheet)
{
    Cells cells;
    Orvane::XlsxReader reader(path);
    EXPECT_TRUE(reader.open()) << reader.errorString().toStdString();
    EXPECT_TRUE(reader.readSheet(sheet, [&](int row, int column, const QVariant& value) {
        cells.insert({row, column}, value);
        return true;
    }));
    return cells;
}

/// Counts the cells read from it.
class CountingModel : public QAbstractTableModel
{
public:
    explicit CountingModel(int columns) : columns(columns) {}
    int rowCount(const QModelIndex& = QModelIndex()) const override { return 2; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return columns; }
    QVariant data(const QModelIndex&, int) const override
    {
        ++reads;
        return 1.0;
    }
    int columns;
    mutable int reads = 0;
};

} // namespace

TEST(QuantitiesWorkbookExport, TheDetailsSheetHoldsTheNumbersOfTheDetailsTable)
{
    const auto model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
    ASSERT_TRUE(model);
    const Orvane::MaterialQuantitiesSettings settings;
    Orvane::MaterialQuantitiesCalculator calculator(model.get(), settings);
    ASSERT_TRUE(calculator.computeQuantities());
    Orvane::MaterialQuantitiesProxyModel details(settings.totalQuantitiesPropertySetName);
    details.setQuantitiesPropPathMap(calculator.getQuantitiesPropPathMap());
    details.setSourceModel(model.get());
    ASSERT_GT(details.rowCount(), 1);
    ASSERT_GT(details.columnCount(), 5);

    QTemporaryDir dir;
    const QString path = dir.filePath("pmd.xlsx");
    QString error;
    ASSERT_TRUE(QuantitiesWorkbookExport::exportQuantities(&details, &details, path, &error)) << error.toStdString();

    const Cells cells = readSheet(path, 1);
    int numbers = 0;
    for (int row = 0; row < details.rowCount(); ++row) {
        // The material columns, between the type and the quantity path.
        for (int column = 3; column < details.columnCount() - 1; ++column) {
            const QVariant expected = details.data(details.index(row, column), Qt::EditRole);
            const QVariant written = cells.value({row + 2, column + 1});
            SCOPED_TRACE(QStringLiteral("row %1, column %2").arg(row).arg(column).toStdString());
            EXPECT_EQ(written.isValid(), expected.isValid());
            if (expected.isValid()) {
                EXPECT_DOUBLE_EQ(written.toDouble(), expected.toDouble());
                ++numbers;
            }
        }
        EXPECT_EQ(cells.value({row + 2, 2}), details.data(details.index(row, 1)));
    }
    EXPECT_GT(numbers, details.rowCount());
}

TEST(ModelToExcelExport, ASheetTooWideFailsNamingItsColumnsBeforeAnyCellIsRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.xlsx");
    ASSERT_TRUE(writeFile(path, QByteArray("earlier export")));
    const CountingModel first(3);
    const CountingModel wide(XlsxDocument::maxColumns + 1);
    QString error;
    EXPECT_FALSE(Orvane::modelsToExcelExport({{&first, "Total"}, {&wide, "Details"}}, path, false, &error));
    EXPECT_TRUE(error.contains("\"Details\" would need 16385 columns")) << error.toStdString();
    EXPECT_TRUE(error.contains("16384")) << error.toStdString();
    EXPECT_EQ(first.reads + wide.reads, 0);
    EXPECT_EQ(readFile(path), QByteArray("earlier export"));
}
