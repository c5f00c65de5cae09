#include "OpenFailureReport.h"

#include <QMessageBox>
#include <QWidget>

namespace Orvane {

namespace {
// Long enough to gather the failures of files read at the same time, short
// enough to seem immediate.
const int burstMs = 1500;
} // namespace

OpenFailureReport::OpenFailureReport(QWidget* dialogParent) : QObject(dialogParent), m_dialogParent(dialogParent)
{
    m_latest.setSingleShot(true);
    m_latest.setInterval(burstMs);
    connect(&m_latest, &QTimer::timeout, this, &OpenFailureReport::show);
}

void OpenFailureReport::add(const QString& fileName, const QString& error, int stillOpening)
{
    m_failures.append({fileName, error});
    if (stillOpening == 0) {
        show();
    } else {
        m_latest.start();
    }
}

void OpenFailureReport::show()
{
    m_latest.stop();
    // Failures that come while the dialog is open wait for it to close.
    if (m_showing || m_failures.isEmpty()) {
        return;
    }
    m_showing = true;
    const QString title = m_failures.size() == 1 ? tr("Cannot open the file") : tr("Cannot open the files");
    const QString message = text();
    m_failures.clear();
    QMessageBox::critical(m_dialogParent, title, message);
    m_showing = false;
    if (!m_failures.isEmpty()) {
        m_latest.start();
    }
}

QString OpenFailureReport::text() const
{
    if (m_failures.size() == 1) {
        return tr("%1 cannot be opened:\n%2").arg(m_failures.constFirst().first, m_failures.constFirst().second);
    }
    QString text = tr("%n file(s) cannot be opened:", nullptr, m_failures.size());
    for (const auto& [fileName, error] : m_failures) {
        text += QStringLiteral("\n\n") + tr("%1:\n%2").arg(fileName, error);
    }
    return text;
}

} // namespace Orvane
