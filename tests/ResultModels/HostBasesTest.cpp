#include "Fixtures.h"

#include "Orvane/FilterProxyModel.h"
#include "Orvane/Resources.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QSignalSpy>
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

TEST_F(BuildingTest, DetailedModelFollowsNoStructuralChangeOfItsSource)
{
    QSignalSpy changed(detailed.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy resets(detailed.get(), &QAbstractItemModel::modelReset);
    model->hide({indexOf(*model, wallA)});
    model->updateItem(indexOf(*model, slab), true);
    EXPECT_EQ(changed.count() + resets.count(), 0);
    EXPECT_EQ(detailed->headerColumnCount(), 7);
    EXPECT_TRUE(detailed->childIndexes(QModelIndex()).isEmpty());
    detailed->setSourceModel(nullptr);
    detailed->setVisibility({detailed->index(0, 0)}, false); // no source: nothing to do
    EXPECT_TRUE(model->isVisible(indexOf(*model, wallB)));
}

} // namespace
} // namespace resultmodels
