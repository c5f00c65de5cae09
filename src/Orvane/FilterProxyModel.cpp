#include "FilterProxyModel.h"

namespace Orvane {

FilterProxyModel::FilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent), m_selectionModel(new QItemSelectionModel(this, this))
{
}

FilterProxyModel::~FilterProxyModel() = default;

Qt::DropActions FilterProxyModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

} // namespace Orvane
