#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>
#include <QVector>

class QItemSelectionModel;

namespace Orvane {

/// An ordered list of base-quantity property paths, with one more, last row
/// that invites the user to add a path: editing that row appends one.
///
/// Paths are edited in place, removed, inserted and moved within the list;
/// every change is announced through the usual model signals (dataChanged for
/// an edit, the row signals for insertions, removals and moves), so a holder
/// of a copy of the list listens to all of them. Dragged paths travel as
/// "application/vnd.text.list": a QDataStream of one QString per path.
class QuantitiesPropPathListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit QuantitiesPropPathListModel(QObject* parent = nullptr);
    ~QuantitiesPropPathListModel() override;

    /// The paths and the new-path row under the root; no rows under an item.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Replaces a path, or appends one when given to the new-path row. An
    /// empty text is refused: clearing a path in the editor keeps it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    /// Inserts the dragged paths right after the path dropped onto, or at row
    /// when dropped between rows (-1: at the end of the list).
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    /// Inserts empty paths at row, at most at the end of the paths.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    /// Removes paths; the new-path row is never removed.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    /// Moves paths before destinationChild (at most the new-path row).
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList getPropertyPaths() const;
    void setPropertyPaths(const QStringList& propertyPaths);
    /// Removes the path at row; any other row is left alone.
    void removePropertyPath(int row);
    /// Whether index is one of this model's path rows (not the new-path row).
    bool isPathRow(const QModelIndex& index) const;
    /// The rows whose paths data carries when this model made it (mimeData)
    /// and the rows still hold those paths; otherwise none.
    QVector<int> getDraggedRows(const QMimeData* data) const;

    /// What is said of a path as its tooltip; a path marked unresolved also
    /// shows a warning icon. Notes stay with the path text, wherever it moves.
    void setPathNote(const QString& path, const QString& note, bool unresolved);

    /// A selection model over this list, for the view that shows it.
    QItemSelectionModel* getSelectionModel() const { return selectionModel; }

private:
    struct PathNote
    {
        QString text;
        bool unresolved = false;
    };

    QVariant noteData(const QString& path, int role) const;

    QStringList paths;
    QHash<QString, PathNote> notes;
    QItemSelectionModel* selectionModel;
};

} // namespace Orvane
