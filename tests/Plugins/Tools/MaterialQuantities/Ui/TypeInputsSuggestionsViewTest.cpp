// Suggested inputs on the "Type inputs" page: shown greyed in the cells of
// missing inputs with where they come from, written only once accepted, as
// one step that Edit > Undo takes back.
#include "HostModels.h"
#include "SuggestionModels.h"

#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsFilterModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsWidget.h"

#include "OrvaneWidgets/ModelUndoStack.h"

#include <QBrush>
#include <QLocale>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using Orvane::TypeInputsModel;

const QString wallType = QString::fromUtf8("Mur béton 20");
const QString beamType = QStringLiteral("IPE 200");

class TypeInputsSuggestionsView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = suggestionModel().open();
        ASSERT_TRUE(model);
        page.setSettings(Orvane::MaterialQuantitiesSettings::defaults());
        page.inputsModel()->setMaterialLibrary(suggestionLibrary());
        page.setModel(model.get());
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    TypeInputsModel& inputs() const { return *page.inputsModel(); }
    QTableView* table() const { return page.findChild<QTableView*>("typeInputsTableView"); }
    QUndoStack* history() const { return Orvane::ModelUndoStack::of(model.get()); }
    /// The view's index of a type's cell.
    QModelIndex cell(const QString& type, int column) const
    {
        for (int row = 0; row < inputs().rowCount(); ++row) {
            if (inputs().index(row, TypeInputsModel::NameColumn).data().toString() == type) {
                return page.filterModel()->mapFromSource(inputs().index(row, column));
            }
        }
        ADD_FAILURE() << "no type " << type.toStdString();
        return {};
    }
    /// The type's inputs as the model holds them.
    Orvane::TypeInputs written(const QString& type) const
    {
        for (const Orvane::TypeInputs& held : inputs().table().types) {
            if (held.name == type) {
                return held;
            }
        }
        return {};
    }
    void click(const char* button) { QTest::mouseClick(page.findChild<QToolButton*>(button), Qt::LeftButton); }

    std::unique_ptr<IFC2x3Model> model;
    Orvane::TypeInputsWidget page;
};

TEST_F(TypeInputsSuggestionsView, ShowsSuggestionsGreyedWithWhereTheyComeFromWithoutWritingThem)
{
    const QModelIndex mass = cell(wallType, TypeInputsModel::MassColumn);
    EXPECT_TRUE(mass.data(TypeInputsModel::SuggestedRole).toBool());
    EXPECT_EQ(mass.data().toString(), QLocale().toString(0.2 * 2500.0 + 0.1 * 30.0, 'g', 12));
    EXPECT_EQ(mass.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
    EXPECT_TRUE(mass.data(Qt::ToolTipRole)
                    .toString()
                    .contains(QString::fromUtf8("layer set 'Mur béton 20': 200 mm Béton armé, 2500 kg/m³")));
    EXPECT_EQ(mass.data(Qt::EditRole).toString(), QString()) << "an editor starts from the model's value";
    EXPECT_TRUE(written(wallType).massPerFunctionalUnit.isNull());
    EXPECT_TRUE(cell(QStringLiteral("Porte bois"), TypeInputsModel::MassColumn)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("Bois")));
    EXPECT_FALSE(cell(wallType, TypeInputsModel::NameColumn).data(TypeInputsModel::SuggestedRole).toBool());
}

TEST_F(TypeInputsSuggestionsView, AcceptingAllIsOneStepThatUndoTakesBack)
{
    const int steps = history()->count();
    click("acceptAllSuggestionsToolButton");
    EXPECT_EQ(history()->count(), steps + 1);
    EXPECT_NEAR(written(wallType).massPerFunctionalUnit.toDouble(), 0.2 * 2500.0 + 0.1 * 30.0, 1e-9);
    EXPECT_EQ(written(beamType).unit, Orvane::MaterialQuantitiesCalculator::Length);
    EXPECT_FALSE(cell(wallType, TypeInputsModel::MassColumn).data(TypeInputsModel::SuggestedRole).toBool());

    history()->undo();
    EXPECT_TRUE(written(wallType).massPerFunctionalUnit.isNull());
    EXPECT_TRUE(written(beamType).functionalUnit.isNull());
    EXPECT_TRUE(cell(wallType, TypeInputsModel::MassColumn).data(TypeInputsModel::SuggestedRole).toBool());
}

TEST_F(TypeInputsSuggestionsView, AcceptsTheSelectedCellsOnly)
{
    table()->selectionModel()->select(cell(beamType, TypeInputsModel::FunctionalUnitColumn),
                                      QItemSelectionModel::ClearAndSelect);
    click("acceptSelectedSuggestionsToolButton");
    EXPECT_EQ(written(beamType).unit, Orvane::MaterialQuantitiesCalculator::Length);
    EXPECT_TRUE(written(beamType).massPerFunctionalUnit.isNull());
    EXPECT_TRUE(written(wallType).functionalUnit.isNull());
}

TEST_F(TypeInputsSuggestionsView, AcceptsAColumnForEveryType)
{
    table()->setCurrentIndex(cell(beamType, TypeInputsModel::MassColumn));
    EXPECT_TRUE(page.acceptColumnSuggestions().isEmpty());
    EXPECT_NEAR(written(beamType).massPerFunctionalUnit.toDouble(), 50.0, 1e-9);
    EXPECT_NEAR(written(wallType).massPerFunctionalUnit.toDouble(), 0.2 * 2500.0 + 0.1 * 30.0, 1e-9);
    EXPECT_TRUE(written(wallType).functionalUnit.isNull());
    EXPECT_FALSE(written(wallType).hasComposition);
}

} // namespace
