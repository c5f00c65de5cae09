#pragma once

#include <QStyledItemDelegate>

namespace Orvane {

/// Editors of the type inputs table: the functional unit from the words the
/// computation recognises, or free text; numbers as typed in a line edit
/// ("40 %", "0,4"), checked by the model.
class TypeInputsDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TypeInputsDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

} // namespace Orvane
