#include "MainWindow.h"

#include "DiskChangeWatcher.h"
#include "DockWidgetManager.h"
#include "ISettingsPage.h"
#include "ModelDocument.h"
#include "ModelJob.h"
#include "ModelOpener.h"
#include "ModelUndoStack.h"
#include "OpenFailureReport.h"
#include "OperationStatus.h"
#include "PluginManager.h"
#include "PluginsDialog.h"
#include "SettingsDialog.h"
#include "StatusBarProgress.h"
#include "ToolInterface.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

namespace Orvane {

namespace {

const int maximumRecentFiles = 8;

QString recentFilesKey()
{
    return QStringLiteral("MainWindow/recentFiles");
}

QString stateKey()
{
    return QStringLiteral("MainWindow/state");
}

QString geometryKey()
{
    return QStringLiteral("MainWindow/geometry");
}

QString ifcFilter()
{
    return MainWindow::tr("IFC files (*.ifc);;All files (*)");
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_dockWidgetManager(new DockWidgetManager(this)), m_toolBar(addToolBar(tr("Tools"))),
      m_progress(std::make_unique<StatusBarProgress>(statusBar())), m_central(new QStackedWidget(this)),
      m_welcome(new QLabel(m_central)), m_tabs(new QTabWidget(m_central)), m_openFailures(new OpenFailureReport(this)),
      m_diskChanges(new DiskChangeWatcher(this)), m_undoGroup(new QUndoGroup(this))
{
    setObjectName(QStringLiteral("OrvaneMainWindow"));
    m_toolBar->setObjectName(QStringLiteral("toolsToolBar"));
    m_tabs->setObjectName(QStringLiteral("modelTabs"));
    m_tabs->setTabsClosable(true);
    m_tabs->setDocumentMode(true);
    m_welcome->setObjectName(QStringLiteral("welcomeLabel"));
    m_welcome->setAlignment(Qt::AlignCenter);
    m_welcome->setWordWrap(true);
    m_welcome->setEnabled(false); // drawn greyed, as a hint
    m_welcome->setText(tr("No model is open.\nOpen an IFC 2x3 file with File > Open... (%1) or drop it here.")
                           .arg(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText)));
    m_central->addWidget(m_welcome);
    m_central->addWidget(m_tabs);
    setCentralWidget(m_central);
    setAcceptDrops(true);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::activeTabChanged);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &MainWindow::closeDocument);
    connect(m_diskChanges, &DiskChangeWatcher::changed, this, &MainWindow::fileChangedOnDisk);
    OperationStatus::setProgressSink(m_progress.get());
    createMenus();
    updateTitles();
    updateActions();
}

MainWindow::~MainWindow()
{
    stopPlugins();
    if (OperationStatus::progressSink() == m_progress.get()) {
        OperationStatus::setProgressSink(nullptr);
    }
}

void MainWindow::createMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("&Open..."), this, &MainWindow::open, QKeySequence::Open);
    m_recentFilesMenu = fileMenu->addMenu(tr("Recent files"));
    m_saveAction = fileMenu->addAction(tr("&Save"), this, &MainWindow::save, QKeySequence::Save);
    m_saveAction->setObjectName(QStringLiteral("saveAction"));
    m_saveAsAction = fileMenu->addAction(tr("Save &As..."), this, &MainWindow::saveAs, QKeySequence::SaveAs);
    m_saveAsAction->setObjectName(QStringLiteral("saveAsAction"));
    m_closeAction = fileMenu->addAction(tr("&Close"), this, &MainWindow::closeActiveDocument, QKeySequence::Close);
    m_closeAction->setObjectName(QStringLiteral("closeAction"));
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Quit"), this, &QWidget::close, QKeySequence::Quit);
    updateRecentFilesMenu();

    createEditMenu();
    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->addSeparator();
    m_settingsAction =
        m_toolsMenu->addAction(tr("&Settings..."), this, &MainWindow::showSettings, QKeySequence::Preferences);
    m_viewMenu = menuBar()->addMenu(tr("&View"));
    m_viewMenu->addAction(m_toolBar->toggleViewAction());

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(tr("&About"), this, &MainWindow::showAbout);
    helpMenu->addAction(tr("&Plug-ins..."), this, &MainWindow::showPlugins);
}

void MainWindow::createEditMenu()
{
    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    QAction* undo = m_undoGroup->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_undoGroup->createRedoAction(this, tr("&Redo"));
    // Ctrl+Shift+Z everywhere, whatever the platform's own redo key.
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(QKeySequence::Redo)});
    editMenu->addAction(undo);
    editMenu->addAction(redo);
}

