#include "ProxyModel.h"

#include "Model.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace Orvane {

namespace {

/// Maps every index of a selection and gathers the distinct results into
/// ranges of consecutive rows (same parent, same column).
template <class Map> QItemSelection mapSelection(const QItemSelection& selection, Map map)
{
    struct Mapped
    {
        QModelIndex parent;
        QModelIndex index;
    };
    std::vector<Mapped> mapped;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid()) {
            continue;
        }
        const QAbstractItemModel* model = range.model();
        for (int row = range.top(); row <= range.bottom(); ++row) {
            for (int column = range.left(); column <= range.right(); ++column) {
                const QModelIndex index = map(model->index(row, column, range.parent()));
                // The columns of a row often map to one index: skip repeats
                // before they cost a sort.
                if (index.isValid() && (mapped.empty() || mapped.back().index != index)) {
                    mapped.push_back({index.parent(), index});
                }
            }
        }
    }
    // Parents first, then columns, so that rows of one column are adjacent.
    std::sort(mapped.begin(), mapped.end(), [](const Mapped& a, const Mapped& b) {
        if (a.parent != b.parent) {
            return a.parent < b.parent;
        }
        return a.index.column() != b.index.column() ? a.index.column() < b.index.column()
                                                    : a.index.row() < b.index.row();
    });
    mapped.erase(
        std::unique(mapped.begin(), mapped.end(), [](const Mapped& a, const Mapped& b) { return a.index == b.index; }),
        mapped.end());

    QItemSelection result;
    result.reserve(static_cast<int>(mapped.size()));
    for (std::size_t first = 0; first < mapped.size();) {
        std::size_t last = first;
        while (last + 1 < mapped.size() && mapped[last + 1].parent == mapped[first].parent &&
               mapped[last + 1].index.column() == mapped[first].index.column() &&
               mapped[last + 1].index.row() == mapped[last].index.row() + 1) {
            ++last;
        }
        result.append(QItemSelectionRange(mapped[first].index, mapped[last].index));
        first = last + 1;
    }
    return result;
}

} // namespace

ProxyModel::ProxyModel(QObject* parent)
    : QAbstractProxyModel(parent), m_selectionModel(new QItemSelectionModel(this, this))
{
    connect(m_selectionModel, &QItemSelectionModel::selectionChanged, this, &ProxyModel::doRecursiveSelection);
}

ProxyModel::~ProxyModel() = default;

void ProxyModel::setSourceModel(QAbstractItemModel* source)
{
    for (const QMetaObject::Connection& connection : qAsConst(m_sourceConnections)) {
        disconnect(connection);
    }
    m_sourceConnections.clear();
    m_removalPending = false;
    QAbstractProxyModel::setSourceModel(source);
    if (!source) {
        return;
    }
    // Through the virtual slots, so that subclasses decide what a change
    // of the source means for them.
    m_sourceConnections = {
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                    sourceDataChanged(topLeft, bottomRight);
                }),
        connect(
            source, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) { rowsInsertedInSourceModel(parent, first, last); }),
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex& parent, int first, int last) {
                    rowsAboutToBeRemovedInSourceModel(parent, first, last);
                }),
        connect(source, &QAbstractItemModel::rowsRemoved, this, &ProxyModel::rowsRemovedInSourceModel),
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { sourceLayoutAboutToBeChanged(); }),
        connect(source, &QAbstractItemModel::layoutChanged, this, [this] { sourceLayoutChanged(); }),
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { sourceModelAboutToBeReset(); }),
        connect(source, &QAbstractItemModel::modelReset, this, [this] { sourceModelReset(); }),
        // A source deleted under the proxy leaves it empty, rather than
        // answering with the rows of a model that is gone.
        connect(source, &QObject::destroyed, this, [this] { setSourceModel(nullptr); }),
    };
}

Model* ProxyModel::model() const
{
    return qobject_cast<Model*>(sourceModel());
}

QItemSelection ProxyModel::mapSelectionToSource(const QItemSelection& selection) const
{
    return mapSelection(selection, [this](const QModelIndex& index) { return mapToSource(index); });
}

QItemSelection ProxyModel::mapSelectionFromSource(const QItemSelection& selection) const
{
    return mapSelection(selection, [this](const QModelIndex& index) { return mapFromSource(index); });
}

QList<QModelIndex> ProxyModel::prepareIndexListToSource(const QList<QModelIndex>& proxyIndexes) const
{
    QList<QModelIndex> sourceIndexes;
    QSet<QModelIndex> seen;
    sourceIndexes.reserve(proxyIndexes.size());
    for (const QModelIndex& proxyIndex : proxyIndexes) {
        const QModelIndex source = mapToSource(proxyIndex);
        if (!source.isValid()) {
            continue;
        }
        const QModelIndex first = source.sibling(source.row(), 0);
        if (!seen.contains(first)) {
            seen.insert(first);
            sourceIndexes.append(first);
        }
    }
    return sourceIndexes;
}

