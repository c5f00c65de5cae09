#include "DiskChangeWatcher.h"

#include <QFileInfo>

#include <utility>

namespace Orvane {

namespace {
const int settleMs = 300;
} // namespace

DiskChangeWatcher::DiskChangeWatcher(QObject* parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &DiskChangeWatcher::noteChange);
    connect(&m_settle, &QTimer::timeout, this, &DiskChangeWatcher::reportChanges);
}

void DiskChangeWatcher::watch(const QString& fileName)
{
    m_watched.insert(fileName);
    m_watcher.addPath(fileName);
}

void DiskChangeWatcher::unwatch(const QString& fileName)
{
    m_watched.remove(fileName);
    m_changed.remove(fileName);
    m_watcher.removePath(fileName);
}

void DiskChangeWatcher::noteChange(const QString& fileName)
{
    if (m_watched.contains(fileName)) {
        m_changed.insert(fileName);
        m_settle.start();
    }
}

void DiskChangeWatcher::reportChanges()
{
    const QSet<QString> fileNames = std::exchange(m_changed, {});
    for (const QString& fileName : fileNames) {
        if (!m_watcher.files().contains(fileName) && QFileInfo::exists(fileName)) {
            m_watcher.addPath(fileName);
        }
        emit changed(fileName);
    }
}

} // namespace Orvane