void MainWindow::addActionInToolBar(QAction* action)
{
    if (action && !m_toolBar->actions().contains(action)) {
        m_toolBar->addAction(action);
    }
}

void MainWindow::removeActionInToolBar(QAction* action)
{
    m_toolBar->removeAction(action);
}

void MainWindow::startPlugins()
{
    PluginManager* manager = PluginManager::instance();
    if (m_pluginsStarted || !manager) {
        return;
    }
    m_pluginsStarted = true;
    manager->startTools(this);
    connect(this, &MainWindow::activeModelChanged, manager, &PluginManager::setModel);
    for (ToolInterface* tool : manager->tools()) {
        if (QAction* action = tool->toolAction()) {
            m_toolsMenu->insertAction(m_toolsMenu->actions().constFirst(), action);
        }
        if (QDockWidget* dock = tool->dockWidget()) {
            m_viewMenu->addAction(dock->toggleViewAction());
        }
    }
    QSettings settings;
    restoreGeometry(settings.value(geometryKey()).toByteArray());
    if (!restoreState(settings.value(stateKey()).toByteArray())) {
        giveDocksRoom();
    }
    manager->setModel(activeModel());
}

// At the first start the docks would get their narrow size hint, too small to
// read a result table in.
void MainWindow::giveDocksRoom()
{
    const int dockShare = 45;
    const QList<QDockWidget*> docks = m_dockWidgetManager->dockWidgets();
    resizeDocks(docks, QVector<int>(docks.size(), width() * dockShare / 100).toList(), Qt::Horizontal);
}

void MainWindow::stopPlugins()
{
    if (!m_pluginsStarted) {
        return;
    }
    m_pluginsStarted = false;
    QSettings settings;
    settings.setValue(geometryKey(), saveGeometry());
    settings.setValue(stateKey(), saveState());
    if (PluginManager* manager = PluginManager::instance()) {
        disconnect(this, &MainWindow::activeModelChanged, manager, &PluginManager::setModel);
        manager->setModel(nullptr);
        manager->stopTools();
    }
}

int MainWindow::documentCount() const
{
    return m_tabs->count();
}

