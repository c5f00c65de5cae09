// The results pane of the dock: the room of the table, the totals and the
// chart, kept from one dock to the next, and the chart of the totals.
#include "HostModels.h"
#include "ShownInDock.h"

#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesChartView.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeView>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QHorizontalStackedBarSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesChartView;
using Orvane::MaterialQuantitiesDockWidget;

const QString longName = QStringLiteral("Laine de roche haute densité pour toitures");

/// A project whose totals are one heavy material and lighter ones, given
/// in no order of mass.
std::unique_ptr<IFC2x3Model> modelWithTotals()
{
    ModelBuilder builder;
    builder.element("IFCWALL", "Mur");
    auto model = builder.open();
    if (!model) {
        return model;
    }
    const Orvane::MaterialQuantitiesSettings settings;
    const std::vector<std::pair<QString, double>> recovered{
        {"Acier", 28000.0}, {"Béton", 480000.0}, {longName, 0.5}, {"PVC", 0.0}, {"Bois", 16000.0}};
    const std::vector<std::pair<QString, double>> reused{
        {"Acier", 8.0}, {"Béton", 0.0}, {longName, 0.0}, {"PVC", 125.0}, {"Bois", 9900.0}};
    addMasses(*model, builder.project(), settings.totalQuantitiesPropertySetName, recovered);
    addMasses(*model, builder.project(), settings.recoveredQuantitiesPropertySetName, recovered);
    addMasses(*model, builder.project(), settings.reusedQuantitiesPropertySetName, reused);
    return model;
}

class DockLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().remove("Tool/MaterialQuantities");
        model = modelWithTotals();
        ASSERT_TRUE(model);
    }

    /// A dock as the host shows it, on the model.
    std::unique_ptr<MaterialQuantitiesDockWidget> newDock() const
    {
        auto dock = std::make_unique<MaterialQuantitiesDockWidget>();
        dock->setSettings(Orvane::MaterialQuantitiesSettings());
        dock->resize(420, 900);
        dock->show();
        showInDock(*dock, model.get());
        QTest::qWait(20); // laid out
        return dock;
    }

    template <class T> static T* child(const MaterialQuantitiesDockWidget& dock, const char* name)
    {
        return dock.findChild<T*>(name);
    }
    static QSplitter* splitter(const MaterialQuantitiesDockWidget& dock)
    {
        return child<QSplitter>(dock, "resultsSplitter");
    }
    static QWidget* chartPane(const MaterialQuantitiesDockWidget& dock)
    {
        return child<QScrollArea>(dock, "chartScrollArea");
    }
    static MaterialQuantitiesChartView* chart(const MaterialQuantitiesDockWidget& dock)
    {
        return child<MaterialQuantitiesChartView>(dock, "totalQuantitiesChartView");
    }

    std::unique_ptr<IFC2x3Model> model;
};

TEST_F(DockLayout, TheTableGetsTheRoomAndThePanesAndChartChoicesAreKeptForTheNextDock)
{
    QList<int> chosen;
    {
        auto dock = newDock();
        const QList<int> first = splitter(*dock)->sizes();
        ASSERT_EQ(first.size(), 3);
        EXPECT_GT(first[0], first[1] + first[2]) << "the detailed table gets the room";
        EXPECT_TRUE(chartPane(*dock)->isVisible());

        splitter(*dock)->setSizes({300, 250, 250});
        chosen = splitter(*dock)->sizes();
        child<QCheckBox>(*dock, "logarithmicScaleCheckBox")->click();
    }
    {
        auto dock = newDock();
        EXPECT_EQ(splitter(*dock)->sizes(), chosen);
        EXPECT_TRUE(child<QCheckBox>(*dock, "logarithmicScaleCheckBox")->isChecked());
        EXPECT_TRUE(chart(*dock)->isLogarithmic());

        child<QCheckBox>(*dock, "showChartCheckBox")->click();
        EXPECT_FALSE(chartPane(*dock)->isVisible());
        EXPECT_FALSE(child<QCheckBox>(*dock, "logarithmicScaleCheckBox")->isEnabled());
    }
    auto dock = newDock();
    EXPECT_FALSE(child<QCheckBox>(*dock, "showChartCheckBox")->isChecked());
    EXPECT_FALSE(chartPane(*dock)->isVisible());
    child<QCheckBox>(*dock, "showChartCheckBox")->click();
    QTest::qWait(20);
    EXPECT_TRUE(chartPane(*dock)->isVisible());
    EXPECT_GT(chartPane(*dock)->height(), 50) << "shown again with room";

    showInDock(*dock, nullptr);
    EXPECT_FALSE(chartPane(*dock)->isVisible()) << "no chart without results";
}

