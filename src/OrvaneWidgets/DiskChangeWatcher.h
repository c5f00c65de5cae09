#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

namespace Orvane {

/// Watches the files of the open models and tells, once a burst of changes
/// is over, which changed on disk: a program writing a file in many pieces
/// gives one report. A file replaced by a rename stops being watched by the
/// system; it is watched again under its name.
class DiskChangeWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DiskChangeWatcher(QObject* parent = nullptr);

    void watch(const QString& fileName);
    void unwatch(const QString& fileName);

signals:
    void changed(const QString& fileName);

private:
    void noteChange(const QString& fileName);
    void reportChanges();

    QFileSystemWatcher m_watcher;
    QSet<QString> m_watched;
    QSet<QString> m_changed;
    QTimer m_settle;
};

} // namespace Orvane