ModelDocument* MainWindow::document(int index) const
{
    QWidget* page = m_tabs->widget(index);
    return page ? page->findChild<ModelDocument*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

ModelDocument* MainWindow::activeDocument() const
{
    return document(m_tabs->currentIndex());
}

Model* MainWindow::activeModel() const
{
    ModelDocument* active = activeDocument();
    return active ? active->model() : nullptr;
}

int MainWindow::runningOperationCount() const
{
    return m_progress->operationCount();
}

void MainWindow::open()
{
    const QString directory = QSettings().value(QStringLiteral("MainWindow/lastDirectory")).toString();
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Open IFC files"), directory, ifcFilter());
    if (!files.isEmpty()) {
        QSettings().setValue(QStringLiteral("MainWindow/lastDirectory"), QFileInfo(files.constFirst()).absolutePath());
    }
    for (const QString& file : files) {
        openFile(file);
    }
}

void MainWindow::openFile(const QString& fileName)
{
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (const int index = indexOfFile(path); index >= 0) {
        m_tabs->setCurrentIndex(index);
        return;
    }
    startOpening(path, [this, path](std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error) {
        addDocument(path, std::move(model), error);
    });
}

int MainWindow::indexOfFile(const QString& fileName) const
{
    for (int i = 0; i < documentCount(); ++i) {
        if (document(i)->fileName() == fileName) {
            return i;
        }
    }
    return -1;
}

void MainWindow::startOpening(const QString& fileName, const OpenedHandler& done)
{
    ++m_openingCount;
    auto* opener = new ModelOpener(fileName, this);
    connect(opener, &ModelOpener::finished, this, [this, opener, done](const QString&, const QString& error) {
        --m_openingCount;
        done(opener->takeModel(), error);
    });
    opener->start();
}

void MainWindow::addDocument(const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error)
{
    if (!model) {
        m_openFailures->add(fileName, error, m_openingCount);
        emit fileOpened(fileName, false);
        return;
    }
    QWidget* page = createPage(fileName, std::move(model));
    addRecentFile(fileName);
    m_tabs->setCurrentIndex(m_tabs->addTab(page, QString()));
    m_tabs->setTabToolTip(m_tabs->indexOf(page), fileName);
    updateTitles();
    updateActions();
    emit fileOpened(fileName, true);
}

QWidget* MainWindow::createPage(const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> owned)
{
    _ifc2x3::IFC2x3Model* model = owned.get();
    auto* page = new QWidget;
    auto* document = new ModelDocument(std::move(owned), fileName, page);
    auto* view = new QTableView(page);
    view->setObjectName(QStringLiteral("modelView"));
    view->setModel(model);
    view->setSelectionModel(model->selectionModel());
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->setColumnWidth(0, 280);
    view->setColumnWidth(1, 220);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    connect(document, &ModelDocument::modifiedChanged, this, &MainWindow::updateTitles);
    connect(model, &Model::busyChanged, this, &MainWindow::updateActions);
    connect(model, &Model::busyChanged, this, &MainWindow::recheckChangesOnDisk);
    m_diskChanges->watch(fileName);
    return page;
}

void MainWindow::reloadDocument(ModelDocument* document)
{
    if (refusedWhileBusy(document)) {
        return;
    }
    QPointer<QWidget> page = qobject_cast<QWidget*>(document->parent());
    const QString fileName = document->fileName();
    startOpening(fileName, [this, page, fileName](std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error) {
        replaceDocument(page, fileName, std::move(model), error);
    });
}

// The new page takes the old one's place; a page closed meanwhile is not
// brought back.
void MainWindow::replaceDocument(QWidget* page, const QString& fileName, std::unique_ptr<_ifc2x3::IFC2x3Model> model,
                                 const QString& error)
{
    const int index = page ? m_tabs->indexOf(page) : -1;
    if (!model || index < 0) {
        if (!error.isEmpty()) {
            m_openFailures->add(fileName, error, m_openingCount);
        }
        return;
    }
    if (document(index)->model()->isBusy()) {
        statusBar()->showMessage(tr("%1 was not reloaded: an operation is rewriting it.").arg(fileName));
        return;
    }
    const bool active = m_tabs->currentIndex() == index;
    m_diskChanges->unwatch(fileName);
    QWidget* replacement = createPage(fileName, std::move(model));
    m_tabs->insertTab(index, replacement, QString());
    m_tabs->setTabToolTip(index, fileName);
    m_tabs->removeTab(index + 1);
    if (active) {
        m_tabs->setCurrentIndex(index);
    }
    delete page;
    activeTabChanged();
    updateActions();
    statusBar()->showMessage(tr("Reloaded %1").arg(fileName), 5000);
}

void MainWindow::activeTabChanged()
{
    m_central->setCurrentWidget(m_tabs->count() > 0 ? static_cast<QWidget*>(m_tabs) : m_welcome);
    Model* model = activeModel();
    if (model != m_activeModel) {
        m_activeModel = model;
        emit activeModelChanged(model);
    }
    updateTitles();
    updateActions();
}

void MainWindow::updateActions()
{
    ModelDocument* active = activeDocument();
    const bool available = active && !active->model()->isBusy();
    // No undo while an operation rewrites the model.
    QUndoStack* history = available ? ModelUndoStack::of(active->model()) : nullptr;
    if (history) {
        m_undoGroup->addStack(history);
    }
    m_undoGroup->setActiveStack(history);
    m_saveAction->setEnabled(available);
    m_saveAsAction->setEnabled(available);
    m_closeAction->setEnabled(available);
    for (int i = 0; i < documentCount(); ++i) {
        if (QWidget* closeButton = m_tabs->tabBar()->tabButton(i, QTabBar::RightSide)) {
            closeButton->setEnabled(!document(i)->model()->isBusy());
        }
    }
}

bool MainWindow::refusedWhileBusy(ModelDocument* document)
{
    if (!document->model()->isBusy()) {
        return false;
    }
    statusBar()->showMessage(tr("%1 cannot be saved, closed or reloaded while an operation is rewriting it: wait for "
                                "the operation to end or cancel it.")
                                 .arg(document->title()),
                             10000);
    return true;
}

void MainWindow::updateTitles()
{
    for (int i = 0; i < documentCount(); ++i) {
        ModelDocument* tabDocument = document(i);
        m_tabs->setTabText(i, tabDocument->title() + (tabDocument->isModified() ? QStringLiteral("*") : QString()));
    }
    ModelDocument* active = activeDocument();
    setWindowTitle(active ? tr("%1[*] - Orvane").arg(active->title()) : tr("Orvane"));
    setWindowModified(active && active->isModified());
}

bool MainWindow::save()
{
    ModelDocument* active = activeDocument();
    return active && saveDocument(active, active->fileName());
}

bool MainWindow::saveAs()
{
    ModelDocument* active = activeDocument();
    return active && !refusedWhileBusy(active) && askSaveAs(active);
}

bool MainWindow::askSaveAs(ModelDocument* document)
{
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save the model as"), document->fileName(), ifcFilter());
    return !fileName.isEmpty() && saveDocument(document, fileName);
}

bool MainWindow::saveDocument(ModelDocument* document, const QString& fileName)
{
    if (refusedWhileBusy(document)) {
        return false;
    }
    auto replace = _ifc2x3::IFC2x3Model::Replace::OnlyKnownVersions;
    if (document->model()->fileReplaced(fileName)) {
        QMessageBox question(QMessageBox::Warning, tr("File changed on disk"),
                             tr("%1 was replaced or changed by another program since it was opened. Saving "
                                "over it loses that program's version.")
                                 .arg(fileName),
                             QMessageBox::Yes | QMessageBox::Save | QMessageBox::Cancel, this);
        question.button(QMessageBox::Yes)->setText(tr("Overwrite"));
        question.button(QMessageBox::Save)->setText(tr("Save Elsewhere..."));
        question.setDefaultButton(QMessageBox::Save);
        const int answer = question.exec();
        if (answer == QMessageBox::Save) {
            return askSaveAs(document);
        }
        if (answer != QMessageBox::Yes) {
            return false;
        }
        replace = _ifc2x3::IFC2x3Model::Replace::Anything;
    }
    const QString previousFileName = document->fileName();
    QString error;
    if (!writeDocument(document, fileName, replace, &error)) {
        m_closeAfterSaves = false; // the user reads the failure first
        showError(tr("Cannot save the model"), tr("%1 cannot be written:\n%2").arg(fileName, error));
        return false;
    }
    if (previousFileName != fileName) {
        m_diskChanges->unwatch(previousFileName);
        m_diskChanges->watch(fileName);
    }
    addRecentFile(fileName);
    updateTitles();
    statusBar()->showMessage(tr("Saved %1").arg(fileName), 5000);
    closeAfterSaves();
    return true;
}

bool MainWindow::writeDocument(ModelDocument* document, const QString& fileName, _ifc2x3::IFC2x3Model::Replace replace,
                               QString* error)
{
    const QPointer<ModelDocument> saving(document);
    _ifc2x3::IFC2x3Model* model = document->model();
    ModelJob job(model, tr("Saving %1").arg(QFileInfo(fileName).fileName()),
                 [model, fileName, replace](QString* failure) { return model->save(fileName, failure, replace); });
    ++m_savesRunning;
    const bool written = job.run(error);
    --m_savesRunning;
    // The model is busy meanwhile: its tab cannot have been closed.
    if (written && saving) {
        saving->saved(fileName);
    }
    return written && saving;
}

void MainWindow::closeAfterSaves()
{
    if (m_closeAfterSaves && m_savesRunning == 0) {
        m_closeAfterSaves = false;
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) {
                close();
            }
        });
    }
}

