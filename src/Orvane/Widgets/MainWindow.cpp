#include "MainWindow.h"

#include "DockWidgetManager.h"
#include "ISettingsPage.h"
#include "ModelDocument.h"
#include "ModelOpener.h"
#include "OperationStatus.h"
#include "PluginManager.h"
#include "PluginsDialog.h"
#include "SettingsDialog.h"
#include "StatusBarProgress.h"
#include "ToolInterface.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

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
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
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
      m_welcome(new QLabel(m_central)), m_tabs(new QTabWidget(m_central))
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
    OperationStatus::setProgressSink(m_progress.get());
    createMenus();
    updateTitles();
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
    fileMenu->addAction(tr("&Save"), this, &MainWindow::save, QKeySequence::Save);
    fileMenu->addAction(tr("Save &As..."), this, &MainWindow::saveAs, QKeySequence::SaveAs);
    fileMenu->addAction(tr("&Close"), this, &MainWindow::closeActiveDocument, QKeySequence::Close);
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Quit"), this, &QWidget::close, QKeySequence::Quit);
    updateRecentFilesMenu();

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
    if (m_pluginsStarted) {
        return;
    }
    m_pluginsStarted = true;
    PluginManager* manager = PluginManager::Get(nullptr, {});
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
    PluginManager* manager = PluginManager::Get(nullptr, {});
    disconnect(this, &MainWindow::activeModelChanged, manager, &PluginManager::setModel);
    manager->setModel(nullptr);
    manager->stopTools();
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
    for (int i = 0; i < documentCount(); ++i) {
        if (document(i)->fileName() == path) {
            m_tabs->setCurrentIndex(i);
            return;
        }
    }
    auto* opener = new ModelOpener(path, this);
    connect(opener, &ModelOpener::finished, this, &MainWindow::addDocument);
    opener->start();
}

void MainWindow::addDocument(const QString& fileName, _ifc2x3::IFC2x3Model* model, const QString& error)
{
    if (!model) {
        showError(tr("Cannot open the file"), tr("%1 cannot be opened:\n%2").arg(fileName, error));
        emit fileOpened(fileName, false);
        return;
    }
    auto* page = new QWidget;
    auto* document = new ModelDocument(std::unique_ptr<_ifc2x3::IFC2x3Model>(model), fileName, page);
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
    addRecentFile(fileName);
    m_tabs->setCurrentIndex(m_tabs->addTab(page, document->title()));
    m_tabs->setTabToolTip(m_tabs->indexOf(page), fileName);
    emit fileOpened(fileName, true);
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
    if (!active) {
        return false;
    }
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save the model as"), active->fileName(), ifcFilter());
    return !fileName.isEmpty() && saveDocument(active, fileName);
}

bool MainWindow::saveDocument(ModelDocument* document, const QString& fileName)
{
    QString error;
    if (!document->saveAs(fileName, &error)) {
        showError(tr("Cannot save the model"), tr("%1 cannot be written:\n%2").arg(fileName, error));
        return false;
    }
    addRecentFile(fileName);
    updateTitles();
    statusBar()->showMessage(tr("Saved %1").arg(fileName), 5000);
    return true;
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

// A computation keeps writing into its model: none may be closed under it.
bool MainWindow::closeDocument(int index)
{
    ModelDocument* closing = document(index);
    if (!closing) {
        return false;
    }
    if (runningOperationCount() > 0) {
        showError(tr("Operation running"),
                  tr("%1 cannot be closed while an operation is running. Wait for it to end or cancel it.")
                      .arg(closing->title()));
        return false;
    }
    if (!maybeSave(closing)) {
        return false;
    }
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

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!okToStopOperations()) {
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
    for (ToolInterface* tool : PluginManager::Get(nullptr, {})->tools()) {
        if (ISettingsPage* page = tool->settingsPage()) {
            dialog.addPage(page);
        }
    }
    dialog.exec();
}

void MainWindow::showPlugins()
{
    PluginsDialog dialog(PluginManager::Get(nullptr, {}), this);
    dialog.exec();
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
