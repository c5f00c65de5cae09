#pragma once

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QLabel;
class QMenu;
class QStackedWidget;
class QTabWidget;
class QToolBar;

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}
class DockWidgetManager;
class Model;
class ModelDocument;
class StatusBarProgress;

/// The host's main window: the open models in tabs, one of them active; the
/// File, Tools, View and Help menus; the tool bar that tools add their action
/// to; the tools' docks and a status bar that shows running operations.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    DockWidgetManager* dockWidgetManager() const { return m_dockWidgetManager; }
    QToolBar* toolBar() const { return m_toolBar; }
    void addActionInToolBar(QAction* action);
    void removeActionInToolBar(QAction* action);

    /// Starts the enabled tools of the plug-in manager, lists them in the
    /// menus and puts their docks back where they were at the last exit
    /// (at the first start, beside the models at nearly half the width).
    void startPlugins();
    /// Stops them; done when the window closes.
    void stopPlugins();

    /// Where the application writes its log, shown by Help > About.
    void setLogFileName(const QString& fileName) { m_logFileName = fileName; }

    int documentCount() const;
    ModelDocument* document(int index) const;
    ModelDocument* activeDocument() const;
    Model* activeModel() const;
    /// Operations shown in the status bar that have not ended yet.
    int runningOperationCount() const;

public slots:
    /// Reads the file off the user-interface thread and shows it in a new tab.
    void openFile(const QString& fileName);
    void open();
    bool save();
    bool saveAs();
    /// Asks first when the model holds unsaved results; false when the user
    /// cancelled or a save failed.
    bool closeDocument(int index);
    bool closeActiveDocument();
    void showSettings();
    void showPlugins();
    void showAbout();

signals:
    /// The active model changed; null when no model is open any more.
    void activeModelChanged(Orvane::Model* model);
    /// A file was opened (model set) or could not be (error set).
    void fileOpened(const QString& fileName, bool succeeded);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void giveDocksRoom();
    void updateRecentFilesMenu();
    void addRecentFile(const QString& fileName);
    void addDocument(const QString& fileName, _ifc2x3::IFC2x3Model* model, const QString& error);
    void activeTabChanged();
    void updateTitles();
    bool saveDocument(ModelDocument* document, const QString& fileName);
    bool maybeSave(ModelDocument* document);
    bool okToStopOperations();
    /// Lets the running operations end, and the models receive their last
    /// changes, before the user is asked about unsaved ones.
    void stopOperations();
    void showError(const QString& title, const QString& message);

    DockWidgetManager* m_dockWidgetManager;
    QToolBar* m_toolBar;
    std::unique_ptr<StatusBarProgress> m_progress;
    QStackedWidget* m_central;
    QLabel* m_welcome;
    QTabWidget* m_tabs;
    QMenu* m_recentFilesMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QAction* m_settingsAction = nullptr;
    QString m_logFileName;
    bool m_pluginsStarted = false;
    Model* m_activeModel = nullptr;
};

} // namespace Orvane