void MainWindow::fileChangedOnDisk(const QString& fileName)
{
    const int index = indexOfFile(fileName);
    ModelDocument* changed = index >= 0 ? document(index) : nullptr;
    if (changed && changed->model()->isBusy()) {
        if (!m_changedWhileBusy.contains(fileName)) {
            m_changedWhileBusy.append(fileName);
        }
        return;
    }
    if (!changed || !changed->hasUnseenChangeOnDisk()) {
        return; // a save of this window, or a change already told
    }
    changed->markChangeOnDiskSeen();
    QString text = tr("%1 was changed on disk by another program. Reload it?").arg(fileName);
    if (changed->isModified()) {
        text += QLatin1Char('\n') + tr("The changes made here and not saved will be lost.");
    }
    QMessageBox question(QMessageBox::Question, tr("File changed on disk"), text, QMessageBox::Yes | QMessageBox::No,
                         this);
    question.button(QMessageBox::Yes)->setText(tr("Reload"));
    question.button(QMessageBox::No)->setText(tr("Keep This Version"));
    question.setDefaultButton(changed->isModified() ? QMessageBox::No : QMessageBox::Yes);
    QPointer<ModelDocument> asked(changed);
    if (question.exec() == QMessageBox::Yes && asked) {
        reloadDocument(asked);
    }
}

void MainWindow::recheckChangesOnDisk()
{
    const QStringList changed = m_changedWhileBusy;
    m_changedWhileBusy.clear();
    for (const QString& fileName : changed) {
        fileChangedOnDisk(fileName);
    }
}

