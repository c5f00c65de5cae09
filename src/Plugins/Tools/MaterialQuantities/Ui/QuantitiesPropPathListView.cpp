#include "QuantitiesPropPathListView.h"

#include "QuantitiesPropPathListModel.h"

#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QPersistentModelIndex>

#include <algorithm>

namespace Orvane {

QuantitiesPropPathListView::QuantitiesPropPathListView(QWidget* parent) : QListView(parent) {}

QuantitiesPropPathListView::~QuantitiesPropPathListView() = default;

void QuantitiesPropPathListView::setModel(QAbstractItemModel* model)
{
    QAbstractItemView::setModel(model);
    pathListModel = qobject_cast<QuantitiesPropPathListModel*>(model);
    if (pathListModel && pathListModel->getSelectionModel()) {
        QItemSelectionModel* ownSelectionModel = selectionModel();
        setSelectionModel(pathListModel->getSelectionModel());
        if (ownSelectionModel != selectionModel()) {
            delete ownSelectionModel;
        }
    }
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDropIndicatorShown(true);
}

void QuantitiesPropPathListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && pathListModel && selectionModel()) {
        const QModelIndex current = selectionModel()->currentIndex();
        if (current.isValid()) {
            pathListModel->removePropertyPath(current.row());
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void QuantitiesPropPathListView::startDrag(Qt::DropActions)
{
    QModelIndexList indexes = selectedIndexes();
    indexes.erase(
        std::remove_if(indexes.begin(), indexes.end(),
                       [this](const QModelIndex& index) { return !(model()->flags(index) & Qt::ItemIsDragEnabled); }),
        indexes.end());
    if (indexes.isEmpty()) {
        return;
    }
    QMimeData* data = model()->mimeData(indexes);
    if (!data) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(visualRect(indexes.first())));
    // The drop has moved the paths already: unlike the base class, nothing
    // is removed once the drag ends.
    drag->exec(Qt::MoveAction);
}

void QuantitiesPropPathListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!getDraggedRows(event).isEmpty()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        setState(DraggingState);
    } else {
        event->ignore();
    }
}

void QuantitiesPropPathListView::dragMoveEvent(QDragMoveEvent* event)
{
    QListView::dragMoveEvent(event); // scrolls and shows where the paths would land
    if (!getMovedRows(event).isEmpty()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void QuantitiesPropPathListView::dropEvent(QDropEvent* event)
{
    const QVector<int> rows = getMovedRows(event);
    if (!rows.isEmpty()) {
        // Paths dropped onto another one land right after it.
        movePaths(rows, indexAt(event->pos()).row() + 1);
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

QVector<int> QuantitiesPropPathListView::getDraggedRows(const QDropEvent* event) const
{
    // Only this list's own paths are moved: data of the same type from
    // anywhere else carries no rows of this list.
    if (!pathListModel || !(event->possibleActions() & Qt::MoveAction)) {
        return {};
    }
    return pathListModel->getDraggedRows(event->mimeData());
}

QVector<int> QuantitiesPropPathListView::getMovedRows(const QDropEvent* event) const
{
    const QModelIndex target = indexAt(event->pos());
    const QVector<int> rows = getDraggedRows(event);
    // Dropping paths onto one of them is no move.
    if (!pathListModel || !pathListModel->isPathRow(target) || rows.contains(target.row())) {
        return {};
    }
    return rows;
}

void QuantitiesPropPathListView::movePaths(const QVector<int>& rows, int destinationRow)
{
    QList<QPersistentModelIndex> moved;
    for (const int row : rows) {
        moved.append(pathListModel->index(row));
    }
    std::sort(moved.begin(), moved.end());
    // The moved paths keep their order and end up next to each other.
    int destination = destinationRow;
    for (const QPersistentModelIndex& index : qAsConst(moved)) {
        if (destination != index.row() && destination != index.row() + 1) {
            pathListModel->moveRows(QModelIndex(), index.row(), 1, QModelIndex(), destination);
        }
        destination = index.row() + 1;
    }
}

} // namespace Orvane
