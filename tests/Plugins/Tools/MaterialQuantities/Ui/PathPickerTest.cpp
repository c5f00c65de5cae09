// The settings widget's help with paths: picking one from the selected
// element, telling where each resolves in the active model, and going back
// to the defaults.
#include "FakeTool.h"
#include "ModalAnswer.h"
#include "PathTestModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsWidget.h"
#include "Plugins/Tools/MaterialQuantities/Ui/PropertyPathPickerDialog.h"
#include "Plugins/Tools/MaterialQuantities/Ui/QuantitiesPropPathListView.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::MaterialQuantitiesSettingsWidget;
using Orvane::PropertyPathPickerDialog;
using Orvane::QuantitiesPropPathListView;

const QString noneText = QStringLiteral("Found on no building element of this model");
const QString noSelectionTip = QStringLiteral("Select an element in the model to pick a path from it");
const QString pickTip = QStringLiteral("Pick a property path from the selected element");
const QStringList pickButtons = {"functionalUnitPickButton", "massPerFunctionalUnitPickButton",
                                 "materialCompositionPickButton", "reusedMaterialsPickButton",
                                 "quantitiesPropPathPickButton"};

/// A path field of the form and the setting it edits.
struct PathField
{
    const char* prefix; // of the edit's, the button's and the label's names
    QString MaterialQuantitiesSettings::*setting;
};
const PathField pathFields[] = {
    {"functionalUnit", &MaterialQuantitiesSettings::functionalUnitPropertyPath},
    {"massPerFunctionalUnit", &MaterialQuantitiesSettings::massPerFunctionalUnitPropertyPath},
    {"materialComposition", &MaterialQuantitiesSettings::materialCompositionPropertyPath},
    {"reusedMaterials", &MaterialQuantitiesSettings::reusedMaterialsPropertyPath},
};

