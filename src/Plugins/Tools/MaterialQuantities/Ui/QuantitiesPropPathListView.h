#pragma once

#include <QListView>
#include <QVector>

namespace Orvane {

class QuantitiesPropPathListModel;

/// Shows a QuantitiesPropPathListModel: paths are edited in place, the
/// current one is deleted with the Delete key, and paths are reordered by
/// dragging them onto another path, after which they land.
///
/// A move is done by the view in one step when the paths are dropped (a row
/// move of the model), so nothing is left to remove once the drag ends and a
/// path dropped onto itself or its neighbour is neither lost nor duplicated.
/// Drops of anything but the list's own paths are refused.
class QuantitiesPropPathListView : public QListView
{
    Q_OBJECT
public:
    explicit QuantitiesPropPathListView(QWidget* parent = nullptr);
    ~QuantitiesPropPathListView() override;

    /// Also installs the selection model of a QuantitiesPropPathListModel and
    /// enables moving its paths by dragging.
    void setModel(QAbstractItemModel* model) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// The rows of this view's list that a drag of its own carries.
    QVector<int> getDraggedRows(const QDropEvent* event) const;
    /// The same, when they are over a path they can be moved after.
    QVector<int> getMovedRows(const QDropEvent* event) const;
    void movePaths(const QVector<int>& rows, int destinationRow);

    QuantitiesPropPathListModel* pathListModel = nullptr;
};

} // namespace Orvane
