#include "CheckedModel.h"
#include "OrvaneTestSupport.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <set>
#include <thread>

using namespace orvanetest;

namespace {

// Keys out of file order: rows follow the file, not the keys.
const std::string smallModel = fixture("rows.ifc");

QList<QModelIndex> rowIndexes(const IFC2x3Model& model, std::initializer_list<int> rows)
{
    QList<QModelIndex> out;
    for (int row : rows) {
        out.append(model.index(row, 0));
    }
    return out;
}

QVariant checkState(const IFC2x3Model& model, int row)
{
    return model.data(model.index(row, 0), Qt::CheckStateRole);
}

} // namespace

TEST(IFC2x3Model, OneRowPerObjectDefinitionInFileOrderWithNameClassAndGlobalId)
{
    auto model = openText(smallModel);
    ASSERT_TRUE(model);
    ASSERT_EQ(model->rowCount(), 6);
    EXPECT_EQ(model->columnCount(), 3);
    const QStringList classes = {"IfcProject", "IfcWall", "IfcBuilding", "IfcBuildingStorey", "IfcWall", "IfcWallType"};
    const std::vector<Step::Id> keys = {1, 20, 10, 11, 21, 30};
    for (int row = 0; row < model->rowCount(); ++row) {
        EXPECT_EQ(model->data(model->index(row, IFC2x3Model::ClassColumn)).toString(), classes[row]) << row;
        EXPECT_EQ(model->ifcObjectDefinition(model->index(row, 0))->getKey(), keys[row]);
        EXPECT_EQ(model->index(model->ifcObjectDefinition(model->index(row, 2))), model->index(row, 0));
    }
    EXPECT_EQ(model->data(model->index(1, IFC2x3Model::NameColumn)).toString(), "Wall A");
    EXPECT_EQ(model->data(model->index(1, IFC2x3Model::GlobalIdColumn)).toString(), "2O2Fr$t4X7Zf8NOew3FLOH");

    EXPECT_EQ(model->ifcObjectDefinition(QModelIndex()), nullptr);
    EXPECT_FALSE(model->index(static_cast<const ifc2x3::IfcObjectDefinition*>(nullptr)).isValid());
}

TEST(IFC2x3Model, ColumnZeroIsCheckableAndCarriesVisibility)
{
    auto model = openText(smallModel);
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->flags(model->index(1, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->flags(model->index(1, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->data(model->index(1, 1), Qt::CheckStateRole).isValid());
    const auto states = [&] {
        QList<QVariant> out;
        for (int row = 0; row < model->rowCount(); ++row) {
            out.append(checkState(*model, row));
        }
        return out;
    };
    const QVariant on = Qt::Checked;
    const QVariant off = Qt::Unchecked;
    EXPECT_EQ(states(), QList<QVariant>({on, on, on, on, on, on}));

    // Any column of a row hides the row.
    model->hide({model->index(1, 2), model->index(4, 0)});
    EXPECT_EQ(states(), QList<QVariant>({on, off, on, on, off, on}));
    model->show(rowIndexes(*model, {1}));
    // Toggling flips each row on its own.
    model->toggleVisibility(rowIndexes(*model, {1, 4}));
    EXPECT_EQ(states(), QList<QVariant>({on, off, on, on, on, on}));
    EXPECT_FALSE(model->isVisible(model->index(1, 1)));

    EXPECT_TRUE(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(model->setData(model->index(3, 1), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(model->setData(model->index(3, 0), QStringLiteral("x"), Qt::EditRole));
    // Indexes of another model are ignored.
    auto other = openText(smallModel);
    model->hide({other->index(0, 0)});
    EXPECT_EQ(states(), QList<QVariant>({on, on, off, on, on, on}));
}

// Updates announced from a worker reach views on the model's thread, as
// few announcements covering every updated row.
TEST(IFC2x3Model, UpdatesFromAWorkerAreToldOnTheModelsThread)
{
    auto model = openText(smallModel);
    ASSERT_TRUE(model);
    std::set<int> told;
    int announcements = 0;
    QObject::connect(model.get(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         EXPECT_EQ(QThread::currentThread(), model->thread());
                         EXPECT_EQ(from.column(), 0);
                         EXPECT_EQ(to.column(), IFC2x3Model::ColumnCount - 1);
                         for (int row = from.row(); row <= to.row(); ++row) {
                             told.insert(row);
                         }
                         ++announcements;
                     });
    std::thread worker([&] {
        for (int row : {3, 1, 2, 5, 2, 3}) {
            model->updateItem(model->index(row, 0));
        }
        model->updateItem(QModelIndex());
    });
    worker.join();
    EXPECT_EQ(announcements, 0) << "nothing is told on the worker's thread";
    EXPECT_TRUE(QTest::qWaitFor([&] { return told.size() >= 4; }));
    EXPECT_EQ(told, (std::set<int>{1, 2, 3, 5}));
    EXPECT_LE(announcements, 2) << "runs of rows are told at once";
    // Announced again later: told again.
    told.clear();
    model->updateItem(model->index(4, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !told.empty(); }));
    EXPECT_EQ(told, std::set<int>{4});
}

TEST(IFC2x3Model, PassesTheItemModelTesterOnSamples)
{
    for (const std::string& path :
         {sourcePath("samples/small-building.ifc"), samplePath("AC11-Institute-Var-2-IFC.ifc")}) {
        if (path.empty()) {
            GTEST_SKIP() << "AC11-Institute-Var-2-IFC.ifc is not in " MQ_SHARED_DIR "/samples";
        }
        auto model = openFile(QString::fromStdString(path));
        ASSERT_TRUE(model);
        EXPECT_EQ(model->rowCount(), static_cast<int>(model->dataSet()->getAllIfcObjectDefinition().size()));
        const CheckedModel checked(model.get());
        model->hide(rowIndexes(*model, {0, 3, 5}));
        model->toggleVisibility(rowIndexes(*model, {3, 4}));
        model->show(rowIndexes(*model, {0}));
        model->updateItem(model->index(7, 0));
        QCoreApplication::processEvents();
    }
}
