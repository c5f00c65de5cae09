#include "ModelOpener.h"

#include "OperationStatus.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

namespace Orvane {

ModelOpener::ModelOpener(const QString& fileName, QObject* parent) : QObject(parent), m_fileName(fileName) {}

ModelOpener::~ModelOpener()
{
    delete m_status;
}

std::unique_ptr<_ifc2x3::IFC2x3Model> ModelOpener::takeModel()
{
    return std::move(m_model);
}

void ModelOpener::start()
{
    m_status = new OperationStatus(tr("Opening %1").arg(QFileInfo(m_fileName).fileName()), 0);
    QThread* userInterfaceThread = thread();
    QPointer<ModelOpener> self(this);
    const QString fileName = m_fileName;
    QThread* worker = QThread::create([self, fileName, userInterfaceThread] {
        QString error;
        // Shared with the queued call, so that the model goes with it when
        // the call is never made.
        auto opened =
            std::make_shared<std::unique_ptr<_ifc2x3::IFC2x3Model>>(_ifc2x3::IFC2x3Model::open(fileName, &error));
        if (*opened) {
            (*opened)->moveToThread(userInterfaceThread);
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, opened, error] {
                if (self) {
                    self->finish(std::move(*opened), error);
                }
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void ModelOpener::finish(std::unique_ptr<_ifc2x3::IFC2x3Model> model, const QString& error)
{
    delete m_status;
    m_status = nullptr;
    m_model = std::move(model);
    emit finished(m_fileName, error);
    deleteLater();
}

} // namespace Orvane
