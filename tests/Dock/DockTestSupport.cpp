#include "DockTestSupport.h"

#include "Orvane/Widgets/OperationStatus.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace docktest {

RecordingSink::RecordingSink()
{
    Orvane::OperationStatus::setProgressSink(this);
}

RecordingSink::~RecordingSink()
{
    Orvane::OperationStatus::setProgressSink(nullptr);
}

void RecordingSink::operationStarted(Orvane::OperationStatus* status)
{
    current = status;
    ++started;
    text = status->text();
    steps = status->steps();
    cancellable = status->isCancellable();
    if (onStarted) {
        onStarted(status);
    }
}

void RecordingSink::operationEnded(Orvane::OperationStatus* status)
{
    doneAtEnd = status->done();
    current = nullptr;
    ++ended;
}

void answerModalWidget(std::function<bool(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && answer(modal)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}

MessageBoxWatcher::MessageBoxWatcher() : m_timer(new QTimer)
{
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++m_count;
            m_text = box->text();
            m_icon = box->icon();
            box->done(QMessageBox::Ok);
        }
    });
    m_timer->start(20);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    delete m_timer;
}

} // namespace docktest
