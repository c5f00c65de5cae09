#include "QtTools.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace Orvane {

QString QtTools::getLastOpenedPath(const QString& key)
{
    const QString path = QSettings().value(key).toString();
    if (!path.isEmpty()) {
        return path;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void QtTools::setLastOpenedPath(const QString& key, const QString& path)
{
    QSettings().setValue(key, QFileInfo(path).absolutePath());
}

QString QtTools::getSaveFileName(const QString& key, QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter, QString* selectedFilter, QFileDialog::Options options)
{
    const QString start = dir.isEmpty() ? getLastOpenedPath(key) : dir;
    // Platforms without windows have no native dialog to show.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        options |= QFileDialog::DontUseNativeDialog;
    }
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setOptions(options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QFileInfo startInfo(start);
    if (startInfo.isDir()) {
        dialog.setDirectory(start);
    } else {
        dialog.setDirectory(startInfo.absolutePath());
        dialog.selectFile(startInfo.fileName());
    }
    const QRegularExpressionMatch extension = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (extension.hasMatch()) {
        dialog.setDefaultSuffix(extension.captured(1));
    }
    if (selectedFilter && !selectedFilter->isEmpty()) {
        dialog.selectNameFilter(*selectedFilter);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    if (selectedFilter) {
        *selectedFilter = dialog.selectedNameFilter();
    }
    setLastOpenedPath(key, path);
    return path;
}

} // namespace Orvane
