#include "FakeTool.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsWidget.h"
#include "Plugins/Tools/MaterialQuantities/Ui/QuantitiesPropPathListView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>

#include <gtest/gtest.h>

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::MaterialQuantitiesSettingsWidget;
using Orvane::QuantitiesPropPathListView;

TEST(SettingsPage, FormShowsTheSettingsAndThePathsOfTheChosenUnitAlsoAfterLoading)
{
    QSettings().clear();
    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    QWidget parent;
    auto* widget = qobject_cast<MaterialQuantitiesSettingsWidget*>(page.createWidgets(&parent).value(0));
    ASSERT_TRUE(widget);
    auto* units = widget->findChild<QComboBox*>("uniteFonctionnelleComboBox");
    auto* list = widget->findChild<QuantitiesPropPathListView*>("quantitiesPropPathListView");
    ASSERT_TRUE(units && list);
    const auto shownPaths = [list] {
        QStringList paths; // the last row is the one for a new path
        for (int row = 0; row + 1 < list->model()->rowCount(); ++row) {
            paths.append(list->model()->index(row, 0).data().toString());
        }
        return paths;
    };

    const MaterialQuantitiesSettings defaults;
    EXPECT_EQ(widget->findChild<QLineEdit*>("reusedMaterialsPropertyPathLineEdit")->text(),
              defaults.reusedMaterialsPropertyPath);
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
    QSettings().clear();
}
