// Materials in the locale's collation, empty cells last, masses in kg or t.
#include "BuildingTest.h"
#include "DefaultLocale.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialOrder.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/DisplayDoubleDelegate.h"

#include <QStandardItemModel>

namespace resultmodels {
namespace {

using Orvane::MassDisplayUnit;
using Orvane::MaterialOrder;
using Orvane::MaterialQuantitiesProxyModel;
using Orvane::MaterialQuantitiesSortProxyModel;
using Orvane::MaterialTotalQuantitiesModel;
using Orvane::MaterialTotalQuantitiesSortProxyModel;

// Code points put "Bois" before "Béton", "C25/30" before "C8/10" and
// lower case last.
const QStringList stored = {"Bois", "C25/30", "acier", "C8/10", "B\u00e9ton"};
const QStringList collated = {"acier", "B\u00e9ton", "Bois", "C8/10", "C25/30"};

TEST(MaterialOrder, TotalsAndDetailedColumnsFollowTheFrenchCollation)
{
    const DefaultLocale french(DefaultLocale::french());
    EXPECT_EQ(MaterialOrder::sorted(stored), collated);

    ModelBuilder text;
    const int wall = text.element("IFCWALL", "Mur");
    auto model = text.open();
    ASSERT_TRUE(model);
    std::vector<std::pair<QString, double>> masses;
    for (const QString& name : stored) {
        masses.emplace_back(name, 1.0);
    }
    addMasses(*model, text.project(), totalSet, masses);
    addMasses(*model, wall, totalSet, masses);

    MaterialTotalQuantitiesModel totals;
    totals.fillFromModel(model.get(), Orvane::MaterialQuantitiesSettings());
    QStringList totalNames;
    for (const QVariant& name : columnValues(totals, 0)) {
        totalNames.append(name.toString());
    }
    EXPECT_EQ(totalNames, collated);

    MaterialQuantitiesProxyModel detailed(totalSet);
    detailed.setSourceModel(model.get());
    QStringList columns;
    for (int column = 3; column < detailed.columnCount() - 2; ++column) {
        columns.append(detailed.headerData(column, Qt::Horizontal, Qt::EditRole).toString());
    }
    EXPECT_EQ(columns, collated);
}

/// The values of a column of a sorted model in each direction.
template <class Proxy> QVariantList sortedValues(Proxy& proxy, int column, Qt::SortOrder order)
{
    proxy.sort(column, order);
    return columnValues(proxy, column);
}

TEST_F(BuildingTest, TheDetailsSortEmptyCellsLastBothWays)
{
    MaterialQuantitiesSortProxyModel sorted;
    sorted.setSourceModel(detailed.get());
    CheckedModel checked(&sorted);
    const int beton = 4; // wall A 2400, slab 1000, wall B and the beam none
    EXPECT_EQ(sortedValues(sorted, beton, Qt::AscendingOrder), QVariantList({1000.0, 2400.0, QVariant(), QVariant()}));
    EXPECT_EQ(sortedValues(sorted, beton, Qt::DescendingOrder), QVariantList({2400.0, 1000.0, QVariant(), QVariant()}));
    // Untyped elements have no type name.
    EXPECT_EQ(sortedValues(sorted, 2, Qt::DescendingOrder).mid(0, 2), QVariantList({"Wall type A", "Wall type A"}));
}

TEST(TotalsSort, EmptyCellsLastBothWaysAndNamesCollated)
{
    const DefaultLocale french(DefaultLocale::french());
    QStandardItemModel totals(0, 2);
    const QVariantList masses = {2.0, QVariant(), 10.0, QVariant(), 1.0};
    for (int row = 0; row < stored.size(); ++row) {
        auto* mass = new QStandardItem;
        mass->setData(masses.at(row), Qt::EditRole);
        totals.appendRow({new QStandardItem(stored.at(row)), mass});
    }
    MaterialTotalQuantitiesSortProxyModel sorted;
    sorted.setSourceModel(&totals);
    EXPECT_EQ(sortedValues(sorted, 1, Qt::AscendingOrder), QVariantList({1.0, 2.0, 10.0, QVariant(), QVariant()}));
    EXPECT_EQ(sortedValues(sorted, 1, Qt::DescendingOrder), QVariantList({10.0, 2.0, 1.0, QVariant(), QVariant()}));
    QVariantList names;
    for (const QString& name : collated) {
        names.append(name);
    }
    EXPECT_EQ(sortedValues(sorted, 0, Qt::AscendingOrder), names);
}

/// What a view with the results' delegate shows of a cell.
QString shown(const QAbstractItemModel& model, int row, int column, const QLocale& locale)
{
    return Orvane::DisplayDoubleDelegate(nullptr).displayText(model.index(row, column).data(), locale);
}

TEST_F(BuildingTest, MassesShowInTheChosenUnitWhileTheStoredKilogramsSort)
{
    MaterialTotalQuantitiesModel totals;
    addMasses(*model, project, "RecoveredMaterialQuantities", {{"beton", 3405.0}, {"Acier", 127.5}});
    totals.fillFromModel(model.get(), Orvane::MaterialQuantitiesSettings());
    CheckedModel checkedTotals(&totals);
    CheckedModel checkedDetails(detailed.get());
    const int a = proxyRow(wallA);
    const struct
    {
        MassDisplayUnit::Unit unit;
        const char* symbol;
        QString english; // beton to recover, wall A's beton
        QString french;
    } cases[] = {
        {MassDisplayUnit::Tonne, "t", "3.405 / 2.400", "3,405 / 2,400"},
        {MassDisplayUnit::Kilogram, "kg", "3,405.000 / 2,400.000", "3\u202f405,000 / 2\u202f400,000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbol);
        totals.setMassUnit(c.unit);
        detailed->setMassUnit(c.unit);
        EXPECT_EQ(totals.headerData(1, Qt::Horizontal).toString(), QString("To recover (%1)").arg(c.symbol));
        EXPECT_EQ(totals.headerData(1, Qt::Horizontal, MassDisplayUnit::SymbolRole), QVariant(c.symbol));
        EXPECT_EQ(detailed->headerData(4, Qt::Horizontal).toString(), QString("beton (%1)").arg(c.symbol));
        for (const auto& [locale, text] :
             {std::make_pair(DefaultLocale::english(), c.english), std::make_pair(DefaultLocale::french(), c.french)}) {
            // French groups with U+202F or U+00A0, as Qt's locale data has it.
            const QChar group = locale.groupSeparator();
            EXPECT_EQ(shown(totals, 1, 1, locale) + " / " + shown(*detailed, a, 4, locale),
                      QString(text).replace(QChar(0x202f), group));
        }
        EXPECT_EQ(totals.data(totals.index(1, 1), Qt::EditRole), QVariant(3405.0));
        EXPECT_EQ(detailed->data(detailed->index(a, 4), Qt::EditRole), QVariant(2400.0));
    }
}

} // namespace
} // namespace resultmodels

namespace {

// Views hand their delegates a locale that omits digit grouping: the masses
// are grouped all the same, in the view's language.
TEST(DisplayDoubleDelegate, GroupsDigitsWhateverLocaleTheViewHandsIt)
{
    const struct
    {
        QLocale locale;
        QString expected;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "28,318.024"},
        {QLocale(QLocale::French, QLocale::France), QString::fromUtf8("28\u202f318,024")},
        {QLocale(QLocale::German, QLocale::Germany), "28.318,024"},
    };
    for (const auto& c : cases) {
        QLocale asViewsDo = c.locale;
        asViewsDo.setNumberOptions(QLocale::OmitGroupSeparator);
        EXPECT_EQ(Orvane::DisplayDoubleDelegate(nullptr).displayText(28318.024, asViewsDo), c.expected)
            << c.locale.name().toStdString();
    }
}

} // namespace
