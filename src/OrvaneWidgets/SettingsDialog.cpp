#include "SettingsDialog.h"

#include "ISettingsPage.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace Orvane {

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent), pageList(new QListWidget(this)), pageStack(new QStackedWidget(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this))
{
    setObjectName(QStringLiteral("Orvane__SettingsDialog"));
    setWindowTitle(tr("Settings"));
    pageList->setObjectName(QStringLiteral("pageListWidget"));
    pageList->setIconSize(QSize(24, 24));
    pageList->setMaximumWidth(180);
    pageStack->setObjectName(QStringLiteral("pageStackedWidget"));

    auto* pagesLayout = new QHBoxLayout;
    pagesLayout->addWidget(pageList);
    pagesLayout->addWidget(pageStack, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pagesLayout, 1);
    layout->addWidget(buttons);
    resize(820, 600);

    connect(pageList, &QListWidget::currentRowChanged, this, &SettingsDialog::showPage);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &SettingsDialog::apply);
}

SettingsDialog::~SettingsDialog()
{
    releaseWidgets();
}

void SettingsDialog::addPage(ISettingsPage* page)
{
    if (!page) {
        return;
    }
    Page entry;
    entry.page = page;
    entry.container = new QWidget(pageStack);
    auto* layout = new QVBoxLayout(entry.container);
    layout->setContentsMargins(0, 0, 0, 0);
    pageStack->addWidget(entry.container);
    pages.append(entry);

    const QPixmap* logo = page->getLogo();
    auto* item = new QListWidgetItem(logo ? QIcon(*logo) : QIcon(), page->getName());
    pageList->addItem(item);
    if (pageList->currentRow() < 0) {
        pageList->setCurrentRow(0);
    }
}

int SettingsDialog::pageCount() const
{
    return pages.size();
}

void SettingsDialog::setCurrentPage(int row)
{
    pageList->setCurrentRow(row);
}

bool SettingsDialog::hasWidgets(const ISettingsPage* page) const
{
    for (const Page& entry : pages) {
        if (entry.page == page) {
            return entry.hasWidgets;
        }
    }
    return false;
}

void SettingsDialog::apply()
{
    for (const Page& entry : qAsConst(pages)) {
        if (entry.page && entry.hasWidgets) {
            entry.page->apply();
        }
    }
}

void SettingsDialog::accept()
{
    for (const Page& entry : qAsConst(pages)) {
        if (entry.page && entry.hasWidgets) {
            entry.page->accept();
        }
    }
    // Every page, shown or not: one applied while the dialog was open
    // before may not have been saved yet.
    QSettings store;
    for (const Page& entry : qAsConst(pages)) {
        if (entry.page) {
            entry.page->saveSettings(store);
        }
    }
    QDialog::accept();
}

void SettingsDialog::reject()
{
    for (const Page& entry : qAsConst(pages)) {
        if (entry.page && entry.hasWidgets) {
            entry.page->reject();
        }
    }
    QDialog::reject();
}

void SettingsDialog::done(int result)
{
    QDialog::done(result);
    releaseWidgets();
}

void SettingsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showPage(pageList->currentRow());
}

void SettingsDialog::showPage(int row)
{
    if (row < 0 || row >= pages.size()) {
        return;
    }
    pageStack->setCurrentIndex(row);
    if (isVisible() && !pages[row].hasWidgets) {
        createWidgets(pages[row]);
    }
}

void SettingsDialog::createWidgets(Page& entry)
{
    if (!entry.page) {
        return;
    }
    entry.hasWidgets = true;
    const QList<QWidget*> widgets = entry.page->createWidgets(entry.container);
    for (QWidget* widget : widgets) {
        if (widget) {
            entry.container->layout()->addWidget(widget);
            widget->show();
            entry.widgets.append(widget);
        }
    }
}

void SettingsDialog::releaseWidgets()
{
    for (Page& entry : pages) {
        for (const QPointer<QWidget>& widget : qAsConst(entry.widgets)) {
            if (widget) {
                widget->hide();
                widget->setParent(nullptr);
            }
        }
        entry.widgets.clear();
        entry.hasWidgets = false;
    }
}

} // namespace Orvane
