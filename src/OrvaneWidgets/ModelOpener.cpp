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

void ModelOpener::start()
{
    m_status = new OperationStatus(tr("Opening %1").arg(QFileInfo(m_fileName).fileName()), 0);
    QThread* userInterfaceThread = thread();
    QPointer<ModelOpener> self(this);
    const QString fileName = m_fileName;
    QThread* worker = QThread::create([self, fileName, userInterfaceThread] {
        QString error;
        std::unique_ptr<_ifc2x3::IFC2x3Model> model = _ifc2x3::IFC2x3Model::open(fileName, &error);
        if (model) {
            model->moveToThread(userInterfaceThread);
        }
        _ifc2x3::IFC2x3Model* opened = model.release();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, fileName, opened, error] {
                if (!self) {
                    delete opened;
                    return;
                }
                delete self->m_status;
                self->m_status = nullptr;
                emit self->finished(fileName, opened, error);
                self->deleteLater();
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

} // namespace Orvane
