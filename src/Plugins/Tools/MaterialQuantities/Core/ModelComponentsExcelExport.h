#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <log4cplus/logger.h>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Writes a workbook with one row per element type of an IFC 2x3 model
/// (space types left out) and one column per property path of the template
/// "ExportComponentsPropertiesList.txt" (one path per line, UTF-8). Row 1
/// holds the paths; a type without one of the properties gets an empty cell
/// there and a line in the error text.
class ModelComponentsExcelExport : public QObject
{
    Q_OBJECT
public:
    explicit ModelComponentsExcelExport(QObject* parent = nullptr);

    /// True when the workbook was written with every listed property found
    /// on every type. False after a template failure (no file written), when
    /// a property was missing (the workbook is still written) or when the
    /// workbook could not be written; getErrorText() says which. An earlier
    /// file at filePath is only replaced by a complete workbook.
    bool exportComponents(_ifc2x3::IFC2x3Model* model, const QString& filePath);

    const QString& getErrorText() const { return errorText; }
    /// Whether the last exportComponents wrote the workbook.
    bool isWritten() const { return written; }

    /// A template to use instead of the one FindFile finds; empty for that
    /// one.
    void setTemplateFile(const QString& path) { templatePath = path; }
    /// The template exportComponents reads.
    QString getTemplateFile() const;

    static QString templateName() { return QStringLiteral("ExportComponentsPropertiesList.txt"); }

    /// The property paths of a template, one a line. Empty, with the reason
    /// in reason, when the file is missing, unreadable, not a regular file,
    /// holds no line, a line longer than maxLineLength bytes or more lines
    /// than a sheet has columns.
    static QList<QStringList> readTemplate(const QString& path, QString* reason = nullptr);

    /// Longest line of a template, in bytes: far beyond any property path.
    static constexpr int maxLineLength = 4096;

private:
    /// Adds a line to the error text per path that some types lack; true
    /// when none is missing.
    bool reportMissing(const QList<QStringList>& paths, const QVector<QStringList>& missing);

    QString errorText;
    log4cplus::Logger logger;
    QString templatePath;
    bool written = false;
};

} // namespace Orvane
