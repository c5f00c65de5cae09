#include "OrvaneTestSupport.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>

#include <mutex>

using namespace orvanetest;

namespace {

/// Collects the warnings Qt reports (QAbstractItemModelTester reports
/// through them in Warning mode) for the lifetime of the object.
class WarningCollector
{
public:
    WarningCollector()
    {
        std::lock_guard<std::mutex> lock(mutex());
        messages().clear();
        m_previous = qInstallMessageHandler(&WarningCollector::handle);
    }
    ~WarningCollector() { qInstallMessageHandler(m_previous); }

    QStringList take()
    {
        std::lock_guard<std::mutex> lock(mutex());
        return std::exchange(messages(), {});
    }

private:
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            std::lock_guard<std::mutex> lock(mutex());
            messages().append(message);
        }
    }
    QtMessageHandler m_previous;
};

// Keys out of file order: rows follow the file, not the keys.
const std::string smallModel =
    projectWithUnits("") + "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall A',$,$,$,$,$);\n"
                           "#10=IFCBUILDING('3nyCmbL0T1Uf$9sO1U8RqX',$,'Main',$,$,$,$,$,.ELEMENT.,$,$,$);\n"
                           "#11=IFCBUILDINGSTOREY('1aUjTkPfn5ZR7C$6ixlT8x',$,$,$,$,$,$,'Ground floor',.ELEMENT.,0.);\n"
                           "#21=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,$,$,$,$,$,$);\n"
                           "#30=IFCWALLTYPE('0eA6m4fELI9QBIhP3wiLAp',$,'Type A',$,$,$,$,$,$,.STANDARD.);\n"
                           "#40=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Pset',$,());\n";

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
    // Without a Name, the long name, else the GlobalId names the row.
    EXPECT_EQ(model->data(model->index(3, IFC2x3Model::NameColumn)).toString(), "Ground floor");
    EXPECT_EQ(model->data(model->index(4, IFC2x3Model::NameColumn)).toString(), "0kF4rTvcz2$Pp7zNBsJ4Ng");

    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Entity");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "GlobalId");
    EXPECT_EQ(model->rowCount(model->index(0, 0)), 0);
    EXPECT_FALSE(model->index(6, 0).isValid());
    EXPECT_FALSE(model->index(0, 3).isValid());
    EXPECT_EQ(model->ifcObjectDefinition(QModelIndex()), nullptr);
    EXPECT_FALSE(model->index(static_cast<const ifc2x3::IfcObjectDefinition*>(nullptr)).isValid());
    EXPECT_EQ(model->modelTypeName(), "IFC 2x3");
}

TEST(IFC2x3Model, ColumnZeroIsCheckableAndCarriesVisibility)
{
    auto model = openText(smallModel);
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->flags(model->index(1, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->flags(model->index(1, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(checkState(*model, 1), Qt::Checked);
    EXPECT_FALSE(model->data(model->index(1, 1), Qt::CheckStateRole).isValid());

    qRegisterMetaType<QList<QModelIndex>>("QList<QModelIndex>");
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy visibility(model.get(), &Orvane::Model::visibilityChanged);
    // Any column of a row hides the row; the change is told on column 0.
    model->hide({model->index(1, 2), model->index(4, 0)});
    EXPECT_EQ(checkState(*model, 1), Qt::Unchecked);
    EXPECT_EQ(checkState(*model, 4), Qt::Unchecked);
    EXPECT_EQ(checkState(*model, 2), Qt::Checked);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex(), model->index(1, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), model->index(1, 0));
    EXPECT_EQ(changed[0][2].value<QVector<int>>(), QVector<int>{Qt::CheckStateRole});
    ASSERT_EQ(visibility.count(), 1);
    EXPECT_EQ(visibility[0][0].value<QList<QModelIndex>>().size(), 2);

    // Hiding what is hidden changes nothing and says nothing.
    changed.clear();
    visibility.clear();
    model->hide(rowIndexes(*model, {1}));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(visibility.count(), 0);

    model->show(rowIndexes(*model, {1}));
    EXPECT_EQ(checkState(*model, 1), Qt::Checked);
    EXPECT_EQ(changed.count(), 1);

    // Toggling flips each row on its own.
    model->toggleVisibility(rowIndexes(*model, {1, 4}));
    EXPECT_EQ(checkState(*model, 1), Qt::Unchecked);
    EXPECT_EQ(checkState(*model, 4), Qt::Checked);
    EXPECT_FALSE(model->isVisible(model->index(1, 1)));

    EXPECT_TRUE(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(checkState(*model, 1), Qt::Checked);
    EXPECT_TRUE(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(checkState(*model, 2), Qt::Unchecked);
    EXPECT_FALSE(model->setData(model->index(2, 1), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(model->setData(model->index(2, 0), QStringLiteral("x"), Qt::EditRole));
    EXPECT_EQ(checkState(*model, 2), Qt::Unchecked);

    // Indexes of another model are ignored.
    auto other = openText(smallModel);
    model->hide({other->index(0, 0)});
    EXPECT_EQ(checkState(*model, 0), Qt::Checked);
}

TEST(IFC2x3Model, AnnouncedRowsAreToldOncePerRunOfRows)
{
    auto model = openText(smallModel);
    ASSERT_TRUE(model);
    ASSERT_GE(model->rowCount(), 6);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    for (int row : {3, 4, 3, 5, 1, 4}) {
        model->updateItem(model->index(row, 0));
    }
    QCoreApplication::processEvents();
    const int lastColumn = model->columnCount() - 1;
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex(), model->index(1, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), model->index(1, lastColumn));
    EXPECT_EQ(changed[1][0].toModelIndex(), model->index(3, 0));
    EXPECT_EQ(changed[1][1].toModelIndex(), model->index(5, lastColumn));

    // Announced again later: told again.
    model->updateItem(model->index(4, 0));
    QCoreApplication::processEvents();
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed[2][0].toModelIndex(), model->index(4, 0));
}

TEST(IFC2x3Model, PassesTheItemModelTesterOnTheBundledSample)
{
    auto model = IFC2x3Model::open(bundledSample("small-building.ifc"));
    ASSERT_TRUE(model);
    EXPECT_GT(model->rowCount(), 150);
    WarningCollector warnings;
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    model->hide(rowIndexes(*model, {0, 3, 5}));
    model->toggleVisibility(rowIndexes(*model, {3, 4}));
    model->updateItem(model->index(7, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings.take(), QStringList());
}

TEST(IFC2x3Model, PassesTheItemModelTesterOnARealSample)
{
    const QString path = samplePath("AC11-Institute-Var-2-IFC.ifc");
    if (path.isEmpty()) {
        GTEST_SKIP() << "sample models not available";
    }
    QString error;
    auto model = IFC2x3Model::open(path, &error);
    ASSERT_TRUE(model) << error.toStdString();
    EXPECT_EQ(model->rowCount(), static_cast<int>(model->dataSet()->getAllIfcObjectDefinition().size()));
    WarningCollector warnings;
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    model->hide(rowIndexes(*model, {1, 2}));
    model->show(rowIndexes(*model, {1}));
    EXPECT_EQ(warnings.take(), QStringList());
}

TEST(IFC2x3Model, OpenNamesTheFileAndLineOfAProblem)
{
    QString error;
    EXPECT_FALSE(IFC2x3Model::open(QStringLiteral("/nonexistent/model.ifc"), &error));
    EXPECT_TRUE(error.contains("/nonexistent/model.ifc")) << error.toStdString();
}
