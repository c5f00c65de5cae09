#include "BuildingTest.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImageReader>
#include <QSignalSpy>
#include <QStandardItemModel>

namespace resultmodels {
namespace {

using Orvane::MaterialQuantitiesProxyModel;

TEST_F(BuildingTest, StaysConsistentAndFollowsNoStructuralChangeOfItsSource)
{
    CheckedModel checked(detailed.get());
    QSignalSpy changed(detailed.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy resets(detailed.get(), &QAbstractItemModel::modelReset);
    model->updateItem(indexOf(*model, slab));
    QCoreApplication::processEvents();
    EXPECT_EQ(resets.count(), 0);
    // A changed element is announced over its whole row, once.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), detailed->index(proxyRow(slab), 0));
    EXPECT_EQ(changed.at(0).at(1).toModelIndex(), detailed->index(proxyRow(slab), detailed->columnCount() - 1));
    model->hide({indexOf(*model, wallA)});
    EXPECT_EQ(detailed->rowCount(), 4);
    EXPECT_TRUE(detailed->childIndexes(QModelIndex()).isEmpty());

    detailed->setQuantitiesPropPathMap({});
    detailed->setVisibility({detailed->index(0, 3), detailed->index(2, 0)}, false);
    detailed->toggleVisibility({detailed->index(0, 0), detailed->index(1, 5)});
    QStandardItemModel other(2, 2);
    detailed->setSourceModel(&other); // not an IFC model: empty
    EXPECT_EQ(detailed->sourceModel(), nullptr);
    EXPECT_EQ(detailed->rowCount(), 0);
    EXPECT_EQ(horizontalHeaders(*detailed), QStringList({"", "Quantity property path", "Reason"}));
    const bool wallAVisible = model->isVisible(indexOf(*model, wallA));
    detailed->toggleVisibility({detailed->index(0, 0)}); // no source: nothing to do
    EXPECT_EQ(model->isVisible(indexOf(*model, wallA)), wallAVisible);
    detailed->setSourceModel(model.get());
    EXPECT_EQ(detailed->rowCount(), 4);
    model.reset(); // deleted under the proxy: empty, not stale
    EXPECT_EQ(detailed->rowCount(), 0);
}

TEST_F(BuildingTest, RowsAreTheBuildingElementsOnlyAndColumnsTheMaterialsByName)
{
    EXPECT_EQ(horizontalHeaders(*detailed), QStringList({"", "Name", "Type", "Acier (kg)", "beton (kg)", "bois (kg)",
                                                         "Quantity property path", "Reason"}));
    EXPECT_EQ(detailed->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toStringList(),
              QStringList({"Properties", totalSet, "beton"}));
    // The titles without the unit, as the workbook writes them.
    EXPECT_EQ(detailed->headerData(4, Qt::Horizontal, Qt::EditRole), QVariant("beton"));
    EXPECT_EQ(detailed->headerData(6, Qt::Horizontal, Qt::EditRole), QVariant("Quantity property path"));
    EXPECT_EQ(detailed->headerData(4, Qt::Horizontal, Orvane::MassDisplayUnit::SymbolRole), QVariant("kg"));
    EXPECT_FALSE(detailed->headerData(1, Qt::Horizontal, Orvane::MassDisplayUnit::SymbolRole).isValid());
    const QList<int> keys = {wallA, wallB, slab, beam};
    ASSERT_EQ(detailed->rowCount(), keys.size());
    for (int row = 0; row < keys.size(); ++row) {
        EXPECT_EQ(detailed->mapToSource(detailed->index(row, 4)), indexOf(*model, keys[row])) << row;
        EXPECT_EQ(detailed->mapFromSource(model->index(sourceRow(keys[row]), 2)), detailed->index(row, 0));
    }
    // All three carry quantities: only their kind keeps them out.
    for (int key : {opening, assembly, virtualElement, project}) {
        EXPECT_FALSE(detailed->mapFromSource(indexOf(*model, key)).isValid()) << key;
    }
    EXPECT_EQ(detailed->mimeData({detailed->index(0, 0)}), nullptr);
    EXPECT_TRUE(detailed->flags(detailed->index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_FALSE(detailed->flags(detailed->index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
}

TEST_F(BuildingTest, CellsShowTheElementsOwnValuesAndWhetherItHasAny)
{
    const int a = proxyRow(wallA);
    EXPECT_EQ(detailed->data(detailed->index(a, 4), Qt::EditRole), QVariant(2400.0));
    // A number for the view's delegate to write in the display unit.
    EXPECT_EQ(detailed->data(detailed->index(a, 4), Qt::DisplayRole), QVariant(2400.0));
    EXPECT_EQ(detailed->data(detailed->index(a, 3), Qt::EditRole), QVariant(120.5));
    EXPECT_FALSE(detailed->data(detailed->index(a, 5), Qt::EditRole).isValid()) << "no bois in wall A";
    EXPECT_EQ(detailed->data(detailed->index(proxyRow(slab), 5), Qt::EditRole), QVariant(35.25));
    EXPECT_EQ(detailed->data(detailed->index(a, 1)), QVariant("Wall A"));
    EXPECT_EQ(detailed->data(detailed->index(a, 2)), QVariant("Wall type A"));
    EXPECT_FALSE(detailed->data(detailed->index(proxyRow(slab), 2)).isValid()) << "untyped";

    const auto path = [this](int key, int role) { return detailed->data(detailed->index(proxyRow(key), 6), role); };
    EXPECT_EQ(path(wallA, Qt::DisplayRole), QVariant("Properties/BaseQuantities/NetVolume"));
    EXPECT_EQ(path(slab, Qt::EditRole), QVariant("UF_UNITE"));
    EXPECT_EQ(path(wallB, Qt::DisplayRole), QVariant("Not found"));
    EXPECT_EQ(path(beam, Qt::EditRole), QVariant("Not found"));

    // The status column: 1 and an error icon without quantities, 0 and nothing with.
    const QModelIndex without = detailed->index(proxyRow(wallB), 0);
    const QModelIndex with = detailed->index(a, 0);
    EXPECT_EQ(detailed->data(without, Qt::EditRole), QVariant(1));
    EXPECT_EQ(detailed->data(with, Qt::EditRole), QVariant(0));
    EXPECT_EQ(detailed->data(without, Qt::DisplayRole), QVariant(QString()));
    EXPECT_FALSE(detailed->data(with, Qt::DisplayRole).isValid());
    EXPECT_FALSE(detailed->data(with, Qt::DecorationRole).isValid());
    const QVariant icon = detailed->data(without, Qt::DecorationRole);
    ASSERT_EQ(icon.userType(), qMetaTypeId<QIcon>());
    if (QImageReader::supportedImageFormats().contains("svg")) { // needs Qt's SVG plug-ins
        EXPECT_FALSE(icon.value<QIcon>().pixmap(16, 16).isNull());
    }
}

TEST_F(BuildingTest, SelectionsMapByRunsOfRows)
{
    // In the host, wall A and wall B are neighbours, one row (the virtual
    // element) lies between the slab and the beam, two before the slab.
    const struct
    {
        std::vector<int> selected;
        std::vector<std::pair<int, int>> runs; // first and last element of each
    } cases[] = {
        {{slab, wallB, wallA}, {{wallA, wallB}, {slab, slab}}},
        {{beam, slab}, {{slab, slab}, {beam, beam}}},
        {{wallB}, {{wallB, wallB}}},
    };
    for (const auto& c : cases) {
        QItemSelection selection;
        for (int key : c.selected) {
            selection.select(detailed->index(proxyRow(key), 0), detailed->index(proxyRow(key), 6));
        }
        QItemSelection expected;
        for (const auto& [first, last] : c.runs) {
            expected.append(QItemSelectionRange(indexOf(*model, first), indexOf(*model, last)));
        }
        EXPECT_EQ(detailed->mapSelectionToSource(selection), expected) << c.selected.size();
    }

    // All host columns stand for the element's row; non-elements drop out.
    const QItemSelection inHost(indexOf(*model, wallA), model->index(sourceRow(slab), IFC2x3Model::GlobalIdColumn));
    EXPECT_EQ(detailed->mapSelectionFromSource(inHost), QItemSelection(detailed->index(0, 0), detailed->index(2, 0)));

    const QModelIndexList sources = detailed->prepareIndexListToSource(
        {detailed->index(2, 0), detailed->index(2, 4), QModelIndex(), detailed->index(0, 6)});
    EXPECT_EQ(sources, QModelIndexList({indexOf(*model, slab), indexOf(*model, wallA)}));
}

TEST_F(BuildingTest, ACheckBoxClickAppliesToTheSelectionItBelongsToAndIsTheOnlyEdit)
{
    const auto visible = [this](int key) { return model->isVisible(indexOf(*model, key)); };
    const auto click = [this](int key) { // the value passed does not matter: a click toggles
        EXPECT_TRUE(detailed->setData(detailed->index(proxyRow(key), 0), Qt::Checked, Qt::CheckStateRole));
    };
    const QModelIndex status = detailed->index(proxyRow(wallA), 0);
    EXPECT_FALSE(detailed->setData(status, 5, Qt::EditRole));
    EXPECT_FALSE(detailed->setData(detailed->index(proxyRow(wallA), 1), "Other", Qt::DisplayRole));
    EXPECT_FALSE(detailed->setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(visible(wallA));

    for (int key : {wallA, slab}) {
        detailed->selectionModel()->select(detailed->index(proxyRow(key), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    click(slab);
    EXPECT_FALSE(visible(wallA));
    EXPECT_FALSE(visible(slab));
    EXPECT_TRUE(visible(wallB));
    EXPECT_EQ(detailed->data(status, Qt::CheckStateRole), QVariant(int(Qt::Unchecked)));

    click(beam); // not selected: alone
    EXPECT_FALSE(visible(beam));
    EXPECT_FALSE(visible(wallA));

    click(wallA); // hidden: shows the selection again
    EXPECT_TRUE(visible(wallA));
    EXPECT_TRUE(visible(slab));
}

} // namespace
} // namespace resultmodels
