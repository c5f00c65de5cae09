#include "MaterialLibrarySettingsPage.h"

#include "MaterialLibrarySettingsWidget.h"

#include <QSettings>

namespace Orvane {

MaterialLibrarySettingsPage::MaterialLibrarySettingsPage(QObject* parent) : ISettingsPage(parent) {}

MaterialLibrarySettingsPage::~MaterialLibrarySettingsPage()
{
    delete widget;
}

QString MaterialLibrarySettingsPage::getName() const
{
    return tr("Material library");
}

QList<QWidget*> MaterialLibrarySettingsPage::createWidgets(QWidget* parent)
{
    if (widget) {
        widget->setParent(parent);
    } else {
        widget = new MaterialLibrarySettingsWidget(parent);
        QString error;
        const MaterialLibrary shipped = MaterialLibrary::shipped(&error);
        widget->setShipped(shipped, error);
        widget->setUserEntries(entries);
    }
    return {widget};
}

void MaterialLibrarySettingsPage::apply()
{
    if (!widget || widget->userEntries() == entries) {
        return;
    }
    entries = widget->userEntries();
    // The library is read from the settings wherever it is used: applied
    // entries count from now on, whether the dialog is then accepted or not.
    QSettings store;
    saveSettings(store);
}

void MaterialLibrarySettingsPage::reject()
{
    if (widget) {
        widget->setUserEntries(entries);
    }
}

void MaterialLibrarySettingsPage::loadSettings(QSettings& store)
{
    entries = MaterialLibrary::userEntries(store);
    if (widget) {
        widget->setUserEntries(entries);
    }
}

void MaterialLibrarySettingsPage::saveSettings(QSettings& store)
{
    MaterialLibrary::saveUserEntries(store, entries);
}

} // namespace Orvane
