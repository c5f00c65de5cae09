#include "MaterialQuantitiesSettingsWidget.h"

#include "PropertyPathCounter.h"
#include "PropertyPathPickerDialog.h"
#include "QuantitiesPropPathListModel.h"
#include "ui_MaterialQuantitiesSettingsWidget.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLocale>
#include <QStyle>
#include <QTimer>

namespace Orvane {

MaterialQuantitiesSettingsWidget::MaterialQuantitiesSettingsWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::MaterialQuantitiesSettingsWidget>()),
      counter(new PropertyPathCounter(this)), resolutionTimer(new QTimer(this))
{
    ui->setupUi(this);
    listModel = new QuantitiesPropPathListModel(this);
    ui->quantitiesPropPathListView->setModel(listModel);
    connect(listModel, &QAbstractItemModel::dataChanged, this,
            &MaterialQuantitiesSettingsWidget::popertyPathsListSettingsChanged);
    // Insertions, removals and moves change the list without dataChanged.
    const auto rowsChanged = [this] { popertyPathsListSettingsChanged(QModelIndex(), QModelIndex()); };
    connect(listModel, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(listModel, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(listModel, &QAbstractItemModel::rowsMoved, this, rowsChanged);
    connect(ui->quantitiesPropPathPickButton, &QToolButton::clicked, this,
            &MaterialQuantitiesSettingsWidget::appendPickedPath);
    setUpPathFields();

    // Paths are looked for once the user stops typing.
    resolutionTimer->setSingleShot(true);
    resolutionTimer->setInterval(resolutionDelayMs);
    connect(resolutionTimer, &QTimer::timeout, this, &MaterialQuantitiesSettingsWidget::requestResolutions);
    connect(counter, &PropertyPathCounter::counted, this, &MaterialQuantitiesSettingsWidget::showResolutions);
    connect(counter, &PropertyPathCounter::countsDropped, this, [this] {
        showResolutions();
        resolutionTimer->start();
    });
    updatePickButtons();
}

MaterialQuantitiesSettingsWidget::~MaterialQuantitiesSettingsWidget() = default;

void MaterialQuantitiesSettingsWidget::setUpPathFields()
{
    pathFields = {{
        {ui->functionalUnitPropertyPathLineEdit, ui->functionalUnitPickButton, ui->functionalUnitResolutionLabel,
         nullptr},
        {ui->massPerFunctionalUnitPropertyPathLineEdit, ui->massPerFunctionalUnitPickButton,
         ui->massPerFunctionalUnitResolutionLabel, nullptr},
        {ui->materialCompositionPropertyPathLineEdit, ui->materialCompositionPickButton,
         ui->materialCompositionResolutionLabel, nullptr},
        {ui->reusedMaterialsPropertyPathLineEdit, ui->reusedMaterialsPickButton, ui->reusedMaterialsResolutionLabel,
         nullptr},
    }};
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (PathField& field : pathFields) {
        field.warning = field.edit->addAction(warningIcon, QLineEdit::TrailingPosition);
        field.warning->setVisible(false);
        connect(field.pickButton, &QToolButton::clicked, this, [this, edit = field.edit] { pickInto(edit); });
        connect(field.edit, &QLineEdit::textChanged, this, &MaterialQuantitiesSettingsWidget::pathEdited);
    }
}

void MaterialQuantitiesSettingsWidget::setSettings(const MaterialQuantitiesSettings& newSettings)
{
    settings = newSettings;
    ui->functionalUnitPropertyPathLineEdit->setText(settings.functionalUnitPropertyPath);
    ui->massPerFunctionalUnitPropertyPathLineEdit->setText(settings.massPerFunctionalUnitPropertyPath);
    ui->materialCompositionPropertyPathLineEdit->setText(settings.materialCompositionPropertyPath);
    ui->reusedMaterialsPropertyPathLineEdit->setText(settings.reusedMaterialsPropertyPath);
    // Paths differ at their end but are read from their start.
    for (const PathField& field : pathFields) {
        field.edit->setCursorPosition(0);
    }
    on_uniteFonctionnelleComboBox_currentIndexChanged(currentUnitIndex);
}

void MaterialQuantitiesSettingsWidget::setModel(Model* newModel)
{
    auto* ifcModel = qobject_cast<_ifc2x3::IFC2x3Model*>(newModel);
    if (ifcModel == model) {
        return; // its counts still hold
    }
    if (model) {
        disconnect(model->selectionModel(), nullptr, this, nullptr);
        disconnect(model, nullptr, this, nullptr);
    }
    model = ifcModel;
    if (model) {
        QItemSelectionModel* selection = model->selectionModel();
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &MaterialQuantitiesSettingsWidget::updatePickButtons);
        connect(selection, &QItemSelectionModel::currentChanged, this,
                &MaterialQuantitiesSettingsWidget::updatePickButtons);
        connect(model, &QObject::destroyed, this, &MaterialQuantitiesSettingsWidget::updatePickButtons);
    }
    counter->setModel(model);
    updatePickButtons();
    requestResolutions();
}

void MaterialQuantitiesSettingsWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Paths are counted only while shown: the page outlives its dialog.
    requestResolutions();
}