class PathPicker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        ASSERT_TRUE(built.model);
        page.setModel(built.model.get());
        widget = qobject_cast<MaterialQuantitiesSettingsWidget*>(page.createWidgets(&parent).value(0));
        ASSERT_TRUE(widget);
        parent.show();
    }
    void TearDown() override { QSettings().clear(); }

    template <class T> T* child(const QString& name) const
    {
        T* found = widget->findChild<T*>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }
    QLineEdit* edit(const PathField& field) const
    {
        return child<QLineEdit>(QString(field.prefix) + "PropertyPathLineEdit");
    }
    QLabel* resolutionLabel(const PathField& field) const
    {
        return child<QLabel>(QString(field.prefix) + "ResolutionLabel");
    }
    QAbstractItemModel* list() const
    {
        return child<QuantitiesPropPathListView>("quantitiesPropPathListView")->model();
    }
    QStringList listedPaths() const
    {
        QStringList paths; // the last row is the one for a new path
        for (int row = 0; row + 1 < list()->rowCount(); ++row) {
            paths.append(list()->index(row, 0).data().toString());
        }
        return paths;
    }
    void select(const QModelIndex& index)
    {
        built.model->selectionModel()->setCurrentIndex(index,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    /// Whether each pick button is enabled, with the tooltip that goes with it.
    void expectPickable(bool pickable) const
    {
        for (const QString& name : pickButtons) {
            auto* button = child<QToolButton>(name);
            ASSERT_TRUE(button);
            EXPECT_EQ(button->isEnabled(), pickable) << name.toStdString();
            EXPECT_EQ(button->toolTip(), pickable ? pickTip : noSelectionTip) << name.toStdString();
        }
    }

    PathTestModel built;
    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    QWidget parent;
    MaterialQuantitiesSettingsWidget* widget = nullptr;
};

TEST_F(PathPicker, RestoreDefaultsPutsEveryPathAndListBack)
{
    MaterialQuantitiesSettings edited = MaterialQuantitiesSettings::defaults();
    for (const PathField& field : pathFields) {
        edited.*field.setting = "Properties/Edited";
    }
    edited.lengthQuantitiesPropPaths = QStringList{"L"};
    edited.areaQuantitiesPropPaths = QStringList{"A"};
    edited.volumeQuantitiesPropPaths = QStringList{"V"};
    widget->setSettings(edited);
    page.apply();
    ASSERT_EQ(page.getSettings(), edited);
    // The defaults are the program's, not what the store holds.
    QSettings().setValue("Tool/MaterialQuantities/functionalUnitPropertyPath", "Properties/Stored");

    QTest::mouseClick(child<QPushButton>("restoreDefaultsButton"), Qt::LeftButton);

    const MaterialQuantitiesSettings defaults = MaterialQuantitiesSettings::defaults();
    EXPECT_EQ(widget->getSettings(), defaults);
    for (const PathField& field : pathFields) {
        EXPECT_EQ(edit(field)->text(), defaults.*field.setting) << field.prefix;
    }
    EXPECT_EQ(edit(pathFields[0])->text(), "Type/Properties/Unite_Fonctionnelle/Type");
    EXPECT_EQ(listedPaths(), defaults.lengthQuantitiesPropPaths);
    // Only the widget's copy changed, until applied.
    EXPECT_EQ(page.getSettings(), edited);
    page.apply();
    EXPECT_EQ(page.getSettings(), defaults);
}

TEST_F(PathPicker, PickButtonsNeedASelectedElementOfAnOpenModel)
{
    expectPickable(false);
    select(built.wall(0));
    expectPickable(true);
    built.model->selectionModel()->clearSelection();
    expectPickable(false);
    select(built.wall(1));
    page.setModel(nullptr);
    expectPickable(false);
    page.setModel(built.model.get());
    expectPickable(true);
    built.model.reset(); // the model is closed
    expectPickable(false);
}

/// A pick made in the dialog: the node reached through these names, or
/// Cancel when none are given.
struct Pick
{
    const char* button;
    QStringList names;
    QString path;  // what lands in the field or the list
    QString value; // part of what the node's value column shows
};

void PrintTo(const Pick& pick, std::ostream* out)
{
    *out << pick.button << " <- \"" << pick.names.join('/').toStdString() << '"';
}

class PickedPath : public PathPicker, public ::testing::WithParamInterface<Pick>
{
protected:
    /// Picks with the dialog as a user does: opens the nodes by name, makes
    /// the last one current and clicks OK (or Cancel with no names).
    void pick(const QStringList& names, QString* valueShown)
    {
        testsupport::answerModal<PropertyPathPickerDialog>([names, valueShown](PropertyPathPickerDialog* dialog) {
            auto* tree = dialog->findChild<QTreeView*>();
            QModelIndex node;
            for (const QString& name : names) {
                const QModelIndexList found =
                    tree->model()->match(tree->model()->index(0, 0, node), Qt::DisplayRole, name, 1, Qt::MatchExactly);
                node = found.value(0);
                if (!node.isValid()) {
                    ADD_FAILURE() << "no node " << name.toStdString();
                    break;
                }
            }
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (names.isEmpty() || !node.isValid()) {
                buttons->button(QDialogButtonBox::Cancel)->click();
                return;
            }
            tree->setCurrentIndex(node);
            *valueShown = node.siblingAtColumn(1).data().toString();
            buttons->button(QDialogButtonBox::Ok)->click();
        });
        QTest::mouseClick(child<QToolButton>(GetParam().button), Qt::LeftButton);
    }
};

TEST_P(PickedPath, LandsInTheFieldOfItsButton)
{
    select(built.wall(0));
    const MaterialQuantitiesSettings before = widget->getSettings();
    const QStringList listBefore = listedPaths();
    QString valueShown;
    pick(GetParam().names, &valueShown);

    const QString button = GetParam().button;
    const bool cancelled = GetParam().names.isEmpty();
    for (const PathField& field : pathFields) {
        const bool picked = !cancelled && button == QString(field.prefix) + "PickButton";
        const QString expected = picked ? GetParam().path : before.*field.setting;
        EXPECT_EQ(edit(field)->text(), expected) << field.prefix;
        EXPECT_EQ(widget->getSettings().*field.setting, expected) << field.prefix;
    }
    const bool listPicked = !cancelled && button == "quantitiesPropPathPickButton";
    EXPECT_EQ(listedPaths(), listPicked ? listBefore + QStringList{GetParam().path} : listBefore);
    EXPECT_EQ(widget->getSettings().lengthQuantitiesPropPaths, listedPaths());
    EXPECT_TRUE(valueShown.contains(GetParam().value)) << valueShown.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PickedPath,
    ::testing::Values(Pick{"massPerFunctionalUnitPickButton",
                           {"Type", "Properties", "Unite_Fonctionnelle", "Masse_par_UF"},
                           "Type/Properties/Unite_Fonctionnelle/Masse_par_UF",
                           "12.5"},
                      Pick{"functionalUnitPickButton",
                           {"Type", "Properties", "Unite_Fonctionnelle", "Type"},
                           "Type/Properties/Unite_Fonctionnelle/Type",
                           "m2"},
                      Pick{"materialCompositionPickButton",
                           {"Type", "Properties", "Unite_Fonctionnelle"},
                           "Type/Properties/Unite_Fonctionnelle",
                           ""},
                      Pick{"reusedMaterialsPickButton", {"Fields", "Name"}, "Fields/Name", "Wall 1"},
                      Pick{"quantitiesPropPathPickButton",
                           {"Properties", "BaseQuantities", "NetVolume"},
                           "Properties/BaseQuantities/NetVolume",
                           "1"},
                      Pick{"massPerFunctionalUnitPickButton", {}, {}, {}},
                      Pick{"quantitiesPropPathPickButton", {}, {}, {}}));

/// What the label beside a field says once the path typed into it is
/// looked for in the model.
struct Resolution
{
    QString path;
    QString said;
    bool warned;
};

void PrintTo(const Resolution& resolution, std::ostream* out)
{
    *out << '"' << resolution.path.toStdString() << '"';
}

class PathResolutionShown : public PathPicker, public ::testing::WithParamInterface<Resolution>
{
};

TEST_P(PathResolutionShown, BesideEachFieldOnceEdited)
{
    for (const PathField& field : pathFields) {
        SCOPED_TRACE(field.prefix);
        QLineEdit* pathEdit = edit(field);
        pathEdit->selectAll();
        QTest::keyClicks(pathEdit, GetParam().path);
        ASSERT_EQ(pathEdit->text(), GetParam().path);
        EXPECT_TRUE(QTest::qWaitFor([&] { return resolutionLabel(field)->text() == GetParam().said; }, 5000))
            << resolutionLabel(field)->text().toStdString();
        const QList<QAction*> actions = pathEdit->actions();
        const bool warned =
            std::any_of(actions.begin(), actions.end(), [](const QAction* action) { return action->isVisible(); });
        EXPECT_EQ(warned, GetParam().warned);
    }
}

TEST_P(PathResolutionShown, OnThePathsOfTheList)
{
    const QModelIndex newPathRow = list()->index(list()->rowCount() - 1, 0);
    ASSERT_TRUE(list()->setData(newPathRow, GetParam().path));
    const QModelIndex added = list()->index(list()->rowCount() - 2, 0);
    ASSERT_EQ(added.data().toString(), GetParam().path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return added.data(Qt::ToolTipRole).toString() == GetParam().said; }, 5000))
        << added.data(Qt::ToolTipRole).toString().toStdString();
    EXPECT_EQ(!added.data(Qt::DecorationRole).isNull(), GetParam().warned);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathResolutionShown,
                         ::testing::Values(Resolution{"Type/Properties/Nowhere/X", noneText, true},
                                           Resolution{"Type/Properties/Unite_Fonctionnelle/Masse_par_UF",
                                                      "Found on 3 of 5 building elements", false},
                                           Resolution{"Properties/BaseQuantities/NetVolume",
                                                      "Found on 2 of 5 building elements", false}));

} // namespace
