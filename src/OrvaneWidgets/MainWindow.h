#pragma once

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QUndoGroup;
class QStackedWidget;
class QTabWidget;
class QToolBar;

namespace Orvane {

class DiskChangeWatcher;
class DockWidgetManager;
class Model;
class ModelDocument;
class OpenFailureReport;
class StatusBarProgress;
class ToolInterface;

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
    /// Save and Save As refuse a model that an operation is rewriting (see
    /// Model::isBusy()), and ask before replacing another program's version
    /// of its file. The file is written on a worker thread, the model busy
    /// meanwhile; they return once it is written, the window live until then.
    bool save();
    bool saveAs();
    /// Asks first when the model holds unsaved results; false when the user
    /// cancelled, a save failed or an operation is rewriting the model.
    bool closeDocument(int index);
    /// Reads the document's file again into its tab, the changes not saved
    /// lost; refused while an operation is rewriting the model.
    void reloadDocument(ModelDocument* document);
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
    void createEditMenu();
    void giveDocksRoom();
    void updateRecentFilesMenu();
    void addRecentFile(const QString& fileName);
    void addDocument(const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error);
    /// A tab's page showing model, owning its document.
    QWidget* createPage(const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> model);
    void replaceDocument(QWidget* page, const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> model,
                         const QString& error);
    /// Given the model read (null when it could not be) and the error.
    using OpenedHandler = std::function<void(std::unique_ptr<_ifc2x3::IFC2x3Model>, const QString&)>;
    void startOpening(const QString& fileName, const OpenedHandler& done);
    void activeTabChanged();
    void updateTitles();
    /// Save, Save As and Close are unavailable for a model being rewritten.
    void updateActions();
    /// True, after saying why in the status bar, when the document's model
    /// is being rewritten.
    bool refusedWhileBusy(ModelDocument* document);
    bool saveDocument(ModelDocument* document, const QString& fileName);
    /// Writes the file off the user-interface thread; false with error set
    /// when it could not be written.
    bool writeDocument(ModelDocument* document, const QString& fileName, _ifc2x3::IFC2x3Model::Replace replace,
                       QString* error);
    /// Quitting asked during a save: the window closes once the saves ended.
    void closeAfterSaves();
    bool askSaveAs(ModelDocument* document);
    void fileChangedOnDisk(const QString& fileName);
    /// Tells of the changes on disk that came while their model was busy.
    void recheckChangesOnDisk();
    int indexOfFile(const QString& fileName) const;
    bool maybeSave(ModelDocument* document);
    bool okToStopOperations();
    /// The tools started in this window, none before startPlugins().
    QList<ToolInterface*> startedTools() const;
    /// Asks each tool that runs for its consent to quit; false at the first
    /// refusal.
    bool toolsLetQuit();
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
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_closeAction = nullptr;
    OpenFailureReport* m_openFailures;
    DiskChangeWatcher* m_diskChanges;
    int m_openingCount = 0;
    int m_savesRunning = 0;
    bool m_closeAfterSaves = false;
    /// Files changed on disk while their model was busy (saved, say): its
    /// file may be half-way between two versions then.
    QStringList m_changedWhileBusy;
    QString m_logFileName;
    bool m_pluginsStarted = false;
    Model* m_activeModel = nullptr;
    /// Edit > Undo and Redo act on the active model's history.
    QUndoGroup* m_undoGroup;
};

} // namespace Orvane
