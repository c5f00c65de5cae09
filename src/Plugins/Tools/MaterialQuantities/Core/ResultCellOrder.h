#pragma once

#include <QCollator>
#include <QVariant>

namespace Orvane {

/// How the result tables sort their cells: numbers as numbers, texts in the
/// order of material names (MaterialOrder), and empty cells last whichever
/// the direction, since an element without a material says nothing of it.
class ResultCellOrder
{
public:
    ResultCellOrder();

    /// Whether left goes before right in an ascending sort, or after it in
    /// a descending one, empty cells aside.
    bool lessThan(const QVariant& left, const QVariant& right, Qt::SortOrder order) const;

private:
    QCollator collator;
};

} // namespace Orvane
