#include "FileWrittenNotice.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace Orvane {

namespace {
/// Long enough to be read and acted on after a long export.
constexpr int shownMs = 30000;
} // namespace

FileWrittenNotice::FileWrittenNotice(const QString& text, const QString& filePath, QWidget* parent)
    : QWidget(parent), m_text(new QLabel(text, this)), m_filePath(filePath)
{
    setObjectName(QStringLiteral("fileWrittenNotice"));
    m_text->setObjectName(QStringLiteral("fileWrittenText"));
    m_text->setToolTip(QFileInfo(filePath).absoluteFilePath());
    auto* open = new QPushButton(tr("Open folder"), this);
    open->setObjectName(QStringLiteral("openFolderButton"));
    open->setToolTip(folder());
    connect(open, &QPushButton::clicked, this, &FileWrittenNotice::openFolder);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    layout->addWidget(open);
    layout->addStretch();
}

FileWrittenNotice::~FileWrittenNotice() = default;

FileWrittenNotice* FileWrittenNotice::showIn(QStatusBar* statusBar, const QString& text, const QString& filePath)
{
    const QList<FileWrittenNotice*> previous =
        statusBar->findChildren<FileWrittenNotice*>(QString(), Qt::FindDirectChildrenOnly);
    for (FileWrittenNotice* notice : previous) {
        statusBar->removeWidget(notice);
        notice->deleteLater();
    }
    auto* notice = new FileWrittenNotice(text, filePath, statusBar);
    // A message shown meanwhile would hide it.
    statusBar->clearMessage();
    statusBar->addWidget(notice, 1);
    notice->show();
    QTimer::singleShot(shownMs, notice, [statusBar, notice] {
        statusBar->removeWidget(notice);
        notice->deleteLater();
    });
    return notice;
}

QStatusBar* FileWrittenNotice::statusBarOf(const QWidget* widget)
{
    // A floating dock is a window of its own: its main window is its parent.
    for (const QWidget* ancestor = widget; ancestor; ancestor = ancestor->parentWidget()) {
        if (const auto* window = qobject_cast<const QMainWindow*>(ancestor)) {
            return window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        }
    }
    return nullptr;
}

QString FileWrittenNotice::text() const
{
    return m_text->text();
}

QString FileWrittenNotice::folder() const
{
    return QFileInfo(m_filePath).absolutePath();
}

void FileWrittenNotice::openFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder()));
}

} // namespace Orvane
