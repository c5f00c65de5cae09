#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace Orvane {

class MainWindow;
class Model;
class PluginInterface;
class PluginItem;
class ToolInterface;

/// Finds the plug-in libraries, reads their metadata without loading them,
/// and loads, starts and stops the enabled tools. One per application,
/// constructed in main() once the application object exists and before the
/// main window starts the tools.
///
/// Libraries are looked for in <executable>/../lib/orvane/plugins, in the
/// folders of ORVANE_PLUGIN_PATH and in the folders given to the constructor.
/// A library that cannot be used is listed with the reason and skipped.
class PluginManager : public QObject
{
    Q_OBJECT
public:
    explicit PluginManager(const QStringList& folders = {}, QObject* parent = nullptr);
    ~PluginManager() override;

    /// The application's manager, null while there is none.
    static PluginManager* instance();

    /// What the host provides itself, for the plug-ins' "Depends".
    static QStringList hostProvides();

    QStringList folders() const { return m_folders; }
    QList<PluginItem*> items() const;
    PluginItem* getPluginItem(const PluginInterface* plugin) const;
    PluginItem* item(const QString& id) const;

    /// The user's choice, remembered between runs; every plug-in is enabled
    /// until the user disables it. Takes effect at the next start.
    bool isEnabled(const PluginItem* item) const;
    void setEnabled(const PluginItem* item, bool enabled);

    /// Loads, initialises and enables every enabled tool, and takes over
    /// their settings pages.
    void startTools(MainWindow* mainWindow);
    /// Disables and finalises the started tools, last first, and deletes
    /// their settings pages.
    void stopTools();
    QList<ToolInterface*> tools() const;
    /// Hands the newly active model (null for none) to every enabled tool.
    void setModel(Model* model);

private:
    void discover();
    void checkMetaData(PluginItem* item) const;
    void checkDependencies();
    bool ready(const PluginItem* item) const;

    QStringList m_folders;
    std::vector<std::unique_ptr<PluginItem>> m_items;
    QList<ToolInterface*> m_tools;
};

} // namespace Orvane
