#pragma once

#include <QObject>
#include <QString>

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

signals:
    /// model is handed over to the receiver, on the receiver's thread; null
    /// with error set when the file cannot be read. The opener deletes itself.
    void finished(const QString& fileName, Orvane::_ifc2x3::IFC2x3Model* model, const QString& error);

private:
    QString m_fileName;
    OperationStatus* m_status = nullptr;
};

} // namespace Orvane
