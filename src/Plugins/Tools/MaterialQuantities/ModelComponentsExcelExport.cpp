#include "ModelComponentsExcelExport.h"

#include "Orvane/CoreProperty.h"
#include "Orvane/FindFile.h"
#include "Orvane/Xlsx/XlsxDocument.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/BaseSPFObject.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QFile>
#include <QTextStream>

#include <log4cplus/loggingmacros.h>

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
    QFile templateFile(getTemplateFile());
    if (!templateFile.open(QIODevice::ReadOnly | QIODevice::Text)) {
        errorText = tr("Invalid template properties files");
        return false;
    }
    QList<QStringList> paths;
    QTextStream stream(&templateFile);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        paths.append(stream.readLine().split(QLatin1Char('/'), Qt::KeepEmptyParts, Qt::CaseSensitive));
    }
    if (paths.isEmpty()) {
        errorText = tr("Invalid template properties files");
        return false;
    }

    XlsxDocument document(filePath);
    for (int i = 0; i < paths.size(); ++i) {
        document.write(1, i + 1, paths.at(i).join(QLatin1Char('/')), XlsxFormat());
    }
    bool complete = true;
    int row = 2;
    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    for (const auto& entry : dataSet->getAllIfcTypeObject()) {
        ifc2x3::IfcTypeObject* type = entry.get();
        if (type->isOfType(Step::BaseSPFObject::getClassType())) {
            type = dynamic_cast<ifc2x3::IfcTypeObject*>(dataSet->load(type->getKey()));
        }
        if (!type || type->isOfType(ifc2x3::IfcSpaceType::getClassType())) {
            continue;
        }
        const QModelIndex index = model->index(type);
        for (int i = 0; i < paths.size(); ++i) {
            const Step::RefPtr<CoreProperty> property = model->getProperty(index, paths.at(i));
            if (property) {
                document.write(row, i + 1, property->value(), XlsxFormat());
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
    written = document.save();
    if (!written) {
        errorText += document.errorString() + QLatin1Char('\n');
    }
    return complete && written;
}

} // namespace Orvane
