#include "FakeTool.h"
#include "MaterialQuantitiesSettingsPage.h"
#include "QuantitiesPropPathListModel.h"

#include "Orvane/Widgets/SettingsDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>

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

/// Answers every text with its context in front, so that a test sees under
/// which context each user-visible text is looked up.
class ContextTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return QString::fromUtf8(context) + '|' + QString::fromUtf8(sourceText);
    }
    bool isEmpty() const override { return false; }
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

TEST(Translation, UserVisibleTextsAreLookedUpInTheirClassesContexts)
{
    ContextTranslator translator;
    QCoreApplication::installTranslator(&translator);
    Orvane::MaterialQuantitiesSettingsPage page(nullptr);
    QWidget parent;
    const QWidget* widget = page.createWidgets(&parent).value(0);
    const Orvane::QuantitiesPropPathListModel model;
    const Orvane::SettingsDialog dialog;

    EXPECT_EQ(page.getName(), "Orvane::MaterialQuantitiesSettingsPage|Material quantities");
    EXPECT_EQ(widget->findChild<QLabel*>("label_5")->text(),
              "Orvane::MaterialQuantitiesSettingsWidget|Reused materials ");
    EXPECT_EQ(widget->findChild<QComboBox*>()->itemText(1), "Orvane::MaterialQuantitiesSettingsWidget|Area");
    EXPECT_EQ(model.data(model.index(0)).toString(), "Orvane::QuantitiesPropPathListModel|+ New property path");
    EXPECT_EQ(dialog.windowTitle(), "Orvane::SettingsDialog|Settings");
    QCoreApplication::removeTranslator(&translator);
}
