#include "TypeInputsFilterModel.h"

#include "TypeInputsModel.h"

#include <QCollator>

namespace Orvane {

TypeInputsFilterModel::TypeInputsFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Qt::EditRole);
}

void TypeInputsFilterModel::setOnlyIncomplete(bool only)
{
    incompleteOnly = only;
    invalidateFilter();
}

void TypeInputsFilterModel::setText(const QString& newText)
{
    text = newText.trimmed();
    invalidateFilter();
}

bool TypeInputsFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QAbstractItemModel* source = sourceModel();
    if (incompleteOnly && source->index(sourceRow, 0, sourceParent).data(TypeInputsModel::CompleteRole).toBool()) {
        return false;
    }
    if (text.isEmpty()) {
        return true;
    }
    for (int column : {int(TypeInputsModel::NameColumn), int(TypeInputsModel::EntityColumn)}) {
        if (source->index(sourceRow, column, sourceParent).data().toString().contains(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

bool TypeInputsFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    const bool aNumber = a.userType() == QMetaType::Double || a.userType() == QMetaType::Int;
    const bool bNumber = b.userType() == QMetaType::Double || b.userType() == QMetaType::Int;
    if (aNumber && bNumber) {
        return a.toDouble() < b.toDouble();
    }
    // Empty cells last in the ascending order, numbers before texts.
    const bool aEmpty = a.toString().isEmpty();
    const bool bEmpty = b.toString().isEmpty();
    if (aEmpty != bEmpty) {
        return bEmpty;
    }
    if (aNumber != bNumber) {
        return aNumber;
    }
    static thread_local QCollator collator = [] {
        QCollator c;
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a.toString(), b.toString()) < 0;
}

} // namespace Orvane
