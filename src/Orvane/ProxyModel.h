#pragma once

#include <QAbstractProxyModel>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>

namespace Orvane {

class Model;

/// Base of the host's views onto a document model (Model): a proxy with its
/// own selection model, the visibility operations of the document model
/// expressed in proxy indexes, and slots that follow the source model's
/// changes. Subclasses provide the mapping (index, parent, rowCount,
/// columnCount, mapToSource, mapFromSource) and may override the slots.
class ProxyModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    explicit ProxyModel(QObject* parent = nullptr);
    ~ProxyModel() override;

    /// Also connects the source model's change signals to the protected
    /// slots below; null detaches the proxy.
    void setSourceModel(QAbstractItemModel* sourceModel) override;

    /// The selection over this proxy's indexes; owned by the proxy.
    QItemSelectionModel* selectionModel() const { return m_selectionModel; }
    /// The source as a document model, null when it is another kind.
    Model* model() const;

    /// Whether selecting an item also selects its descendants.
    void setRecursiveSelection(bool recursive) { m_recursiveSelection = recursive; }
    bool isRecursiveSelection() const { return m_recursiveSelection; }

    /// Each index mapped, then gathered into one range per run of rows: the
    /// default makes a range of every index, and several proxy columns may
    /// stand for one source index, which would then be listed many times.
    QItemSelection mapSelectionToSource(const QItemSelection& selection) const override;
    QItemSelection mapSelectionFromSource(const QItemSelection& selection) const override;

    /// Proxy indexes to source indexes: invalid mappings are dropped, and a
    /// source row appears once, in column 0, whatever columns were passed.
    QList<QModelIndex> prepareIndexListToSource(const QList<QModelIndex>& proxyIndexes) const;

    /// Toggles or sets the visibility of the items of the proxy indexes in
    /// the document model.
    virtual void toggleVisibility(const QList<QModelIndex>& proxyIndexes);
    virtual void setVisibility(const QList<QModelIndex>& proxyIndexes, bool visible);

    /// Number of columns that the host's column menus and exports offer.
    virtual int headerColumnCount() const;
    /// Column-0 children of a proxy index, as tree views expand them.
    virtual QList<QModelIndex> childIndexes(const QModelIndex& parent) const;
    /// Hooks around a change of the columns that views keep state for
    /// (widths, order); nothing to do in a plain proxy.
    virtual void saveViewState();
    virtual void restoreViewState();
    virtual void refreshColumns();

signals:
    /// The items of these proxy indexes were shown or hidden.
    void itemsVisibilityChanged(const QList<QModelIndex>& proxyIndexes);

protected:
    /// Called after the visibility of the items of these proxy indexes was
    /// changed through this proxy.
    virtual void visibilityChanged(const QList<QModelIndex>& proxyIndexes);

protected slots:
    virtual void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    virtual void selectChildren();
    virtual void rowsInsertedInSourceModel(const QModelIndex& parent, int first, int last);
    virtual void rowsAboutToBeRemovedInSourceModel(const QModelIndex& parent, int first, int last);
    virtual void doRecursiveSelection(const QItemSelection& selected, const QItemSelection& deselected);

    virtual void sourceLayoutAboutToBeChanged();
    virtual void sourceLayoutChanged();
    virtual void sourceModelAboutToBeReset();
    virtual void sourceModelReset();

private slots:
    void rowsRemovedInSourceModel();

private:
    QItemSelectionModel* m_selectionModel;
    QList<QMetaObject::Connection> m_sourceConnections;
    QModelIndexList m_layoutProxyIndexes;
    QList<QPersistentModelIndex> m_layoutSourceIndexes;
    bool m_recursiveSelection = false;
    /// A removal announced by the base's rowsAboutToBeRemovedInSourceModel
    /// that rowsRemovedInSourceModel must close.
    bool m_removalPending = false;
};

} // namespace Orvane
