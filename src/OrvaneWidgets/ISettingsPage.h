#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QPixmap;
class QSettings;
class QWidget;

namespace Orvane {

/// A page of the host's settings dialog. The page keeps its own settings;
/// its widgets edit a copy of them until the dialog applies them.
///
/// The dialog asks for the widgets only when the page is first shown, and
/// again each time it is opened; a page may hand back the same widgets, which
/// the dialog gives back to it (without a parent) when it closes.
class ISettingsPage : public QObject
{
    Q_OBJECT
public:
    explicit ISettingsPage(QObject* parent = nullptr);
    ~ISettingsPage() override;

    /// The page's title in the dialog's page list.
    virtual QString getName() const = 0;
    /// The page's icon in the page list, or null for none.
    virtual const QPixmap* getLogo() const;
    /// The widgets that edit the page, made children of parent.
    virtual QList<QWidget*> createWidgets(QWidget* parent) = 0;
    /// Takes over what the widgets edited.
    virtual void apply() = 0;
    /// The dialog was closed with OK: by default the same as apply.
    virtual void accept();
    /// The dialog was cancelled: the widgets go back to the page's settings.
    virtual void reject();
    virtual void loadSettings(QSettings& settings) = 0;
    virtual void saveSettings(QSettings& settings) = 0;
};

} // namespace Orvane
