#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QVector>

class QDialogButtonBox;
class QListWidget;
class QShowEvent;
class QStackedWidget;

namespace Orvane {

class ISettingsPage;

/// The host's settings dialog: the registered pages listed on the left (name
/// and logo), the widgets of the selected page on the right, and the buttons
/// OK, Cancel and Apply.
///
/// A page is asked for its widgets only when it is first shown while the
/// dialog is open. Apply applies every page whose widgets were asked for; OK
/// accepts them and saves every page into the application's default settings
/// store; Cancel hands the shown pages back their own settings. When the
/// dialog closes, the pages get their widgets back without a parent, since
/// they outlive the dialog and show the same widgets the next time.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
    ~SettingsDialog() override;

    /// Lists a page after the others; the dialog does not own it.
    void addPage(ISettingsPage* page);
    int pageCount() const;
    /// Shows the page at row of the page list.
    void setCurrentPage(int row);
    /// Whether the page was asked for its widgets since the dialog opened.
    bool hasWidgets(const ISettingsPage* page) const;

public slots:
    void apply();
    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Page
    {
        QPointer<ISettingsPage> page;
        QWidget* container = nullptr;
        QList<QPointer<QWidget>> widgets;
        bool hasWidgets = false;
    };

    void showPage(int row);
    void createWidgets(Page& page);
    void releaseWidgets();

    QListWidget* pageList;
    QStackedWidget* pageStack;
    QDialogButtonBox* buttons;
    QVector<Page> pages;
};

} // namespace Orvane
