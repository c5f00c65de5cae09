#pragma once

#include "ResultCellOrder.h"

#include <QSortFilterProxyModel>

namespace Orvane {

/// Sorting layer of the totals: masses by the kilograms stored, names in
/// MaterialOrder, empty cells last (ResultCellOrder).
class MaterialTotalQuantitiesSortProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    MaterialTotalQuantitiesSortProxyModel();
    ~MaterialTotalQuantitiesSortProxyModel() override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    ResultCellOrder order;
};

} // namespace Orvane
