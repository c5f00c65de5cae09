#include "ResultCellOrder.h"

#include "MaterialOrder.h"

namespace Orvane {

namespace {

bool isEmptyCell(const QVariant& value)
{
    return !value.isValid() || (value.userType() == QMetaType::QString && value.toString().isEmpty());
}

bool isNumber(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

ResultCellOrder::ResultCellOrder() : collator(MaterialOrder::collator()) {}

bool ResultCellOrder::lessThan(const QVariant& left, const QVariant& right, Qt::SortOrder order) const
{
    const bool leftEmpty = isEmptyCell(left);
    if (leftEmpty || isEmptyCell(right)) {
        // A descending sort puts last what compares least.
        return leftEmpty != isEmptyCell(right) && leftEmpty == (order == Qt::DescendingOrder);
    }
    if (isNumber(left) && isNumber(right)) {
        return left.toDouble() < right.toDouble();
    }
    return collator.compare(left.toString(), right.toString()) < 0;
}

} // namespace Orvane
