#include "StatusBarProgress.h"

#include "OperationStatus.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <limits>

namespace Orvane {

namespace {

// A progress bar counts in int: long operations are shown in per mille.
int barMaximum(const OperationStatus* status)
{
    return status->steps() > std::numeric_limits<int>::max() ? 1000 : static_cast<int>(status->steps());
}

int barValue(const OperationStatus* status)
{
    if (status->steps() > std::numeric_limits<int>::max()) {
        return static_cast<int>(status->done() * 1000 / status->steps());
    }
    return static_cast<int>(qMin(status->done(), status->steps()));
}

} // namespace

StatusBarProgress::StatusBarProgress(QStatusBar* statusBar) : statusBar(statusBar)
{
    keepHeightOfARow();
}

// A status bar growing when an operation shows would move the window's
// contents: their views would redraw, and wait for a model being written.
void StatusBarProgress::keepHeightOfARow()
{
    auto* sample = new QWidget(statusBar);
    auto* layout = new QHBoxLayout(sample);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("X"), sample));
    layout->addWidget(new QProgressBar(sample));
    layout->addWidget(new QPushButton(QStringLiteral("X"), sample));
    statusBar->addPermanentWidget(sample);
    statusBar->setMinimumHeight(statusBar->sizeHint().height());
    statusBar->removeWidget(sample);
    delete sample;
}

StatusBarProgress::~StatusBarProgress()
{
    for (const Row& row : qAsConst(rows)) {
        delete row.box;
    }
}

void StatusBarProgress::operationStarted(OperationStatus* status)
{
    Row row;
    row.box = new QWidget(statusBar);
    row.box->setObjectName(QStringLiteral("operationStatus"));
    auto* layout = new QHBoxLayout(row.box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(status->text(), row.box));
    row.bar = new QProgressBar(row.box);
    row.bar->setMaximumWidth(200);
    row.bar->setRange(0, qMax(0, barMaximum(status)));
    layout->addWidget(row.bar);
    if (status->isCancellable()) {
        auto* cancel = new QPushButton(QCoreApplication::translate("Orvane::StatusBarProgress", "Cancel"), row.box);
        QObject::connect(cancel, &QPushButton::clicked, status, &OperationStatus::cancel);
        QObject::connect(cancel, &QPushButton::clicked, cancel, [cancel] { cancel->setEnabled(false); });
        layout->addWidget(cancel);
    }
    statusBar->addPermanentWidget(row.box);
    rows.insert(status, row);
}

void StatusBarProgress::cancelAll()
{
    const QList<OperationStatus*> statuses = rows.keys();
    for (OperationStatus* status : statuses) {
        status->cancel();
    }
}

void StatusBarProgress::operationProgressed(OperationStatus* status)
{
    const auto it = rows.constFind(status);
    if (it != rows.cend()) {
        it->bar->setValue(barValue(status));
    }
}

void StatusBarProgress::operationEnded(OperationStatus* status)
{
    const Row row = rows.take(status);
    if (row.box) {
        statusBar->removeWidget(row.box);
        row.box->deleteLater();
    }
}

} // namespace Orvane