void ProxyModel::toggleVisibility(const QList<QModelIndex>& proxyIndexes)
{
    Model* document = model();
    if (!document) {
        return;
    }
    document->toggleVisibility(prepareIndexListToSource(proxyIndexes));
    visibilityChanged(proxyIndexes);
}

void ProxyModel::setVisibility(const QList<QModelIndex>& proxyIndexes, bool visible)
{
    Model* document = model();
    if (!document) {
        return;
    }
    const QList<QModelIndex> sourceIndexes = prepareIndexListToSource(proxyIndexes);
    if (visible) {
        document->show(sourceIndexes);
    } else {
        document->hide(sourceIndexes);
    }
    visibilityChanged(proxyIndexes);
}

int ProxyModel::headerColumnCount() const
{
    return columnCount();
}

QList<QModelIndex> ProxyModel::childIndexes(const QModelIndex& parent) const
{
    QList<QModelIndex> children;
    const int rows = rowCount(parent);
    children.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        children.append(index(row, 0, parent));
    }
    return children;
}

void ProxyModel::saveViewState() {}

void ProxyModel::restoreViewState() {}

void ProxyModel::refreshColumns() {}

void ProxyModel::visibilityChanged(const QList<QModelIndex>& proxyIndexes)
{
    emit itemsVisibilityChanged(proxyIndexes);
}

void ProxyModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid()) {
        return;
    }
    // The mapping is the subclass's: a source range need not stay a range,
    // nor under one parent. Each proxy parent gets one signal over the
    // smallest range that holds its changed cells.
    struct Range
    {
        QModelIndex parent;
        int top, left, bottom, right;
    };
    std::vector<Range> ranges;
    const QModelIndex parent = topLeft.parent();
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            const QModelIndex proxy = mapFromSource(sourceModel()->index(row, column, parent));
            if (!proxy.isValid()) {
                continue;
            }
            const QModelIndex proxyParent = proxy.parent();
            auto range = std::find_if(ranges.begin(), ranges.end(),
                                      [&](const Range& known) { return known.parent == proxyParent; });
            if (range == ranges.end()) {
                ranges.push_back({proxyParent, proxy.row(), proxy.column(), proxy.row(), proxy.column()});
                continue;
            }
            range->top = qMin(range->top, proxy.row());
            range->left = qMin(range->left, proxy.column());
            range->bottom = qMax(range->bottom, proxy.row());
            range->right = qMax(range->right, proxy.column());
        }
    }
    for (const Range& range : ranges) {
        emit dataChanged(index(range.top, range.left, range.parent), index(range.bottom, range.right, range.parent));
    }
}

void ProxyModel::selectChildren()
{
    QItemSelection children;
    QList<QModelIndex> pending = m_selectionModel->selectedRows(0);
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeLast();
        const int rows = rowCount(parent);
        if (rows == 0) {
            continue;
        }
        children.select(index(0, 0, parent), index(rows - 1, 0, parent));
        pending.append(childIndexes(parent));
    }
    if (!children.isEmpty()) {
        m_selectionModel->select(children, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void ProxyModel::rowsInsertedInSourceModel(const QModelIndex&, int, int)
{
    // Where new source rows go depends on the subclass's mapping: without
    // it, views can only start afresh.
    beginResetModel();
    endResetModel();
}

void ProxyModel::rowsAboutToBeRemovedInSourceModel(const QModelIndex&, int, int)
{
    if (!m_removalPending) {
        m_removalPending = true;
        beginResetModel();
    }
}

void ProxyModel::rowsRemovedInSourceModel()
{
    if (m_removalPending) {
        m_removalPending = false;
        endResetModel();
    }
}

void ProxyModel::doRecursiveSelection(const QItemSelection& selected, const QItemSelection&)
{
    if (m_recursiveSelection && !selected.isEmpty()) {
        selectChildren();
    }
}

void ProxyModel::sourceLayoutAboutToBeChanged()
{
    emit layoutAboutToBeChanged();
    // Remember where the persistent indexes point in the source, to move
    // them once the source has settled.
    m_layoutProxyIndexes = persistentIndexList();
    m_layoutSourceIndexes.clear();
    m_layoutSourceIndexes.reserve(m_layoutProxyIndexes.size());
    for (const QModelIndex& proxy : qAsConst(m_layoutProxyIndexes)) {
        m_layoutSourceIndexes.append(QPersistentModelIndex(mapToSource(proxy)));
    }
}

void ProxyModel::sourceLayoutChanged()
{
    QModelIndexList moved;
    moved.reserve(m_layoutSourceIndexes.size());
    for (const QPersistentModelIndex& source : qAsConst(m_layoutSourceIndexes)) {
        moved.append(mapFromSource(source));
    }
    changePersistentIndexList(m_layoutProxyIndexes, moved);
    m_layoutProxyIndexes.clear();
    m_layoutSourceIndexes.clear();
    emit layoutChanged();
}

void ProxyModel::sourceModelAboutToBeReset()
{
    beginResetModel();
}

void ProxyModel::sourceModelReset()
{
    endResetModel();
}

} // namespace Orvane