TEST_F(DockLayout, TheChartDrawsTheHeaviestOnTopWithTheMassUnitOnEitherScale)
{
    const QStringList heaviestFirst{"Béton", "Acier", "Bois", "PVC", longName};
    const struct
    {
        bool logarithmic;
        bool stacked;
    } cases[] = {{false, true}, {true, false}};
    auto dock = newDock();
    MaterialQuantitiesChartView* view = chart(*dock);
    ASSERT_NE(view, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logarithmic ? "logarithmic" : "linear");
        child<QCheckBox>(*dock, "logarithmicScaleCheckBox")->setChecked(c.logarithmic);
        EXPECT_EQ(view->materials(), heaviestFirst);

        // The first category is the bottom one.
        const auto names = view->chart()->axes(Qt::Vertical);
        auto* categories = qobject_cast<QtCharts::QBarCategoryAxis*>(names.value(0));
        ASSERT_NE(categories, nullptr);
        QStringList bottomUp = heaviestFirst;
        std::reverse(bottomUp.begin(), bottomUp.end());
        EXPECT_EQ(categories->categories(), bottomUp);

        const auto masses = view->chart()->axes(Qt::Horizontal);
        ASSERT_EQ(masses.size(), 1);
        EXPECT_EQ(masses[0]->titleText(), "Mass (kg)");
        EXPECT_EQ(qobject_cast<QtCharts::QLogValueAxis*>(masses[0]) != nullptr, c.logarithmic);

        auto* series = qobject_cast<QtCharts::QAbstractBarSeries*>(view->chart()->series().value(0));
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(qobject_cast<QtCharts::QHorizontalStackedBarSeries*>(series) != nullptr, c.stacked);
        ASSERT_EQ(series->count(), 2);
        const int top = heaviestFirst.size() - 1;
        EXPECT_EQ(series->barSets()[0]->at(top), 480000.0);  // Béton to recover
        EXPECT_EQ(series->barSets()[1]->at(top - 3), 125.0); // PVC re-employed
        if (c.logarithmic) {
            // No logarithm for zero: drawn as a bar of no length, at the axis minimum.
            auto* axis = static_cast<QtCharts::QLogValueAxis*>(masses[0]);
            EXPECT_EQ(axis->min(), 0.1);
            EXPECT_EQ(series->barSets()[1]->at(top), axis->min());
        }
    }

    // The unit the result views show, chosen on their headers.
    const auto unitAction = [&dock](const QString& text) {
        for (QAction* action : child<QTreeView>(*dock, "totalMaterialQuantitiesTreeView")->header()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(unitAction("Show masses in t"), nullptr);
    unitAction("Show masses in t")->trigger();
    auto* series = qobject_cast<QtCharts::QAbstractBarSeries*>(view->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(view->chart()->axes(Qt::Horizontal).value(0)->titleText(), "Mass (t)");
    EXPECT_EQ(series->barSets()[0]->label(), "To recover");
    EXPECT_EQ(series->barSets()[0]->at(heaviestFirst.size() - 1), 480.0);
    unitAction("Show masses in kg")->trigger();
}

TEST_F(DockLayout, TheChartWritesEveryNameInFullAndScrollsRatherThanSqueezes)
{
    auto dock = newDock();
    dock->resize(260, 500);
    QTest::qWait(20);
    MaterialQuantitiesChartView* view = chart(*dock);
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item)) {
            texts.append(text->toPlainText());
        }
    }
    for (const QString& name : view->materials()) {
        EXPECT_TRUE(texts.contains(name)) << name.toStdString();
    }
    EXPECT_GT(view->width(), chartPane(*dock)->width()) << "the pane scrolls";
    EXPECT_GT(view->height(), view->materials().size() * view->fontMetrics().height());
}

} // namespace
