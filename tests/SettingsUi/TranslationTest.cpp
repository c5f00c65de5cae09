#include "MaterialQuantitiesSettingsPage.h"
#include "Orvane/Widgets/SettingsDialog.h"
#include "QuantitiesPropPathListModel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

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
