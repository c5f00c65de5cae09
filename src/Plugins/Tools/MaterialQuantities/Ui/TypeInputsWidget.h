#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace Orvane {

namespace Ui {
class TypeInputsWidget;
}

namespace _ifc2x3 {
class IFC2x3Model;
}
class TypeInputsFilterModel;
class TypeInputsModel;

/// The "Type inputs" page of the tool's dock: one row per element type of
/// the active model with what it supplies to the computation, editable in
/// place through the model's undo history, filtered by text or to the types
/// that miss an input. The table is read when the page is shown, and again
/// when the model or the settings change while it is.
class TypeInputsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TypeInputsWidget(QWidget* parent = nullptr);
    ~TypeInputsWidget() override;

    void setModel(_ifc2x3::IFC2x3Model* model);
    void setSettings(const MaterialQuantitiesSettings& settings);
    /// Filters the table to the types that miss an input.
    void showOnlyIncomplete();
    /// Reads the types again, now when shown, else when next shown.
    void refresh();

    TypeInputsModel* inputsModel() const { return inputs; }

    /// Writes the types' inputs as a workbook; the error, empty on success.
    QString exportTo(const QString& path);
    /// Reads a filled workbook and writes what it changes as one step of the
    /// model's history; the error (naming the sheet, row and column), empty
    /// on success. Nothing is written on error.
    QString importFrom(const QString& path);
    TypeInputsFilterModel* filterModel() const { return filter; }
    /// Writes the suggested inputs of the selected cells, of the current
    /// cell's column, or all of them, as one step of the model's history;
    /// the error, empty on success.
    QString acceptSelectedSuggestions();
    QString acceptColumnSuggestions();
    QString acceptAllSuggestions();

signals:
    /// For the host's status bar.
    void message(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void on_exportTypeInputsPushButton_clicked();
    void on_importTypeInputsPushButton_clicked();
    void on_onlyIncompleteCheckBox_toggled(bool checked);
    void on_typeFilterLineEdit_textChanged(const QString& text);
    void on_acceptSelectedSuggestionsAction_triggered();
    void on_acceptColumnSuggestionsAction_triggered();
    void on_acceptAllSuggestionsAction_triggered();

private:
    /// Said beside the cell, where the user typed.
    void showRefusal(const QString& text);
    void reloadIfStale();
    void updateSummary();
    void updateReadOnlyNote();
    void updateEnabled();
    void updateSuggestionActions();
    /// Accepts the inputs (by row of the inputs model) and says how it went.
    QString accept(const QMap<int, int>& inputsByRow);

    std::unique_ptr<Ui::TypeInputsWidget> ui;
    TypeInputsModel* inputs;
    TypeInputsFilterModel* filter;
    QPointer<_ifc2x3::IFC2x3Model> model;
    bool stale = true;
};

} // namespace Orvane
