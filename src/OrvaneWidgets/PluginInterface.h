#pragma once

#include <QObject>

class QWidget;

namespace Orvane {

/// What the host asks of every plug-in, whatever its kind. Implementations
/// answer the optional parts with null or false.
class PluginInterface : public QObject
{
    Q_OBJECT
public:
    explicit PluginInterface(QObject* parent = nullptr);
    ~PluginInterface() override;

    /// A widget telling more about the plug-in in the Plug-ins dialog.
    virtual QWidget* aboutWidget(QWidget* parent);
    /// Whether the plug-in must stay enabled, whatever the user chooses.
    virtual bool isMandatory() const;
    /// An object the plug-in offers to the other plug-ins.
    virtual QObject* sharedService();
    /// Whether the plug-in needs the application to restart when toggled.
    virtual bool needsRestart() const;
    /// The object that the host drives, usually the plug-in itself.
    virtual QObject* pluginObject() = 0;
    /// A help page for the plug-in, or null.
    virtual QObject* helpPage();
    /// Whether the plug-in handles the host's command-line arguments.
    virtual bool handlesArguments() const;
};

} // namespace Orvane

#define OrvanePluginInterface_iid "org.orvane.PluginInterface/1.0"
Q_DECLARE_INTERFACE(Orvane::PluginInterface, OrvanePluginInterface_iid)
