#pragma once

#include <QStyledItemDelegate>

namespace Orvane {

/// Edits the material library's rows: categories and outlets chosen from
/// their lists, densities typed as non-negative numbers of the user's locale.
class MaterialLibraryDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    /// The largest density typed; beyond the densest metals.
    static constexpr double maximumDensity = 100000.0;
};

} // namespace Orvane
