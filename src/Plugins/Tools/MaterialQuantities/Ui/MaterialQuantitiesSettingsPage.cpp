#include "MaterialQuantitiesSettingsPage.h"

#include "MaterialQuantitiesSettingsHolder.h"
#include "MaterialQuantitiesSettingsWidget.h"

#include "Orvane/Model.h"

#include <QSettings>

namespace Orvane {

MaterialQuantitiesSettingsPage::MaterialQuantitiesSettingsPage(MaterialQuantitiesSettingsHolder* tool, QObject* parent)
    : ISettingsPage(parent), tool(tool)
{
}

MaterialQuantitiesSettingsPage::~MaterialQuantitiesSettingsPage()
{
    delete widget;
}

QString MaterialQuantitiesSettingsPage::getName() const
{
    return tr("Material quantities");
}

QList<QWidget*> MaterialQuantitiesSettingsPage::createWidgets(QWidget* parent)
{
    if (widget) {
        widget->setParent(parent);
    } else {
        widget = new MaterialQuantitiesSettingsWidget(parent);
        QSettings store;
        settings.loadSettings(store);
        widget->setSettings(settings);
        widget->setModel(activeModel);
    }
    return {widget};
}

void MaterialQuantitiesSettingsPage::setModel(Model* model)
{
    activeModel = model;
    if (widget) {
        widget->setModel(model);
    }
}

void MaterialQuantitiesSettingsPage::apply()
{
    if (!widget || widget->getSettings() == settings) {
        return;
    }
    settings = widget->getSettings();
    if (!tool || tool->getToolSettings() == settings) {
        return;
    }
    tool->setToolSettings(settings);
    tool->setDockSettings(settings);
}

void MaterialQuantitiesSettingsPage::accept()
{
    apply();
}

void MaterialQuantitiesSettingsPage::reject()
{
    if (widget) {
        widget->setSettings(settings);
    }
}

void MaterialQuantitiesSettingsPage::loadSettings(QSettings& store)
{
    settings.loadSettings(store);
    if (widget) {
        widget->setSettings(settings);
    }
}

void MaterialQuantitiesSettingsPage::saveSettings(QSettings& store)
{
    settings.saveSettings(store);
}

} // namespace Orvane
