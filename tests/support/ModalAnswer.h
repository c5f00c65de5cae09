#pragma once

// For programs with widgets only (kept inline: the support library itself
// does not link Qt Widgets).
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace testsupport {

/// Calls answer with the next modal widget of type T once it is shown, and
/// returns at once: the caller then opens the modal widget.
template <class T> void answerModal(std::function<void(T*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(20);
}

/// Answers every message box shown while alive with the button chosen for
/// it (Ok by default), noting what each said and the last one's icon.
class MessageBoxWatcher
{
public:
    using Choice = std::function<QMessageBox::StandardButton(const QMessageBox&)>;
    explicit MessageBoxWatcher(Choice choose = [](const QMessageBox&) { return QMessageBox::Ok; })
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, choose] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                icon = box->icon();
                const QMessageBox::StandardButton choice = choose(*box);
                if (QAbstractButton* button = box->button(choice)) {
                    button->click();
                } else {
                    box->done(choice);
                }
            }
        });
        m_timer.start(10);
    }

    QStringList texts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

private:
    QTimer m_timer;
};

} // namespace testsupport
