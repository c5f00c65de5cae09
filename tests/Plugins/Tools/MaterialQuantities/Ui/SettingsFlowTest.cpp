// Edits of the quantity path lists made in the settings dialog, as a user
// makes them, and what the page hands on once they are applied.
#include "FakeTool.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Ui/QuantitiesPropPathListView.h"

#include "OrvaneWidgets/SettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::QuantitiesPropPathListView;
using Orvane::SettingsDialog;

/// The paths of a unit as the combo box lists the units.
QStringList unitPaths(const MaterialQuantitiesSettings& settings, int unit)
{
    const QStringList MaterialQuantitiesSettings::*const lists[] = {
        &MaterialQuantitiesSettings::lengthQuantitiesPropPaths, &MaterialQuantitiesSettings::areaQuantitiesPropPaths,
        &MaterialQuantitiesSettings::volumeQuantitiesPropPaths};
    return settings.*lists[unit];
}

class SettingsFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        dialog.addPage(&page);
        dialog.show();
        ASSERT_NE(list(), nullptr);
    }
    void TearDown() override { QSettings().clear(); }

    QuantitiesPropPathListView* list() const
    {
        return dialog.findChild<QuantitiesPropPathListView*>("quantitiesPropPathListView");
    }
    void chooseUnit(int unit) { dialog.findChild<QComboBox*>("uniteFonctionnelleComboBox")->setCurrentIndex(unit); }
    /// Makes the row current with a click, as a user picks it.
    void clickRow(int row)
    {
        QCoreApplication::processEvents(); // lays the rows out
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        ASSERT_EQ(list()->currentIndex().row(), row);
    }
    void clickApply() { dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click(); }

    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    SettingsDialog dialog;
};

TEST_F(SettingsFlow, ARemovedPathIsGoneFromTheAppliedSettingsOfItsUnitOnly)
{
    const MaterialQuantitiesSettings defaults;
    for (int unit = 0; unit < 3; ++unit) {
        SCOPED_TRACE(unit);
        chooseUnit(unit);
        const QStringList before = unitPaths(page.getSettings(), unit);
        ASSERT_GT(before.size(), 1);
        clickRow(1);
        QTest::keyClick(list(), Qt::Key_Delete);
        clickApply();

        QStringList expected = before;
        expected.removeAt(1);
        EXPECT_EQ(unitPaths(page.getSettings(), unit), expected);
        EXPECT_EQ(unitPaths(tool.settings, unit), expected);
        for (int other = unit + 1; other < 3; ++other) {
            EXPECT_EQ(unitPaths(page.getSettings(), other), unitPaths(defaults, other));
        }
    }
}

TEST_F(SettingsFlow, TheNewPathRowOpensAnEmptyEditorAndAppendsWhatIsTyped)
{
    const int newPathRow = list()->model()->rowCount() - 1;
    const QStringList before = unitPaths(page.getSettings(), 0);
    clickRow(newPathRow);
    QTest::keyClick(list(), Qt::Key_F2);
    auto* editor = list()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "");

    editor->selectAll(); // whatever it holds, the path typed replaces it
    QTest::keyClicks(editor, "Properties/BaseQuantities/Depth");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on its next turn
    clickApply();
    EXPECT_EQ(unitPaths(page.getSettings(), 0), before + QStringList{"Properties/BaseQuantities/Depth"});
}

} // namespace
