#pragma once

#include <QListView>

namespace Orvane {

class QuantitiesPropPathListModel;

/// Shows a QuantitiesPropPathListModel: paths are edited in place, the
/// current one is deleted with the Delete key, and paths are reordered by
/// dragging them onto another path, after which they land.
///
/// A move is done by the view in one step when the paths are dropped (a row
/// move of the model), so nothing is left to remove once the drag ends and a
/// path dropped onto itself or its neighbour is neither lost nor duplicated.
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
    bool isOwnMove(const QDropEvent* event) const;
    bool isDropTarget(const QModelIndex& index) const;
    void moveSelectedPaths(int destinationRow);

    QuantitiesPropPathListModel* pathListModel = nullptr;
};

} // namespace Orvane
