#include "FindFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Orvane {

QString FindFile::userTemplateFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/templates");
}

QString FindFile::installedTemplateFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvane/templates"));
}

QString FindFile::templateFile(const QString& name)
{
    if (name.isEmpty()) {
        return {};
    }
    for (const QString& folder : {userTemplateFolder(), installedTemplateFolder()}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

} // namespace Orvane