void MaterialQuantitiesSettingsWidget::on_functionalUnitPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.functionalUnitPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_massPerFunctionalUnitPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.massPerFunctionalUnitPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_materialCompositionPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.materialCompositionPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_reusedMaterialsPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.reusedMaterialsPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_uniteFonctionnelleComboBox_currentIndexChanged(int index)
{
    if (index >= 0) {
        currentUnitIndex = index;
    }
    const QStringList* paths = unitPaths(index);
    if (paths && listModel && listModel->getPropertyPaths() != *paths) {
        listModel->setPropertyPaths(*paths);
    }
    requestResolutions();
}

void MaterialQuantitiesSettingsWidget::on_restoreDefaultsButton_clicked()
{
    setSettings(MaterialQuantitiesSettings::defaults());
}

void MaterialQuantitiesSettingsWidget::popertyPathsListSettingsChanged(const QModelIndex&, const QModelIndex&,
                                                                       const QVector<int>&)
{
    QStringList* paths = unitPaths(ui->uniteFonctionnelleComboBox->currentIndex());
    // Notes shown beside the paths change the list's data, not its paths.
    if (paths && *paths != listModel->getPropertyPaths()) {
        *paths = listModel->getPropertyPaths();
        pathEdited();
    }
}

QStringList* MaterialQuantitiesSettingsWidget::unitPaths(int unitIndex)
{
    switch (unitIndex) {
    case 0:
        return &settings.lengthQuantitiesPropPaths;
    case 1:
        return &settings.areaQuantitiesPropPaths;
    case 2:
        return &settings.volumeQuantitiesPropPaths;
    default:
        return nullptr;
    }
}

void MaterialQuantitiesSettingsWidget::pathEdited()
{
    showResolutions();
    resolutionTimer->start();
}

QModelIndex MaterialQuantitiesSettingsWidget::selectedElement() const
{
    QItemSelectionModel* selection = model ? model->selectionModel() : nullptr;
    if (!selection) {
        return {};
    }
    // The current row when it is selected, else the first selected one.
    QModelIndex element = selection->currentIndex();
    if (!element.isValid() || !selection->isSelected(element)) {
        const QModelIndexList selected = selection->selectedIndexes();
        element = selected.isEmpty() ? QModelIndex() : selected.first();
    }
    element = element.siblingAtColumn(0);
    return model->ifcObjectDefinition(element) ? element : QModelIndex();
}

void MaterialQuantitiesSettingsWidget::updatePickButtons()
{
    const bool canPick = selectedElement().isValid();
    const QString toolTip = canPick ? tr("Pick a property path from the selected element")
                                    : tr("Select an element in the model to pick a path from it");
    QList<QToolButton*> buttons{ui->quantitiesPropPathPickButton};
    for (const PathField& field : pathFields) {
        buttons.append(field.pickButton);
    }
    for (QToolButton* button : qAsConst(buttons)) {
        button->setEnabled(canPick);
        button->setToolTip(toolTip);
    }
}

QString MaterialQuantitiesSettingsWidget::pickPath(const QString& current)
{
    const QModelIndex element = selectedElement();
    if (!element.isValid()) {
        return {};
    }
    const Step::RefPtr<CoreProperty> root = _ifc2x3::IFC2x3Property::root(model, model->ifcObjectDefinition(element));
    PropertyPathPickerDialog dialog(*root, element.data().toString(), this);
    dialog.selectPath(current);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedPath() : QString();
}

void MaterialQuantitiesSettingsWidget::pickInto(QLineEdit* edit)
{
    const QString path = pickPath(edit->text());
    if (!path.isEmpty()) {
        edit->setText(path);
        edit->setCursorPosition(0);
    }
}

void MaterialQuantitiesSettingsWidget::appendPickedPath()
{
    const QString path = pickPath(QString());
    // A path already listed would only be read a second time.
    if (!path.isEmpty() && !listModel->getPropertyPaths().contains(path)) {
        listModel->setData(listModel->index(listModel->rowCount() - 1), path);
    }
}

void MaterialQuantitiesSettingsWidget::requestResolutions()
{
    if (isVisible()) {
        for (const PathField& field : pathFields) {
            counter->request(field.edit->text());
        }
        for (const QString& path : listModel->getPropertyPaths()) {
            counter->request(path);
        }
    }
    showResolutions();
}

void MaterialQuantitiesSettingsWidget::showResolutions()
{
    bool unresolved = false;
    for (const PathField& field : pathFields) {
        const QString text = resolutionText(field.edit->text(), unresolved);
        field.resolutionLabel->setText(text);
        field.warning->setToolTip(text);
        field.warning->setVisible(unresolved);
    }
    for (const QString& path : listModel->getPropertyPaths()) {
        const QString text = resolutionText(path, unresolved);
        listModel->setPathNote(path, text, unresolved);
    }
}

QString MaterialQuantitiesSettingsWidget::resolutionText(const QString& path, bool& unresolved) const
{
    const std::optional<int> found = counter->found(path);
    unresolved = found == 0;
    if (!found) {
        return {};
    }
    if (unresolved) {
        return tr("Found on no building element of this model");
    }
    const QLocale locale;
    return tr("Found on %1 of %2 building elements")
        .arg(locale.toString(*found), locale.toString(counter->elementCount()));
}

} // namespace Orvane
