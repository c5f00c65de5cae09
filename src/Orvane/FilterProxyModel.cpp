#include "FilterProxyModel.h"

#include "ProxyModel.h"

namespace Orvane {

FilterProxyModel::FilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent), m_selectionModel(new QItemSelectionModel(this, this))
{
    connect(m_selectionModel, &QItemSelectionModel::selectionChanged, this, &FilterProxyModel::selectInSource);
}

FilterProxyModel::~FilterProxyModel() = default;

Qt::DropActions FilterProxyModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

void FilterProxyModel::selectInSource()
{
    auto* proxy = qobject_cast<ProxyModel*>(sourceModel());
    if (!proxy) {
        return;
    }
    proxy->selectionModel()->select(mapSelectionToSource(m_selectionModel->selection()),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace Orvane
