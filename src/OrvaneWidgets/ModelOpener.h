#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}
class OperationStatus;

/// Reads one file on a thread of its own, so that the window stays live
/// while a large model is parsed, and reports the model or the error.
class ModelOpener : public QObject
{
    Q_OBJECT
public:
    explicit ModelOpener(const QString& fileName, QObject* parent = nullptr);
    ~ModelOpener() override;

    QString fileName() const { return m_fileName; }
    void start();
    /// The model read, for the receiver of finished() to take; null when
    /// the file could not be read. A model nobody takes goes with the opener.
    std::unique_ptr<_ifc2x3::IFC2x3Model> takeModel();

signals:
    /// The file is read, error set when it could not be. The opener deletes
    /// itself afterwards.
    void finished(const QString& fileName, const QString& error);

private:
    void finish(std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error);

    QString m_fileName;
    std::unique_ptr<_ifc2x3::IFC2x3Model> m_model;
    OperationStatus* m_status = nullptr;
};

} // namespace Orvane