bool MainWindow::maybeSave(ModelDocument* document)
{
    if (!document->isModified()) {
        return true;
    }
    const auto answer = QMessageBox::warning(
        this, tr("Unsaved results"), tr("%1 holds changes that are not saved. Save them?").arg(document->title()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        return saveDocument(document, document->fileName());
    }
    return answer == QMessageBox::Discard;
}

// A computation keeps writing into its model: it may not be closed under it.
// Other models, and files being opened, do not hold the tab back.
bool MainWindow::closeDocument(int index)
{
    ModelDocument* closing = document(index);
    if (!closing) {
        return false;
    }
    if (closing->model()->isBusy()) {
        showError(tr("Operation running"),
                  tr("%1 cannot be closed while an operation is rewriting it. Wait for it to end or cancel it.")
                      .arg(closing->title()));
        return false;
    }
    if (!maybeSave(closing)) {
        return false;
    }
    m_diskChanges->unwatch(closing->fileName());
    QWidget* page = m_tabs->widget(index);
    m_tabs->removeTab(index);
    activeTabChanged();
    delete page;
    return true;
}

bool MainWindow::closeActiveDocument()
{
    return closeDocument(m_tabs->currentIndex());
}

bool MainWindow::okToStopOperations()
{
    if (runningOperationCount() == 0) {
        return true;
    }
    return QMessageBox::question(this, tr("Operation running"), tr("An operation is still running. Stop it and quit?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::stopOperations()
{
    const int patienceMs = 30000;
    const int lastChangesMs = 200;
    m_progress->cancelAll();
    QElapsedTimer timer;
    timer.start();
    while (runningOperationCount() > 0 && timer.elapsed() < patienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    timer.restart();
    while (timer.elapsed() < lastChangesMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

QList<ToolInterface*> MainWindow::startedTools() const
{
    PluginManager* manager = PluginManager::instance();
    return m_pluginsStarted && manager ? manager->tools() : QList<ToolInterface*>();
}

bool MainWindow::toolsLetQuit()
{
    for (ToolInterface* tool : startedTools()) {
        if (tool->running() && !tool->okToQuitApplication()) {
            statusBar()->showMessage(tr("A tool is still working: the window stays open."));
            return false;
        }
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A save cannot be stopped half-way: the window waits for it, live.
    if (m_savesRunning > 0) {
        m_closeAfterSaves = true;
        statusBar()->showMessage(tr("The window closes once the model is saved."));
        event->ignore();
        return;
    }
    if (!toolsLetQuit() || !okToStopOperations()) {
        event->ignore();
        return;
    }
    if (runningOperationCount() > 0) {
        stopOperations();
    }
    for (int i = 0; i < documentCount(); ++i) {
        if (!maybeSave(document(i))) {
            event->ignore();
            return;
        }
    }
    // Tools stop first: their docks end the computations before the models go.
    stopPlugins();
    while (m_tabs->count() > 0) {
        QWidget* page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete page;
    }
    activeTabChanged();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openFile(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
}

void MainWindow::updateRecentFilesMenu()
{
    m_recentFilesMenu->clear();
    const QStringList files = QSettings().value(recentFilesKey()).toStringList();
    for (const QString& file : files) {
        m_recentFilesMenu->addAction(file, this, [this, file] { openFile(file); });
    }
    m_recentFilesMenu->setEnabled(!files.isEmpty());
}

void MainWindow::addRecentFile(const QString& fileName)
{
    QSettings settings;
    QStringList files = settings.value(recentFilesKey()).toStringList();
    files.removeAll(fileName);
    files.prepend(fileName);
    settings.setValue(recentFilesKey(), QStringList(files.mid(0, maximumRecentFiles)));
    updateRecentFilesMenu();
}

void MainWindow::showSettings()
{
    SettingsDialog dialog(this);
    for (ToolInterface* tool : startedTools()) {
        for (ISettingsPage* page : tool->settingsPages()) {
            dialog.addPage(page);
        }
    }
    dialog.exec();
}

void MainWindow::showPlugins()
{
    if (PluginManager* manager = PluginManager::instance()) {
        PluginsDialog dialog(manager, this);
        dialog.exec();
    }
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, tr("About Orvane"),
                       tr("<p><b>Orvane</b></p><p>Building models in IFC 2x3, with their material quantities.</p>"
                          "<p>Warnings and errors are written to %1.</p>")
                           .arg(m_logFileName.toHtmlEscaped()));
}

void MainWindow::showError(const QString& title, const QString& message)
{
    QMessageBox::critical(this, title, message);
}

} // namespace Orvane
