#include "QuantitiesPropPathListModel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QStyle>

namespace Orvane {

namespace {
const QString pathListMimeType = QStringLiteral("application/vnd.text.list");
// Which rows of which list in which process a drag carries, so that the list
// tells a drag of its own paths (a move) from any other data of that type.
const QString draggedRowsMimeType = QStringLiteral("application/x-orvane-quantities-path-rows");

QStringList readPaths(const QByteArray& payload)
{
    QStringList paths;
    QDataStream stream(payload);
    while (!stream.atEnd()) {
        QString path;
        stream >> path;
        if (stream.status() != QDataStream::Ok) {
            break; // a truncated payload gives the paths read so far
        }
        if (!path.isEmpty()) {
            paths.append(path);
        }
    }
    return paths;
}
} // namespace

QuantitiesPropPathListModel::QuantitiesPropPathListModel(QObject* parent)
    : QAbstractListModel(parent), selectionModel(new QItemSelectionModel(this, this))
{
}

QuantitiesPropPathListModel::~QuantitiesPropPathListModel() = default;

int QuantitiesPropPathListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : paths.size() + 1;
}

QVariant QuantitiesPropPathListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() > paths.size()) {
        return QVariant();
    }
    if (index.row() < paths.size() && (role == Qt::ToolTipRole || role == Qt::DecorationRole)) {
        return noteData(paths.at(index.row()), role);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return QVariant();
    }
    if (index.row() < paths.size()) {
        return paths.at(index.row());
    }
    // The editor of the new-path row opens empty.
    return role == Qt::DisplayRole ? tr("+ New property path") : QString();
}

bool QuantitiesPropPathListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !checkIndex(index) || !value.isValid() || role != Qt::EditRole) {
        return false;
    }
    const QString path = value.toString();
    if (path.isEmpty()) {
        return false;
    }
    const int row = index.row();
    if (row < paths.size()) {
        paths[row] = path;
    } else {
        beginInsertRows(QModelIndex(), row, row);
        paths.append(path);
        endInsertRows();
    }
    emit dataChanged(index, index);
    return true;
}

QVariant QuantitiesPropPathListModel::noteData(const QString& path, int role) const
{
    const auto note = notes.constFind(path);
    if (note == notes.constEnd()) {
        return QVariant();
    }
    if (role == Qt::ToolTipRole) {
        return note->text;
    }
    return note->unresolved ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning) : QVariant();
}

void QuantitiesPropPathListModel::setPathNote(const QString& path, const QString& note, bool unresolved)
{
    const auto known = notes.constFind(path);
    if (known != notes.constEnd() && known->text == note && known->unresolved == unresolved) {
        return;
    }
    notes.insert(path, {note, unresolved});
    for (int row = 0; row < paths.size(); ++row) {
        if (paths.at(row) == path) {
            emit dataChanged(index(row), index(row), {Qt::ToolTipRole, Qt::DecorationRole});
        }
    }
}

QStringList QuantitiesPropPathListModel::mimeTypes() const
{
    return {pathListMimeType};
}

QMimeData* QuantitiesPropPathListModel::mimeData(const QModelIndexList& indexes) const
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    QVector<int> rows;
    for (const QModelIndex& index : indexes) {
        // Only paths travel: the new-path row's invitation is no path.
        if (isPathRow(index)) {
            stream << paths.at(index.row());
            rows.append(index.row());
        }
    }
    QByteArray origin;
    QDataStream originStream(&origin, QIODevice::WriteOnly);
    originStream << QCoreApplication::applicationPid() << quint64(reinterpret_cast<quintptr>(this)) << rows;
    auto* data = new QMimeData;
    data->setData(pathListMimeType, payload);
    data->setData(draggedRowsMimeType, origin);
    return data;
}

