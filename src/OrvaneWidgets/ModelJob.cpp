#include "ModelJob.h"

#include "OperationStatus.h"

#include "Orvane/Model.h"

#include <QEventLoop>
#include <QThread>

namespace Orvane {

ModelJob::ModelJob(Model* model, const QString& text, Work work, QObject* parent)
    : QObject(parent), m_model(model), m_text(text), m_work(std::move(work))
{
}

ModelJob::~ModelJob()
{
    if (!m_worker) {
        return;
    }
    m_worker->wait();
    delete m_worker;
    delete m_status;
    if (m_model) {
        m_model->setBusy(false);
    }
}

bool ModelJob::start()
{
    if (m_worker || !m_model || m_model->isBusy()) {
        return false;
    }
    m_model->setBusy(true);
    // No steps: the work does not tell how far it got, the bar only shows
    // that it runs.
    m_status = new OperationStatus(m_text, 0);
    m_worker = QThread::create([this] {
        QString error;
        const bool succeeded = m_work(&error);
        // Dropped with the job if it is deleted first; its destructor waits
        // for this thread, so that this stays valid until here.
        QMetaObject::invokeMethod(
            this, [this, succeeded, error] { end(succeeded, error); }, Qt::QueuedConnection);
    });
    m_worker->start();
    return true;
}

void ModelJob::end(bool succeeded, const QString& error)
{
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    delete m_status;
    m_status = nullptr;
    if (m_model) {
        m_model->setBusy(false);
    }
    emit finished(succeeded, error);
}

bool ModelJob::run(QString* error)
{
    QEventLoop loop;
    bool succeeded = false;
    connect(this, &ModelJob::finished, &loop, [&](bool ok, const QString& message) {
        succeeded = ok;
        if (error) {
            *error = message;
        }
        loop.quit();
    });
    if (!start()) {
        if (error) {
            *error = tr("An operation is rewriting the model.");
        }
        return false;
    }
    loop.exec();
    return succeeded;
}

} // namespace Orvane
