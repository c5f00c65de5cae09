#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QWidget>

#include <memory>

namespace Orvane {

namespace Ui {
class MaterialLibrarySettingsWidget;
}

class MaterialLibraryModel;

/// Edits the user's entries of the material library in a table of every
/// entry, the user's in bold, and tells what a material name typed in its
/// test field matches.
class MaterialLibrarySettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MaterialLibrarySettingsWidget(QWidget* parent = nullptr);
    ~MaterialLibrarySettingsWidget() override;

    /// The shipped table, and why it could not be read in full (empty when it could).
    void setShipped(const MaterialLibrary& shipped, const QString& error);
    void setUserEntries(const QList<MaterialLibrary::Entry>& entries);
    QList<MaterialLibrary::Entry> userEntries() const;

protected slots:
    void on_addButton_clicked();
    void on_removeButton_clicked();

private:
    void showTestMatch();
    void updateRemoveButton();
    void fitColumns();

    std::unique_ptr<Ui::MaterialLibrarySettingsWidget> ui;
    MaterialLibraryModel* model;
};

} // namespace Orvane