QVector<int> QuantitiesPropPathListModel::getDraggedRows(const QMimeData* data) const
{
    if (!data || !data->hasFormat(draggedRowsMimeType)) {
        return {};
    }
    QDataStream stream(data->data(draggedRowsMimeType));
    qint64 processId = 0;
    quint64 model = 0;
    QVector<int> rows;
    stream >> processId >> model >> rows;
    if (stream.status() != QDataStream::Ok || processId != QCoreApplication::applicationPid() ||
        model != quint64(reinterpret_cast<quintptr>(this))) {
        return {};
    }
    // The rows must still hold the paths that were dragged.
    const QStringList dragged = readPaths(data->data(pathListMimeType));
    if (dragged.size() != rows.size()) {
        return {};
    }
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.at(i) < 0 || rows.at(i) >= paths.size() || paths.at(rows.at(i)) != dragged.at(i)) {
            return {};
        }
    }
    return rows;
}

bool QuantitiesPropPathListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                               const QModelIndex& parent)
{
    if (!data || (action != Qt::MoveAction && action != Qt::CopyAction)) {
        return false;
    }
    int insertionRow = row;
    if (parent.isValid()) {
        insertionRow = parent.row() + 1;
    } else if (row < 0) {
        insertionRow = paths.size();
    }
    if (insertionRow > paths.size() || !data->hasFormat(pathListMimeType)) {
        return false;
    }
    const QStringList dropped = readPaths(data->data(pathListMimeType));
    if (dropped.isEmpty() || !insertRows(insertionRow, dropped.size())) {
        return false;
    }
    for (int i = 0; i < dropped.size(); ++i) {
        setData(index(insertionRow + i), dropped.at(i), Qt::EditRole);
    }
    return true;
}

Qt::DropActions QuantitiesPropPathListModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions QuantitiesPropPathListModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

bool QuantitiesPropPathListModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > paths.size() || count < 1) {
        return false;
    }
    beginInsertRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i) {
        paths.insert(row, QString());
    }
    endInsertRows();
    return true;
}

bool QuantitiesPropPathListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1) {
        return false;
    }
    const int last = qMin(row + count - 1, paths.size() - 1);
    if (row > last) {
        return false;
    }
    beginRemoveRows(parent, row, last);
    paths.erase(paths.begin() + row, paths.begin() + last + 1);
    endRemoveRows();
    return true;
}

bool QuantitiesPropPathListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                                           const QModelIndex& destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || sourceRow < 0 || count < 1 ||
        sourceRow + count > paths.size() || destinationChild < 0 || destinationChild > paths.size()) {
        return false;
    }
    // Moving rows onto themselves is no move; beginMoveRows refuses it too.
    if (destinationChild >= sourceRow && destinationChild <= sourceRow + count) {
        return false;
    }
    beginMoveRows(QModelIndex(), sourceRow, sourceRow + count - 1, QModelIndex(), destinationChild);
    const QStringList moved = paths.mid(sourceRow, count);
    paths.erase(paths.begin() + sourceRow, paths.begin() + sourceRow + count);
    const int insertionRow = destinationChild > sourceRow ? destinationChild - count : destinationChild;
    for (int i = 0; i < count; ++i) {
        paths.insert(insertionRow + i, moved.at(i));
    }
    endMoveRows();
    return true;
}

Qt::ItemFlags QuantitiesPropPathListModel::flags(const QModelIndex& index) const
{
    // The root takes no drops: paths are dropped onto paths only.
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    if (index.row() < paths.size()) {
        flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    }
    return flags;
}

QStringList QuantitiesPropPathListModel::getPropertyPaths() const
{
    return paths;
}

void QuantitiesPropPathListModel::setPropertyPaths(const QStringList& propertyPaths)
{
    beginResetModel();
    paths = propertyPaths;
    endResetModel();
}

void QuantitiesPropPathListModel::removePropertyPath(int row)
{
    if (row >= 0 && row < paths.size()) {
        removeRows(row, 1);
    }
}

bool QuantitiesPropPathListModel::isPathRow(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < paths.size();
}

} // namespace Orvane
