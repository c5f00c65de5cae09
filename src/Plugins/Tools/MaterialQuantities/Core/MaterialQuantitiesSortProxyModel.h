#pragma once

#include "ResultCellOrder.h"

#include "Orvane/FilterProxyModel.h"

#include <QSet>

namespace Orvane {

/// Sorting layer over MaterialQuantitiesProxyModel for the detailed
/// quantities table: sorts by raw (edit-role) values in ResultCellOrder
/// (empty cells last, names collated), hides the material columns in
/// verification mode, passes the visibility check box through and turns a
/// selection into whole source rows.
class MaterialQuantitiesSortProxyModel : public FilterProxyModel
{
    Q_OBJECT
public:
    MaterialQuantitiesSortProxyModel();
    ~MaterialQuantitiesSortProxyModel() override;

    /// Re-filters the columns only when the mode changes.
    void setVerificationMode(bool verificationMode);
    bool isVerificationMode() const { return verificationMode; }
    /// Shows only these rows of the source; every row when empty.
    void setShownSourceRows(const QSet<int>& rows);

    QModelIndex parent(const QModelIndex& child) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QModelIndex buddy(const QModelIndex& index) const override;
    QItemSelection mapSelectionToSource(const QItemSelection& selection) const override;

protected:
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex& sourceParent) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    ResultCellOrder order;
    bool verificationMode = false;
    QSet<int> shownSourceRows;
};

} // namespace Orvane
