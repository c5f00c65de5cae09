#pragma once

#include "Orvane/Model.h"
#include "Orvane/Widgets/ProgressSink.h"

#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace docktest {

/// The host's progress display as the tests see it: what was started, how
/// far it got and when it ended.
class RecordingSink : public Orvane::ProgressSink
{
public:
    RecordingSink();
    ~RecordingSink() override;

    void operationStarted(Orvane::OperationStatus* status) override;
    void operationProgressed(Orvane::OperationStatus*) override {}
    void operationEnded(Orvane::OperationStatus* status) override;

    Orvane::OperationStatus* current = nullptr;
    int started = 0;
    int ended = 0;
    QString text;
    qint64 steps = 0;
    qint64 doneAtEnd = 0;
    bool cancellable = false;
    /// Called when an operation starts, before it runs.
    std::function<void(Orvane::OperationStatus*)> onStarted;
};

/// A document model of another kind than IFC 2x3.
class OtherKindModel : public Orvane::Model
{
public:
    QString modelTypeName() const override { return QStringLiteral("Point cloud"); }
    QModelIndex index(int, int, const QModelIndex& = QModelIndex()) const override { return {}; }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& = QModelIndex()) const override { return 0; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    QVariant data(const QModelIndex&, int = Qt::DisplayRole) const override { return {}; }
};

void answerModalWidget(std::function<bool(QWidget*)> answer);

/// Calls answer with the next modal widget of type T once it is shown, and
/// returns at once.
template <class T> void answerModal(std::function<void(T*)> answer)
{
    answerModalWidget([answer](QWidget* widget) {
        auto* typed = qobject_cast<T*>(widget);
        if (typed) {
            answer(typed);
        }
        return typed != nullptr;
    });
}

/// Closes every message box shown while alive, noting how many there were
/// and what the last one said.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    int count() const { return m_count; }
    QString text() const { return m_text; }
    QMessageBox::Icon icon() const { return m_icon; }

private:
    QTimer* m_timer;
    int m_count = 0;
    QString m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
};

/// Waits, with the event loop running, until done returns true; false when it
/// never does within a generous bound.
inline bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 60000);
}

} // namespace docktest
