#include "SettingsFile.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QFile>

std::unique_ptr<QSettings> SettingsFile::open(const QString& path, QString* error)
{
    const qint64 nul = firstNulByte(path, error);
    if (nul == -2) {
        return nullptr;
    }
    if (nul >= 0) {
        *error = QStringLiteral("'%1' is not an INI file: it holds binary data (a NUL byte at offset %2)")
                     .arg(path)
                     .arg(nul);
        return nullptr;
    }
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    switch (settings->status()) {
    case QSettings::NoError:
        return settings;
    case QSettings::FormatError:
        *error = QStringLiteral("'%1' is not a well-formed INI file: check its [section] lines").arg(path);
        return nullptr;
    case QSettings::AccessError:
        break;
    }
    *error = QStringLiteral("'%1' cannot be read").arg(path);
    return nullptr;
}

std::unique_ptr<Orvane::MaterialQuantitiesSettings> SettingsFile::materialQuantitiesSettings(const QString& path,
                                                                                             QString* error)
{
    if (path.isEmpty()) {
        return std::make_unique<Orvane::MaterialQuantitiesSettings>();
    }
    const std::unique_ptr<QSettings> store = open(path, error);
    return store ? std::make_unique<Orvane::MaterialQuantitiesSettings>(*store) : nullptr;
}

qint64 SettingsFile::firstNulByte(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read '%1': %2").arg(path, file.errorString());
        return -2;
    }
    constexpr qint64 chunkSize = 64 * 1024;
    qint64 offset = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(chunkSize);
        if (chunk.isEmpty()) {
            break;
        }
        if (const int nul = chunk.indexOf('\0'); nul >= 0) {
            return offset + nul;
        }
        offset += chunk.size();
    }
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read '%1': %2").arg(path, file.errorString());
        return -2;
    }
    return -1;
}
