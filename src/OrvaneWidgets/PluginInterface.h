#pragma once

#include <QObject>

class QWidget;

namespace Orvane {

/// What the host asks of every plug-in, whatever its kind. Implementations
/// answer the optional parts with null or false. Functions marked "not called
/// by this host" keep the interface's layout for the plug-ins built against
/// it; this host never calls them.
class PluginInterface : public QObject
{
    Q_OBJECT
public:
    explicit PluginInterface(QObject* parent = nullptr);
    ~PluginInterface() override;

    /// A widget telling more about the plug-in in the Plug-ins dialog. Not
    /// called by this host.
    virtual QWidget* aboutWidget(QWidget* parent);
    /// Whether the plug-in must stay enabled, whatever the user chooses. Not
    /// called by this host.
    virtual bool isMandatory() const;
    /// An object the plug-in offers to the other plug-ins. Not called by
    /// this host.
    virtual QObject* sharedService();
    /// Whether the plug-in needs the application to restart when toggled.
    /// Not called by this host: every change takes effect at the next start.
    virtual bool needsRestart() const;
    /// The object that the host drives, usually the plug-in itself. Not
    /// called by this host, which drives the plug-in's instance.
    virtual QObject* pluginObject() = 0;
    /// A help page for the plug-in, or null. Not called by this host.
    virtual QObject* helpPage();
    /// Whether the plug-in handles the host's command-line arguments. Not
    /// called by this host, which opens its arguments as models.
    virtual bool handlesArguments() const;
};

} // namespace Orvane

#define OrvanePluginInterface_iid "org.orvane.PluginInterface/1.0"
Q_DECLARE_INTERFACE(Orvane::PluginInterface, OrvanePluginInterface_iid)
