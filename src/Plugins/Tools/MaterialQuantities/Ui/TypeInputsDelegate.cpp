#include "TypeInputsDelegate.h"

#include "TypeInputsModel.h"

#include <QComboBox>
#include <QLineEdit>

namespace Orvane {

TypeInputsDelegate::TypeInputsDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* TypeInputsDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const
{
    if (index.column() == TypeInputsModel::FunctionalUnitColumn) {
        auto* units = new QComboBox(parent);
        units->setEditable(true);
        units->addItems(TypeInputsModel::functionalUnitWords());
        return units;
    }
    if (index.column() == TypeInputsModel::MassColumn || index.column() >= TypeInputsModel::FirstMaterialColumn) {
        return new QLineEdit(parent);
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void TypeInputsDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* units = qobject_cast<QComboBox*>(editor)) {
        units->setCurrentText(index.data(Qt::DisplayRole).toString());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(Qt::DisplayRole).toString());
        line->selectAll();
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void TypeInputsDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* units = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, units->currentText());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text());
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

} // namespace Orvane
