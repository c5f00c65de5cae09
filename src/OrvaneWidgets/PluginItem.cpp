#include "PluginItem.h"

#include "PluginInterface.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QLocale>
#include <QPluginLoader>

namespace Orvane {

PluginItem::PluginItem(const QString& fileName, const QJsonObject& metaData)
    : m_fileName(fileName), m_metaData(metaData)
{
}

// The library stays loaded: its object may still be referenced by the host.
PluginItem::~PluginItem()
{
    delete m_loader;
}

QString PluginItem::localized(const char* key) const
{
    const QJsonValue value = m_metaData.value(QLatin1String(key));
    if (!value.isObject()) {
        return value.toString();
    }
    const QJsonObject texts = value.toObject();
    const QString language = QLocale().name().section(QLatin1Char('_'), 0, 0);
    return texts.value(language).toString(texts.value(QStringLiteral("en")).toString());
}

QString PluginItem::id() const
{
    return m_metaData.value(QStringLiteral("Id")).toString();
}

QString PluginItem::name() const
{
    return localized("Name");
}

QString PluginItem::description() const
{
    return localized("Description");
}

QString PluginItem::category() const
{
    return localized("Category");
}

QString PluginItem::tab() const
{
    return localized("Tab");
}

QString PluginItem::version() const
{
    return m_metaData.value(QStringLiteral("Version")).toString();
}

QString PluginItem::status() const
{
    return m_metaData.value(QStringLiteral("Status")).toString();
}

QString PluginItem::type() const
{
    return m_metaData.value(QStringLiteral("Type")).toString();
}

QStringList PluginItem::depends() const
{
    QStringList result;
    for (const QJsonValue& value : m_metaData.value(QStringLiteral("Depends")).toArray()) {
        result.append(value.toString());
    }
    return result;
}

QIcon PluginItem::icon() const
{
    return QIcon(m_metaData.value(QStringLiteral("Icon")).toString());
}

void PluginItem::setFailed(const QString& reason)
{
    m_state = State::Failed;
    m_error = reason;
}

void PluginItem::setDisabled()
{
    m_state = State::Disabled;
    m_error.clear();
}

PluginInterface* PluginItem::instance() const
{
    return m_instance;
}

bool PluginItem::load()
{
    if (m_instance) {
        return true;
    }
    if (!m_loader) {
        m_loader = new QPluginLoader(m_fileName);
    }
    QObject* object = m_loader->instance();
    if (!object) {
        setFailed(QCoreApplication::translate("Orvane::PluginItem", "The library cannot be loaded: %1")
                      .arg(m_loader->errorString()));
        return false;
    }
    m_instance = qobject_cast<PluginInterface*>(object);
    if (!m_instance) {
        setFailed(
            QCoreApplication::translate("Orvane::PluginItem", "The library is not a plug-in of this application."));
        return false;
    }
    m_state = State::Loaded;
    m_error.clear();
    return true;
}

} // namespace Orvane
