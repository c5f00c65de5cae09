#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QStatusBar;

namespace Orvane {

/// Tells in the main window's status bar that a file was written, with a
/// button that opens its folder in the desktop's file manager. A new notice
/// replaces the previous one; each goes after a while.
class FileWrittenNotice : public QWidget
{
    Q_OBJECT
public:
    FileWrittenNotice(const QString& text, const QString& filePath, QWidget* parent = nullptr);
    ~FileWrittenNotice() override;

    /// Shows text about the file at filePath in statusBar, which takes the
    /// notice.
    static FileWrittenNotice* showIn(QStatusBar* statusBar, const QString& text, const QString& filePath);
    /// The status bar of the main window that holds widget, docked or
    /// floating; null when there is none.
    static QStatusBar* statusBarOf(const QWidget* widget);

    QString text() const;
    QString filePath() const { return m_filePath; }
    QString folder() const;

public slots:
    void openFolder();

private:
    QLabel* m_text;
    QString m_filePath;
};

} // namespace Orvane
