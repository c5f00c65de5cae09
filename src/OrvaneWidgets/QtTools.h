#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

namespace Orvane {

/// File dialogs that remember, per settings key, the folder last used.
class QtTools
{
public:
    /// The folder last chosen in a dialog opened with this key (kept in the
    /// application's default settings under the key itself), else the
    /// user's documents folder.
    static QString getLastOpenedPath(const QString& key);
    /// Records the folder of path under key.
    static void setLastOpenedPath(const QString& key, const QString& path);

    /// A save dialog opened on dir (a folder, or a proposed file whose
    /// folder and name are preselected), or on the last folder of key when
    /// dir is empty. Returns the chosen path, empty when cancelled; the
    /// chosen folder is recorded under key. A file name typed without
    /// extension gets the first one of the filter.
    static QString getSaveFileName(const QString& key, QWidget* parent = nullptr, const QString& caption = QString(),
                                   const QString& dir = QString(), const QString& filter = QString(),
                                   QString* selectedFilter = nullptr, QFileDialog::Options options = {});
};

} // namespace Orvane
