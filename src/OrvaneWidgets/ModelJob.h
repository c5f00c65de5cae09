#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QThread;

namespace Orvane {

class Model;
class OperationStatus;

/// Work that reads a model on a worker thread, such as writing it to a file,
/// so that the window stays live meanwhile. The model is marked busy for
/// the while (see Model::isBusy()): it is then neither edited, computed,
/// saved nor closed under the work. The host's status bar shows the job
/// running.
class ModelJob : public QObject
{
    Q_OBJECT
public:
    /// Runs on the worker thread; false, with what failed in *error, when
    /// the work failed. It may read the model under the data set's lock, and
    /// must not touch objects that the window uses.
    using Work = std::function<bool(QString* error)>;

    ModelJob(Model* model, const QString& text, Work work, QObject* parent = nullptr);
    /// Waits for the work: it reads the model.
    ~ModelJob() override;

    /// Marks the model busy and starts the work; finished() follows. False,
    /// doing nothing, when the model is busy already or gone.
    bool start();
    bool isRunning() const { return m_worker != nullptr; }

    /// Starts the work and returns once it ended, the window's events
    /// handled meanwhile; false, with *error set, when it failed or could
    /// not start.
    bool run(QString* error);

signals:
    /// On the job's thread, once the model is no longer busy.
    void finished(bool succeeded, const QString& error);

private:
    void end(bool succeeded, const QString& error);

    QPointer<Model> m_model;
    QString m_text;
    Work m_work;
    QThread* m_worker = nullptr;
    OperationStatus* m_status = nullptr;
};

} // namespace Orvane
