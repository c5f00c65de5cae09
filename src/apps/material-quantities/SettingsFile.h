#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace Orvane {
class MaterialQuantitiesSettings;
}

/// The INI file given with --settings. QSettings reads a file it cannot
/// make sense of as one without settings, which would silently run the
/// computation with the defaults instead of the user's paths.
class SettingsFile
{
public:
    /// The settings of the INI file at path; null, with the reason in
    /// *error, when it holds binary data (a NUL byte), is not well-formed
    /// INI or cannot be read.
    static std::unique_ptr<QSettings> open(const QString& path, QString* error);
    /// The computation's settings: from the INI file at path, or from the
    /// application's store when path is empty; null as open() is.
    static std::unique_ptr<Orvane::MaterialQuantitiesSettings> materialQuantitiesSettings(const QString& path,
                                                                                          QString* error);

private:
    /// The offset of the first NUL byte, -1 when there is none; with the
    /// reason in *error and -2 when the file cannot be read.
    static qint64 firstNulByte(const QString& path, QString* error);
};
