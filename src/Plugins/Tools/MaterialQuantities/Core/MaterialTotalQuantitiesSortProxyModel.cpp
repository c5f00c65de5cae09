#include "MaterialTotalQuantitiesSortProxyModel.h"

namespace Orvane {

MaterialTotalQuantitiesSortProxyModel::MaterialTotalQuantitiesSortProxyModel() : QSortFilterProxyModel(nullptr)
{
    setSortRole(Qt::EditRole);
}

MaterialTotalQuantitiesSortProxyModel::~MaterialTotalQuantitiesSortProxyModel() = default;

bool MaterialTotalQuantitiesSortProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    return order.lessThan(left.data(sortRole()), right.data(sortRole()), sortOrder());
}

} // namespace Orvane
