#pragma once

#include <QDialog>

class QTableWidget;
class QTableWidgetItem;

namespace Orvane {

class PluginManager;

/// Lists every plug-in library found, usable or not, with its name, version,
/// status, category and description in the user's language, and lets the user
/// enable or disable each for the next start.
class PluginsDialog : public QDialog
{
    Q_OBJECT
public:
    enum Column { NameColumn, VersionColumn, StatusColumn, CategoryColumn, DescriptionColumn, ColumnCount };

    explicit PluginsDialog(PluginManager* manager, QWidget* parent = nullptr);
    ~PluginsDialog() override;

    QTableWidget* table() const { return m_table; }

private:
    void fill();
    void itemChanged(QTableWidgetItem* item);

    PluginManager* m_manager;
    QTableWidget* m_table;
};

} // namespace Orvane
