#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

class QWidget;

namespace Orvane {

/// Tells the user of files that could not be opened, in one dialog for the
/// files of one burst: many files opened at once that all fail give one
/// list, not a stack of nested dialogs. The dialog comes once no other file
/// is being opened, or a little while after the last failure when a large
/// one still is.
class OpenFailureReport : public QObject
{
    Q_OBJECT
public:
    explicit OpenFailureReport(QWidget* dialogParent);

    /// Notes a failure; stillOpening is the number of files still being read.
    void add(const QString& fileName, const QString& error, int stillOpening);

private:
    void show();
    QString text() const;

    QWidget* m_dialogParent;
    QList<QPair<QString, QString>> m_failures; // file name, error
    QTimer m_latest;
    bool m_showing = false;
};

} // namespace Orvane
