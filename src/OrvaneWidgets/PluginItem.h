#pragma once

#include <QIcon>
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QPluginLoader;

namespace Orvane {

class PluginInterface;

/// One plug-in library as the host knows it: its metadata, read without
/// loading the library, what became of it, and once loaded its object.
class PluginItem
{
public:
    enum class State { NotLoaded, Loaded, Failed, Disabled };

    /// metaData is the "MetaData" object of the library's metadata, empty when
    /// the library carries none.
    PluginItem(const QString& fileName, const QJsonObject& metaData);
    ~PluginItem();
    PluginItem(const PluginItem&) = delete;
    PluginItem& operator=(const PluginItem&) = delete;

    QString fileName() const { return m_fileName; }
    QString id() const;
    /// Texts in the user's language, English otherwise.
    QString name() const;
    QString description() const;
    QString category() const;
    QString tab() const;
    QString version() const;
    QString status() const;
    QString type() const;
    QStringList depends() const;
    QIcon icon() const;

    bool hasMetaData() const { return !m_metaData.isEmpty(); }
    State state() const { return m_state; }
    /// Why the plug-in is not running; empty when it is.
    QString error() const { return m_error; }
    void setFailed(const QString& reason);
    void setDisabled();

    /// Loads the library; false with error() set when that fails.
    bool load();
    PluginInterface* instance() const;

private:
    QString localized(const char* key) const;

    QString m_fileName;
    QJsonObject m_metaData;
    State m_state = State::NotLoaded;
    QString m_error;
    QPluginLoader* m_loader = nullptr;
    QPointer<PluginInterface> m_instance;
};

} // namespace Orvane
