#include "FakeTool.h"
#include "MaterialQuantitiesSettingsPage.h"
#include "MaterialQuantitiesSettingsWidget.h"
#include "QuantitiesPropPathListView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>

#include <gtest/gtest.h>

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::MaterialQuantitiesSettingsWidget;
using Orvane::QuantitiesPropPathListView;

class SettingsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        widget = qobject_cast<MaterialQuantitiesSettingsWidget*>(page.createWidgets(&parent).value(0));
        ASSERT_TRUE(widget);
        units = widget->findChild<QComboBox*>("uniteFonctionnelleComboBox");
        list = widget->findChild<QuantitiesPropPathListView*>("quantitiesPropPathListView");
        ASSERT_TRUE(units && list);
    }
    void TearDown() override { QSettings().clear(); }

    QLineEdit* lineEdit(const char* name) const { return widget->findChild<QLineEdit*>(name); }
    QStringList shownPaths() const
    {
        QStringList paths;
        for (int row = 0; row + 1 < list->model()->rowCount(); ++row) {
            paths.append(list->model()->index(row, 0).data().toString());
        }
        return paths;
    }

    const MaterialQuantitiesSettings defaults;
    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    QWidget parent;
    MaterialQuantitiesSettingsWidget* widget = nullptr;
    QComboBox* units = nullptr;
    QuantitiesPropPathListView* list = nullptr;
};

TEST_F(SettingsPage, FormShowsTheSettingsAndThePathsOfTheChosenUnitAlsoAfterLoading)
{
    EXPECT_EQ(widget->objectName(), "Orvane__MaterialQuantitiesSettingsWidget");
    EXPECT_EQ(lineEdit("reusedMaterialsPropertyPathLineEdit")->text(), defaults.reusedMaterialsPropertyPath);
    EXPECT_EQ(lineEdit("functionalUnitPropertyPathLineEdit")->placeholderText(), "Enter a property path");
    EXPECT_EQ(units->count(), 3);

    EXPECT_EQ(shownPaths(), defaults.lengthQuantitiesPropPaths);
    units->setCurrentIndex(1);
    EXPECT_EQ(shownPaths(), defaults.areaQuantitiesPropPaths);
    units->setCurrentIndex(0);
    EXPECT_EQ(shownPaths(), defaults.lengthQuantitiesPropPaths);

    QSettings store;
    store.setValue("Tool/MaterialQuantities/lengthQuantitiesPropPaths", QStringList{"L"});
    page.loadSettings(store);
    EXPECT_EQ(shownPaths(), QStringList{"L"});
}

TEST_F(SettingsPage, ApplyingCopiesTheWholeRecordOnceAndOnlyAfterAnEdit)
{
    page.apply();
    EXPECT_EQ(tool.toolUpdates, 0);
    EXPECT_EQ(tool.dockUpdates, 0);

    lineEdit("reusedMaterialsPropertyPathLineEdit")->setText("Type/Properties/Reuse");
    units->setCurrentIndex(1);
    list->model()->setData(list->model()->index(0, 0), "A");
    MaterialQuantitiesSettings expected = widget->getSettings();

    page.apply();
    page.apply();
    EXPECT_EQ(page.getSettings(), expected);
    EXPECT_EQ(tool.settings, expected);
    EXPECT_EQ(tool.dockSettings, expected);
    EXPECT_EQ(tool.toolUpdates, 1);
    EXPECT_EQ(tool.dockUpdates, 1);
    EXPECT_EQ(QSettings().childGroups(), QStringList()); // applying writes no store
}
