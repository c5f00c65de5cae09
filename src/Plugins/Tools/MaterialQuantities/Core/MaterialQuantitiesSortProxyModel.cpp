#include "MaterialQuantitiesSortProxyModel.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace Orvane {

MaterialQuantitiesSortProxyModel::MaterialQuantitiesSortProxyModel() : FilterProxyModel(nullptr)
{
    // Quantities sort as numbers and the status column as 1/0, not as text.
    setSortRole(Qt::EditRole);
}

MaterialQuantitiesSortProxyModel::~MaterialQuantitiesSortProxyModel() = default;

void MaterialQuantitiesSortProxyModel::setVerificationMode(bool mode)
{
    if (mode == verificationMode) {
        return;
    }
    verificationMode = mode;
    invalidateFilter();
}

bool MaterialQuantitiesSortProxyModel::filterAcceptsColumn(int sourceColumn, const QModelIndex&) const
{
    if (!sourceModel()) {
        return true;
    }
    // The last two columns: the quantity property path, and why an element
    // has no quantities, which only verification shows.
    const int reason = sourceModel()->columnCount() - 1;
    if (!verificationMode) {
        return sourceColumn != reason;
    }
    // Status, name, type, the quantity property path and the reason stay.
    return sourceColumn <= 2 || sourceColumn >= reason - 1;
}

void MaterialQuantitiesSortProxyModel::setShownSourceRows(const QSet<int>& rows)
{
    shownSourceRows = rows;
    invalidateFilter();
}

bool MaterialQuantitiesSortProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return shownSourceRows.isEmpty() || shownSourceRows.contains(sourceRow);
}

bool MaterialQuantitiesSortProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    return order.lessThan(left.data(sortRole()), right.data(sortRole()), sortOrder());
}

QModelIndex MaterialQuantitiesSortProxyModel::parent(const QModelIndex&) const
{
    return {};
}

QVariant MaterialQuantitiesSortProxyModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::CheckStateRole && index.column() == 0 && sourceModel()) {
        const QModelIndex source = mapToSource(index);
        return sourceModel()->data(sourceModel()->index(source.row(), 0), Qt::CheckStateRole);
    }
    return QSortFilterProxyModel::data(index, role);
}

bool MaterialQuantitiesSortProxyModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role == Qt::CheckStateRole && index.column() == 0 && sourceModel()) {
        // Through this table row's source row: sorting has moved it.
        const QModelIndex source = mapToSource(index);
        return sourceModel()->setData(sourceModel()->index(source.row(), 0), value, Qt::CheckStateRole);
    }
    return QSortFilterProxyModel::setData(index, value, role);
}

Qt::ItemFlags MaterialQuantitiesSortProxyModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QSortFilterProxyModel::flags(index);
    if (index.isValid() && index.column() == 0) {
        result |= Qt::ItemIsUserCheckable;
    }
    return result;
}

QModelIndex MaterialQuantitiesSortProxyModel::buddy(const QModelIndex& index) const
{
    return index;
}

QItemSelection MaterialQuantitiesSortProxyModel::mapSelectionToSource(const QItemSelection& selection) const
{
    QItemSelection sourceSelection;
    QAbstractItemModel* source = sourceModel();
    if (!source) {
        return sourceSelection;
    }
    QSet<int> rows;
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.insert(row);
        }
    }
    QSet<int> distinctSourceRows;
    distinctSourceRows.reserve(rows.size());
    for (int row : qAsConst(rows)) {
        const QModelIndex sourceIndex = mapToSource(index(row, 0));
        if (sourceIndex.isValid()) {
            distinctSourceRows.insert(sourceIndex.row());
        }
    }
    if (distinctSourceRows.isEmpty()) {
        return sourceSelection;
    }
    std::vector<int> sourceRows(distinctSourceRows.cbegin(), distinctSourceRows.cend());
    std::sort(sourceRows.begin(), sourceRows.end());

    // One range per run of consecutive rows, across all source columns.
    const int lastColumn = source->columnCount() - 1;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= sourceRows.size(); ++i) {
        if (i < sourceRows.size() && sourceRows[i] == sourceRows[i - 1] + 1) {
            continue;
        }
        sourceSelection.append(
            QItemSelectionRange(source->index(sourceRows[first], 0), source->index(sourceRows[i - 1], lastColumn)));
        first = i;
    }
    return sourceSelection;
}

} // namespace Orvane
