#include "InformationWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace Orvane {

namespace {

struct Look
{
    QStyle::StandardPixmap icon;
    const char* background;
    const char* border;
};

Look lookOf(InformationWidget::Level level)
{
    switch (level) {
    case InformationWidget::Level::Warning:
        return {QStyle::SP_MessageBoxWarning, "#fff4ce", "#e0b400"};
    case InformationWidget::Level::Error:
        return {QStyle::SP_MessageBoxCritical, "#fde7e9", "#d13438"};
    case InformationWidget::Level::Information:
        break;
    }
    return {QStyle::SP_MessageBoxInformation, "#e5f1fb", "#3a8fd6"};
}

} // namespace

InformationWidget::InformationWidget(QWidget* parent)
    : QFrame(parent), m_icon(new QLabel(this)), m_text(new QLabel(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setMessage(Level::Information, QString());
}

InformationWidget::~InformationWidget() = default;

void InformationWidget::setInformationMessage(const QString& message)
{
    setMessage(Level::Information, message);
}

void InformationWidget::setWarningMessage(const QString& message)
{
    setMessage(Level::Warning, message);
}

void InformationWidget::setErrorMessage(const QString& message)
{
    setMessage(Level::Error, message);
}

QString InformationWidget::message() const
{
    return m_text->text();
}

void InformationWidget::setMessage(Level level, const QString& message)
{
    m_level = level;
    const Look look = lookOf(level);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_icon->setPixmap(style()->standardIcon(look.icon, nullptr, this).pixmap(size, size));
    // Scoped to this class so that the labels inside keep their own looks.
    setStyleSheet(
        QStringLiteral("Orvane--InformationWidget { background: %1; border: 1px solid %2; border-radius: 2px; }")
            .arg(QLatin1String(look.background), QLatin1String(look.border)));
    m_text->setText(message);
}

} // namespace Orvane
