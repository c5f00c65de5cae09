#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

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
    bool saveAs(const QString& fileName, QString* error);

signals:
    void modifiedChanged(bool modified);

private:
    void setModified(bool modified);

    std::unique_ptr<_ifc2x3::IFC2x3Model> m_model;
    QString m_fileName;
    bool m_modified = false;
};

} // namespace Orvane
