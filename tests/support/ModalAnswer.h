#pragma once

// For programs with widgets only (kept inline: the support library itself
// does not link Qt Widgets).
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

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

/// Types a file name into a file dialog's name field, as a user would.
/// selectFile() leaves that field alone once it has the focus, which the
/// dialog gives it at some point after showing.
inline void typeFileName(QFileDialog* dialog, const QString& name)
{
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr) << "the dialog has no file name field";
    field->setText(name);
}

/// Closes every message box shown while alive, noting how many there were
/// and what the last one said.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++m_count;
                m_text = box->text();
                m_icon = box->icon();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start(20);
    }
    int count() const { return m_count; }
    QString text() const { return m_text; }
    QMessageBox::Icon icon() const { return m_icon; }

private:
    QTimer m_timer;
    int m_count = 0;
    QString m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
};

} // namespace testsupport
