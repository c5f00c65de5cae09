#include "ModelComponentsExcelExport.h"

#include "Orvane/CoreProperty.h"
#include "Orvane/FindFile.h"
#include "Orvane/Xlsx/XlsxDocument.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/RegularFile.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QFile>
#include <QTextStream>

#include <log4cplus/loggingmacros.h>

#include <unistd.h>

namespace Orvane {

ModelComponentsExcelExport::ModelComponentsExcelExport(QObject* parent)
    : QObject(parent), logger(log4cplus::Logger::getInstance("Plugins.Tools.MaterialQuantities"))
{
}

QString ModelComponentsExcelExport::getTemplateFile() const
{
    return templatePath.isEmpty() ? FindFile::templateFile(templateName()) : templatePath;
}

bool ModelComponentsExcelExport::exportComponents(_ifc2x3::IFC2x3Model* model, const QString& filePath)
{
    written = false;
    errorText.clear();
    if (!model) {
        errorText = tr("No model to export");
        return false;
    }
    QString reason;
    const QList<QStringList> paths = readTemplate(getTemplateFile(), &reason);
    if (paths.isEmpty()) {
        LOG4CPLUS_ERROR(logger, reason.toUtf8().constData());
        errorText = tr("Invalid template properties files");
        return false;
    }

    XlsxDocument document(filePath);
    bool cellsWritten = true;
    for (int i = 0; i < paths.size(); ++i) {
        cellsWritten = document.write(1, i + 1, paths.at(i).join(QLatin1Char('/')), XlsxFormat()) && cellsWritten;
    }
    bool complete = true;
    int row = 2;
    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    for (const auto& entry : dataSet->getAllIfcTypeObject()) {
        ifc2x3::IfcTypeObject* type = entry.get();
        if (!type || type->isOfType(ifc2x3::IfcSpaceType::getClassType())) {
            continue;
        }
        const QModelIndex index = model->index(type);
        for (int i = 0; i < paths.size(); ++i) {
            const Step::RefPtr<CoreProperty> property = model->getProperty(index, paths.at(i));
            if (property) {
                cellsWritten = document.write(row, i + 1, property->value(), XlsxFormat()) && cellsWritten;
            } else {
                // The name column is the type's label, read under the model's lock.
                errorText += tr("Invalid property %1 for object %2\n")
                                 .arg(paths.at(i).join(QLatin1Char('/')), model->data(index).toString());
                complete = false;
            }
        }
        ++row;
    }
    if (!complete) {
        LOG4CPLUS_WARN(logger, errorText.toUtf8().constData());
    }
    // A workbook with cells missing is not written at all.
    written = cellsWritten && document.save();
    if (!written) {
        errorText += document.errorString() + QLatin1Char('\n');
    }
    return complete && written;
}

QList<QStringList> ModelComponentsExcelExport::readTemplate(const QString& path, QString* reason)
{
    const auto fail = [reason](const QString& why) {
        if (reason) {
            *reason = why;
        }
        return QList<QStringList>();
    };
    if (path.isEmpty()) {
        return fail(QStringLiteral("no template file %1 found").arg(templateName()));
    }
    std::string openError;
    const int fd = Step::RegularFile::openForReading(QFile::encodeName(path).toStdString(), &openError);
    if (fd < 0) {
        return fail(QFile::decodeName(QByteArray::fromStdString(openError)));
    }
    QFile templateFile;
    if (!templateFile.open(fd, QIODevice::ReadOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QStringLiteral("cannot read '%1': %2").arg(path, templateFile.errorString()));
    }
    QList<QStringList> paths;
    QTextStream stream(&templateFile);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        paths.append(stream.readLine().split(QLatin1Char('/'), Qt::KeepEmptyParts, Qt::CaseSensitive));
    }
    if (templateFile.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("cannot read '%1': %2").arg(path, templateFile.errorString()));
    }
    if (paths.isEmpty()) {
        return fail(QStringLiteral("the template '%1' holds no line").arg(path));
    }
    if (paths.size() > XlsxDocument::maxColumns) {
        return fail(QStringLiteral("the template '%1' has %2 lines, more than the %3 columns of a sheet")
                        .arg(path)
                        .arg(paths.size())
                        .arg(XlsxDocument::maxColumns));
    }
    return paths;
}

} // namespace Orvane
