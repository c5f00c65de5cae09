#pragma once

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FileVersion.h"

#include <QObject>
#include <QString>

#include <memory>

namespace Orvane {

/// An open file: its model, where it is saved and whether the model holds
/// changes that the file does not.
class ModelDocument : public QObject
{
    Q_OBJECT
public:
    ModelDocument(std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& fileName, QObject* parent = nullptr);
    ~ModelDocument() override;

    _ifc2x3::IFC2x3Model* model() const { return m_model.get(); }
    QString fileName() const { return m_fileName; }
    /// The file's name without its folder, as tabs show it.
    QString title() const;
    bool isModified() const { return m_modified; }

    /// Saves atomically to fileName, which becomes the document's file; false
    /// with error set when the file cannot be written, the previous one intact.
    /// Another program's version of the document's file is replaced only
    /// when replace says so (see IFC2x3Model::save()).
    bool saveAs(const QString& fileName, QString* error,
                _ifc2x3::IFC2x3Model::Replace replace = _ifc2x3::IFC2x3Model::Replace::OnlyKnownVersions);
    /// Records a save of model() to fileName made elsewhere (on a worker
    /// thread, say): fileName becomes the document's file, unmodified.
    void saved(const QString& fileName);
    /// Whether another program replaced or changed the file on disk since
    /// the document read or saved it, and the user was not told of that
    /// version yet.
    bool hasUnseenChangeOnDisk() const;
    /// Notes that the user was told of the file now on disk.
    void markChangeOnDiskSeen();

signals:
    void modifiedChanged(bool modified);

private:
    void setModified(bool modified);
    Step::FileVersion onDisk() const;

    std::unique_ptr<_ifc2x3::IFC2x3Model> m_model;
    QString m_fileName;
    bool m_modified = false;
    Step::FileVersion m_seenOnDisk;
};

} // namespace Orvane
