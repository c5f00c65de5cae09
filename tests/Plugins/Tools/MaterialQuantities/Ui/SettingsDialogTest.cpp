#include "FakeTool.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsPage.h"

#include "OrvaneWidgets/SettingsDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::SettingsDialog;

class SettingsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        dialog.addPage(&page);
    }
    void TearDown() override { QSettings().clear(); }

    QLineEdit* reusePathEdit() const { return dialog.findChild<QLineEdit*>("reusedMaterialsPropertyPathLineEdit"); }
    void click(QDialogButtonBox::StandardButton button)
    {
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
    }

    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    SettingsDialog dialog;
};

TEST_F(SettingsDialogTest, ApplyHandsTheEditsOnCancelDropsTheRestAndTheNextOpeningShowsTheApplied)
{
    dialog.show();
    reusePathEdit()->setText("Applied");
    click(QDialogButtonBox::Apply);
    EXPECT_EQ(page.getSettings().reusedMaterialsPropertyPath, "Applied");
    EXPECT_EQ(tool.settings.reusedMaterialsPropertyPath, "Applied");
    EXPECT_EQ(tool.dockSettings, tool.settings);
    EXPECT_FALSE(QSettings().contains("Tool/MaterialQuantities/reusedMaterialsPropertyPath"));

    reusePathEdit()->setText("Cancelled");
    click(QDialogButtonBox::Cancel);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(tool.settings.reusedMaterialsPropertyPath, "Applied");

    SettingsDialog next;
    next.addPage(&page);
    next.show();
    const QLineEdit* shown = next.findChild<QLineEdit*>("reusedMaterialsPropertyPathLineEdit");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->text(), "Applied");
}

TEST_F(SettingsDialogTest, OkSavesPathsThatTheBatchCommandReadsBack)
{
    dialog.show();
    reusePathEdit()->setText("Type/Properties/Réemploi");
    click(QDialogButtonBox::Ok);
    EXPECT_EQ(tool.settings.reusedMaterialsPropertyPath, "Type/Properties/Réemploi");

    // The batch command reads a settings file as INI, through this constructor.
    QSettings saved(QSettings().fileName(), QSettings::IniFormat);
    const MaterialQuantitiesSettings read(saved);
    EXPECT_EQ(read, page.getSettings());
    EXPECT_EQ(read.reusedMaterialsPropertyPath, "Type/Properties/Réemploi");
}
