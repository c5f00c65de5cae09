#pragma once

#include "OrvaneWidgets/ISettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QPointer>

namespace Orvane {

class MaterialLibrarySettingsWidget;

/// The page of the settings dialog where the user adds to the shipped
/// material library and changes its entries. It keeps the user's entries as
/// last applied; applying saves them in the application's settings, where
/// the library is read from.
class MaterialLibrarySettingsPage : public ISettingsPage
{
    Q_OBJECT
public:
    explicit MaterialLibrarySettingsPage(QObject* parent = nullptr);
    ~MaterialLibrarySettingsPage() override;

    QString getName() const override;
    /// The page's one widget, made the first time and re-parented afterwards
    /// with its edits kept.
    QList<QWidget*> createWidgets(QWidget* parent) override;
    void apply() override;
    /// The widget goes back to the page's entries, dropping its edits.
    void reject() override;
    void loadSettings(QSettings& store) override;
    void saveSettings(QSettings& store) override;

    const QList<MaterialLibrary::Entry>& userEntries() const { return entries; }

private:
    QList<MaterialLibrary::Entry> entries;
    QPointer<MaterialLibrarySettingsWidget> widget;
};

} // namespace Orvane
