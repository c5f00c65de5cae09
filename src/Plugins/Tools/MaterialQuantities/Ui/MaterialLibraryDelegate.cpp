#include "MaterialLibraryDelegate.h"

#include "MaterialLibraryModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QLineEdit>

namespace Orvane {

namespace {

QComboBox* categoryBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const auto category : {MaterialLibrary::Category::Inert, MaterialLibrary::Category::NonHazardous,
                                MaterialLibrary::Category::Hazardous}) {
        box->addItem(MaterialLibrary::categoryText(category), int(category));
    }
    return box;
}

QComboBox* outletBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const auto outlet : {MaterialLibrary::Outlet::Reuse, MaterialLibrary::Outlet::Recycling,
                              MaterialLibrary::Outlet::EnergyRecovery, MaterialLibrary::Outlet::Disposal}) {
        box->addItem(MaterialLibrary::outletText(outlet), int(outlet));
    }
    return box;
}

QLineEdit* densityEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    auto* validator = new QDoubleValidator(0.0, MaterialLibraryDelegate::maximumDensity, 3, edit);
    validator->setNotation(QDoubleValidator::StandardNotation);
    edit->setValidator(validator);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

QWidget* MaterialLibraryDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    switch (index.column()) {
    case MaterialLibraryModel::Category:
        return categoryBox(parent);
    case MaterialLibraryModel::Outlet:
        return outletBox(parent);
    case MaterialLibraryModel::Density:
        return densityEdit(parent);
    default:
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
}

void MaterialLibraryDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
    } else if (index.column() == MaterialLibraryModel::Density) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        qobject_cast<QLineEdit*>(editor)->setText(
            locale.toString(index.data(Qt::EditRole).toDouble(), 'f', QLocale::FloatingPointShortest));
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void MaterialLibraryDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentData());
    } else if (index.column() == MaterialLibraryModel::Density) {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        // The validator lets the user type on through intermediate text; only a
        // whole number reaches the model.
        if (edit->hasAcceptableInput()) {
            model->setData(index, QLocale().toDouble(edit->text()));
        }
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

} // namespace Orvane
