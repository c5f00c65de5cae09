#include "ModelComponentsExcelExport.h"

#include "Orvane/CoreProperty.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneXlsx/FindFile.h"
#include "OrvaneXlsx/XlsxDocument.h"

#include "Step/RegularFile.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QFile>

#include <log4cplus/loggingmacros.h>

#include <unistd.h>

namespace Orvane {

namespace {

/// Characters of a text quoted in a message.
constexpr int quotedLength = 80;

/// The bytes left on the current line, its line end left out; the file is
/// read on to the next line.
qint64 restOfLineLength(QIODevice& file)
{
    qint64 length = 0;
    while (!file.atEnd()) {
        const QByteArray piece = file.readLine(64 * 1024);
        if (piece.endsWith('\n')) {
            return length + piece.size() - 1;
        }
        if (piece.isEmpty()) {
            break;
        }
        length += piece.size();
    }
    return length;
}

/// A text as messages quote it: a long one cut, with its length.
QString quoted(const QString& text)
{
    if (text.size() <= quotedLength) {
        return text;
    }
    return QStringLiteral("%1… (%2 characters)").arg(text.left(quotedLength)).arg(text.size());
}

} // namespace

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
    // The labels of the types without each path's property, by path.
    QVector<QStringList> missing(paths.size());
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
                missing[i].append(model->data(index).toString());
            }
        }
        ++row;
    }
    const bool complete = reportMissing(paths, missing);
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

bool ModelComponentsExcelExport::reportMissing(const QList<QStringList>& paths, const QVector<QStringList>& missing)
{
    // Once per path, however many types lack it: a path may be long.
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = quoted(paths.at(i).join(QLatin1Char('/')));
        if (missing.at(i).size() == 1) {
            errorText += tr("Invalid property %1 for object %2\n").arg(path, missing.at(i).constFirst());
        } else if (!missing.at(i).isEmpty()) {
            errorText += tr("Invalid property %1 for objects %2\n").arg(path, missing.at(i).join(QStringLiteral(", ")));
        }
    }
    return errorText.isEmpty();
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
    while (!templateFile.atEnd()) {
        // Read in bounded pieces: a file of one huge line must not be held
        // whole, nor quoted whole in the reason.
        QByteArray line = templateFile.readLine(maxLineLength + 8);
        const bool complete = line.endsWith('\n') || templateFile.atEnd();
        if (paths.isEmpty() && line.startsWith("\xEF\xBB\xBF")) {
            line.remove(0, 3);
        }
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        if (!complete || line.size() > maxLineLength) {
            const qint64 length = line.size() + (complete ? 0 : restOfLineLength(templateFile));
            return fail(QStringLiteral("line %1 of the template '%2' is %3 bytes long, more than the %4 a property "
                                       "path may have: \"%5…\"")
                            .arg(paths.size() + 1)
                            .arg(path)
                            .arg(length)
                            .arg(maxLineLength)
                            .arg(QString::fromUtf8(line).left(quotedLength)));
        }
        paths.append(QString::fromUtf8(line).split(QLatin1Char('/'), Qt::KeepEmptyParts, Qt::CaseSensitive));
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
