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
    if (isOwnMove(event)) {
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
    if (isOwnMove(event) && isDropTarget(indexAt(event->pos()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void QuantitiesPropPathListView::dropEvent(QDropEvent* event)
{
    const QModelIndex target = indexAt(event->pos());
    if (isOwnMove(event) && isDropTarget(target)) {
        // Paths dropped onto another one land right after it.
        moveSelectedPaths(target.row() + 1);
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

bool QuantitiesPropPathListView::isOwnMove(const QDropEvent* event) const
{
    // The drag enter and move handling of the internal-move mode already
    // turns away drags of other sources; the source is unknown only when
    // the drop was not preceded by a drag of this application.
    const QObject* source = event->source();
    return (!source || source == this) && (event->possibleActions() & Qt::MoveAction) && event->mimeData() &&
           event->mimeData()->hasFormat(model()->mimeTypes().value(0));
}

bool QuantitiesPropPathListView::isDropTarget(const QModelIndex& index) const
{
    // Dropping paths onto one of them is no move.
    return pathListModel && pathListModel->isPathRow(index) && !selectionModel()->isSelected(index);
}

void QuantitiesPropPathListView::moveSelectedPaths(int destinationRow)
{
    QList<QPersistentModelIndex> moved;
    for (const QModelIndex& index : selectedIndexes()) {
        if (pathListModel->isPathRow(index)) {
            moved.append(index);
        }
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
