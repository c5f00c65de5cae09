#include "Orvane/Widgets/SettingsDialog.h"
#include "FakeTool.h"
#include "MaterialQuantitiesSettingsPage.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialQuantitiesSettingsPage;
using Orvane::SettingsDialog;

namespace {

/// A page of another tool, to tell when the dialog asks for widgets.
class CountingPage : public Orvane::ISettingsPage
{
public:
    ~CountingPage() override { qDeleteAll(widgets); }
    QString getName() const override { return QStringLiteral("Other"); }
    QList<QWidget*> createWidgets(QWidget* parent) override
    {
        ++widgetRequests;
        widgets.append(new QWidget(parent));
        return {widgets.last()};
    }
    void apply() override { ++applies; }
    void loadSettings(QSettings&) override {}
    void saveSettings(QSettings&) override {}

    QList<QWidget*> widgets;
    int widgetRequests = 0;
    int applies = 0;
};

} // namespace

class SettingsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        dialog.addPage(&page);
        dialog.addPage(&other);
    }
    void TearDown() override { QSettings().clear(); }

    QLineEdit* reusePathEdit() const { return dialog.findChild<QLineEdit*>("reusedMaterialsPropertyPathLineEdit"); }
    void click(QDialogButtonBox::StandardButton button)
    {
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
    }

    FakeTool tool;
    MaterialQuantitiesSettingsPage page{&tool};
    CountingPage other;
    SettingsDialog dialog;
};

TEST_F(SettingsDialogTest, ListsThePagesAndAsksForWidgetsOnlyWhenAPageIsShown)
{
    const QListWidget* pages = dialog.findChild<QListWidget*>();
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->item(0)->text(), "Material quantities");
    EXPECT_FALSE(dialog.hasWidgets(&page));

    dialog.show();
    EXPECT_TRUE(dialog.hasWidgets(&page));
    EXPECT_EQ(other.widgetRequests, 0);
    click(QDialogButtonBox::Apply);
    EXPECT_EQ(other.applies, 0);

    dialog.setCurrentPage(1);
    dialog.setCurrentPage(0);
    dialog.setCurrentPage(1);
    EXPECT_EQ(other.widgetRequests, 1);
    click(QDialogButtonBox::Apply);
    EXPECT_EQ(other.applies, 1);
}

TEST_F(SettingsDialogTest, ApplyHandsTheEditsOnCancelDropsTheRestAndTheNextOpeningShowsTheApplied)
{
    dialog.show();
    reusePathEdit()->setText("Applied");
    click(QDialogButtonBox::Apply);
    EXPECT_EQ(page.getSettings().reusedMaterialsPropertyPath, "Applied");
    EXPECT_EQ(tool.settings.reusedMaterialsPropertyPath, "Applied");
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
