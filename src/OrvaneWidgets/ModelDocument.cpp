#include "ModelDocument.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QFile>
#include <QFileInfo>

namespace Orvane {

ModelDocument::ModelDocument(std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& fileName, QObject* parent)
    : QObject(parent), m_model(std::move(model)), m_fileName(fileName)
{
    // The data set knows: an operation undone after a failure leaves a model
    // that was saved unmodified again.
    connect(m_model.get(), &_ifc2x3::IFC2x3Model::contentChanged, this,
            [this] { setModified(m_model->dataSet()->isModified()); });
}

ModelDocument::~ModelDocument() = default;

QString ModelDocument::title() const
{
    return QFileInfo(m_fileName).fileName();
}

bool ModelDocument::saveAs(const QString& fileName, QString* error, _ifc2x3::IFC2x3Model::Replace replace)
{
    if (!m_model->save(fileName, error, replace)) {
        return false;
    }
    saved(fileName);
    return true;
}

void ModelDocument::saved(const QString& fileName)
{
    m_fileName = fileName;
    setModified(false);
}

bool ModelDocument::hasUnseenChangeOnDisk() const
{
    return m_model->fileReplaced() && onDisk() != m_seenOnDisk;
}

void ModelDocument::markChangeOnDiskSeen()
{
    m_seenOnDisk = onDisk();
}

Step::FileVersion ModelDocument::onDisk() const
{
    return Step::FileVersion::at(QFile::encodeName(m_fileName).toStdString());
}

void ModelDocument::setModified(bool modified)
{
    if (m_modified != modified) {
        m_modified = modified;
        emit modifiedChanged(modified);
    }
}

} // namespace Orvane
