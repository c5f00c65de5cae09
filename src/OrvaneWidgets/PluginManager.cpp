#include "PluginManager.h"

#include "ISettingsPage.h"
#include "PluginItem.h"
#include "ToolInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>
#include <QPointer>
#include <QSet>
#include <QSettings>

namespace Orvane {

namespace {

QPointer<PluginManager> theManager;

QString enabledKey(const PluginItem* item)
{
    return QStringLiteral("Plugins/%1/enabled").arg(item->id());
}

QString toolType()
{
    return QStringLiteral("Orvane::ToolInterface");
}

} // namespace

PluginManager* PluginManager::instance()
{
    return theManager;
}

PluginManager::PluginManager(const QStringList& folders, QObject* parent) : QObject(parent)
{
    Q_ASSERT_X(!theManager, "PluginManager", "one per application");
    theManager = this;
    m_folders.append(
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/orvane/plugins")));
    const QString path = qEnvironmentVariable("ORVANE_PLUGIN_PATH");
    m_folders.append(path.split(QDir::listSeparator(), Qt::SkipEmptyParts));
    m_folders.append(folders);
    m_folders.removeDuplicates();
    discover();
}

PluginManager::~PluginManager() = default;

QStringList PluginManager::hostProvides()
{
    return {QStringLiteral("Orvane.Plugin.model.IFC")};
}

void PluginManager::discover()
{
    QSet<QString> seen;
    for (const QString& folder : qAsConst(m_folders)) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString path = file.canonicalFilePath();
            if (!QLibrary::isLibrary(path) || seen.contains(path)) {
                continue;
            }
            seen.insert(path);
            QPluginLoader loader(path);
            auto item =
                std::make_unique<PluginItem>(path, loader.metaData().value(QStringLiteral("MetaData")).toObject());
            checkMetaData(item.get());
            m_items.push_back(std::move(item));
        }
    }
    checkDependencies();
}

void PluginManager::checkMetaData(PluginItem* item) const
{
    if (!item->hasMetaData()) {
        item->setFailed(tr("The library carries no plug-in metadata."));
    } else if (item->id().isEmpty() || item->name().isEmpty() || item->type().isEmpty()) {
        item->setFailed(tr("The plug-in metadata lacks its \"Id\", \"Name\" or \"Type\"."));
    } else if (item->type() != toolType()) {
        item->setFailed(tr("The plug-in type \"%1\" is not supported.").arg(item->type()));
    } else if (this->item(item->id()) != nullptr) {
        item->setFailed(tr("Another plug-in has the same identifier \"%1\".").arg(item->id()));
    } else if (!isEnabled(item)) {
        item->setDisabled();
    }
}

// Repeated until stable: a plug-in that fails takes down those that need it.
void PluginManager::checkDependencies()
{
    bool changed = true;
    while (changed) {
        changed = false;
        const QStringList host = hostProvides();
        QSet<QString> provided(host.cbegin(), host.cend());
        for (const auto& item : m_items) {
            if (ready(item.get())) {
                provided.insert(item->id());
            }
        }
        for (const auto& item : m_items) {
            if (!ready(item.get())) {
                continue;
            }
            for (const QString& dependency : item->depends()) {
                if (!provided.contains(dependency)) {
                    item->setFailed(tr("The plug-in needs \"%1\", which is missing.").arg(dependency));
                    changed = true;
                    break;
                }
            }
        }
    }
}

bool PluginManager::ready(const PluginItem* item) const
{
    return item->state() == PluginItem::State::NotLoaded || item->state() == PluginItem::State::Loaded;
}

QList<PluginItem*> PluginManager::items() const
{
    QList<PluginItem*> result;
    for (const auto& item : m_items) {
        result.append(item.get());
    }
    return result;
}

PluginItem* PluginManager::getPluginItem(const PluginInterface* plugin) const
{
    if (!plugin) {
        return nullptr;
    }
    for (const auto& item : m_items) {
        if (item->instance() == plugin) {
            return item.get();
        }
    }
    // Loaded by someone else: the library's one object tells which it is.
    for (const auto& item : m_items) {
        QPluginLoader loader(item->fileName());
        if (item->hasMetaData() && loader.isLoaded() && loader.instance() == plugin) {
            return item.get();
        }
    }
    return nullptr;
}

PluginItem* PluginManager::item(const QString& id) const
{
    for (const auto& item : m_items) {
        if (item->hasMetaData() && item->id() == id) {
            return item.get();
        }
    }
    return nullptr;
}

bool PluginManager::isEnabled(const PluginItem* item) const
{
    return QSettings().value(enabledKey(item), true).toBool();
}

void PluginManager::setEnabled(const PluginItem* item, bool enabled)
{
    QSettings().setValue(enabledKey(item), enabled);
}

void PluginManager::startTools(MainWindow* mainWindow)
{
    for (const auto& item : m_items) {
        if (!ready(item.get()) || !item->load()) {
            continue;
        }
        auto* tool = qobject_cast<ToolInterface*>(item->instance());
        if (!tool) {
            item->setFailed(tr("The plug-in is not a tool."));
            continue;
        }
        tool->initialize(mainWindow);
        // Also freed with the manager should the tools never be stopped.
        for (ISettingsPage* page : tool->settingsPages()) {
            page->setParent(this);
        }
        tool->enable();
        m_tools.append(tool);
    }
}

void PluginManager::stopTools()
{
    while (!m_tools.isEmpty()) {
        ToolInterface* tool = m_tools.takeLast();
        const QList<ISettingsPage*> pages = tool->settingsPages();
        tool->disable();
        tool->finalize();
        qDeleteAll(pages);
    }
}

QList<ToolInterface*> PluginManager::tools() const
{
    return m_tools;
}

void PluginManager::setModel(Model* model)
{
    for (ToolInterface* tool : qAsConst(m_tools)) {
        if (tool->toolState() == ToolInterface::Enabled) {
            tool->setModel(model);
        }
    }
}

} // namespace Orvane
