#include "BuildingTest.h"

#include "Orvane/FilterProxyModel.h"
#include "Orvane/Resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QXmlStreamReader>

namespace resultmodels {
namespace {

TEST(HostResources, IconsAreCompiledIn)
{
    Orvane::initResources();
    Orvane::initResources(); // harmless twice
    for (const QString name : {":/icons/error.svg", ":/icons/compost_heap.svg"}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QXmlStreamReader svg(&file);
        ASSERT_TRUE(svg.readNextStartElement());
        EXPECT_EQ(svg.name(), QLatin1String("svg"));
        while (!svg.atEnd()) {
            svg.readNext();
        }
        EXPECT_FALSE(svg.hasError()) << name.toStdString();
        if (QImageReader::supportedImageFormats().contains("svg")) {
            EXPECT_FALSE(QIcon(name).pixmap(32, 32).isNull()) << name.toStdString();
        }
    }
}

TEST(HostFilterProxyModel, HasItsOwnSelectionAndCopiesOnDrag)
{
    Orvane::FilterProxyModel filter;
    EXPECT_EQ(filter.selectionModel()->model(), &filter);
    EXPECT_EQ(filter.supportedDragActions(), Qt::CopyAction);
}

/// The host base over a table, row for row, column for column.
class IdentityProxy : public Orvane::ProxyModel
{
public:
    using Orvane::ProxyModel::ProxyModel;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : sourceModel()->rowCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : sourceModel()->columnCount();
    }
    QModelIndex mapToSource(const QModelIndex& proxy) const override
    {
        return proxy.isValid() ? sourceModel()->index(proxy.row(), proxy.column()) : QModelIndex();
    }
    QModelIndex mapFromSource(const QModelIndex& source) const override
    {
        return source.isValid() ? index(source.row(), source.column()) : QModelIndex();
    }
};

TEST(HostProxyModel, ChangedSourceRangeIsAnnouncedOnce)
{
    QStandardItemModel table(4, 3);
    IdentityProxy proxy;
    proxy.setSourceModel(&table);
    CheckedModel checked(&proxy);
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    emit table.dataChanged(table.index(1, 0), table.index(3, 2));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), proxy.index(1, 0));
    EXPECT_EQ(changed.at(0).at(1).toModelIndex(), proxy.index(3, 2));
}

TEST_F(BuildingTest, DetailedModelFollowsNoStructuralChangeOfItsSource)
{
    CheckedModel checked(detailed.get());
    QSignalSpy changed(detailed.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy resets(detailed.get(), &QAbstractItemModel::modelReset);
    model->updateItem(indexOf(*model, slab), true);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets.count(), 0);
    // A changed element is announced over its whole row, once.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), detailed->index(proxyRow(slab), 0));
    EXPECT_EQ(changed.at(0).at(1).toModelIndex(), detailed->index(proxyRow(slab), detailed->columnCount() - 1));
    model->hide({indexOf(*model, wallA)});
    EXPECT_EQ(detailed->rowCount(), 4);
    EXPECT_EQ(detailed->headerColumnCount(), 7);
    EXPECT_TRUE(detailed->childIndexes(QModelIndex()).isEmpty());
    detailed->setSourceModel(nullptr);
    detailed->setVisibility({detailed->index(0, 0)}, false); // no source: nothing to do
    EXPECT_TRUE(model->isVisible(indexOf(*model, wallB)));
}

} // namespace
} // namespace resultmodels
