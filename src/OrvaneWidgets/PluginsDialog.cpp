#include "PluginsDialog.h"

#include "PluginItem.h"
#include "PluginManager.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orvane {

namespace {

const int pluginRole = Qt::UserRole + 1;

QString statusText(const PluginItem* item)
{
    switch (item->state()) {
    case PluginItem::State::Loaded:
        return PluginsDialog::tr("Loaded (%1)").arg(item->status());
    case PluginItem::State::NotLoaded:
        return PluginsDialog::tr("Not loaded (%1)").arg(item->status());
    case PluginItem::State::Disabled:
        return PluginsDialog::tr("Disabled");
    case PluginItem::State::Failed:
        break;
    }
    return PluginsDialog::tr("Error: %1").arg(item->error());
}

} // namespace

PluginsDialog::PluginsDialog(PluginManager* manager, QWidget* parent)
    : QDialog(parent), m_manager(manager), m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("PluginsDialog"));
    setWindowTitle(tr("Plug-ins"));
    m_table->setObjectName(QStringLiteral("pluginsTable"));
    m_table->setColumnCount(ColumnCount);
    m_table->setHorizontalHeaderLabels({tr("Name"), tr("Version"), tr("Status"), tr("Category"), tr("Description")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(new QLabel(tr("Changes take effect at the next start."), this));
    layout->addWidget(buttons);
    resize(900, 300);
    fill();
    connect(m_table, &QTableWidget::itemChanged, this, &PluginsDialog::itemChanged);
}

PluginsDialog::~PluginsDialog() = default;

void PluginsDialog::fill()
{
    const QList<PluginItem*> items = m_manager->items();
    m_table->setRowCount(items.size());
    for (int row = 0; row < items.size(); ++row) {
        const PluginItem* plugin = items.at(row);
        const QString name = plugin->hasMetaData() && !plugin->name().isEmpty()
                                 ? plugin->name()
                                 : QFileInfo(plugin->fileName()).fileName();
        auto* nameItem = new QTableWidgetItem(plugin->icon(), name);
        nameItem->setToolTip(plugin->fileName());
        if (plugin->hasMetaData() && !plugin->id().isEmpty()) {
            nameItem->setFlags(nameItem->flags() | Qt::ItemIsUserCheckable);
            nameItem->setCheckState(m_manager->isEnabled(plugin) ? Qt::Checked : Qt::Unchecked);
            nameItem->setData(pluginRole, plugin->id());
        }
        m_table->setItem(row, NameColumn, nameItem);
        m_table->setItem(row, VersionColumn, new QTableWidgetItem(plugin->version()));
        m_table->setItem(row, StatusColumn, new QTableWidgetItem(statusText(plugin)));
        m_table->setItem(row, CategoryColumn, new QTableWidgetItem(plugin->category()));
        m_table->setItem(row, DescriptionColumn, new QTableWidgetItem(plugin->description()));
    }
    m_table->resizeColumnsToContents();
}

void PluginsDialog::itemChanged(QTableWidgetItem* item)
{
    if (item->column() != NameColumn || item->data(pluginRole).isNull()) {
        return;
    }
    if (const PluginItem* plugin = m_manager->item(item->data(pluginRole).toString())) {
        m_manager->setEnabled(plugin, item->checkState() == Qt::Checked);
    }
}

} // namespace Orvane
