#pragma once

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QSet>

namespace Orvane {

/// Base of the host's document models: an item model with a selection model
/// and per-item visibility (column 0's check state).
class Model : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit Model(QObject* parent = nullptr);
    ~Model() override;

    QItemSelectionModel* selectionModel() const { return m_selectionModel; }

    /// Text naming the kind of model, e.g. "IFC 2x3".
    virtual QString modelTypeName() const = 0;

    virtual void hide(const QList<QModelIndex>& indexes);
    virtual void show(const QList<QModelIndex>& indexes);
    virtual void toggleVisibility(const QList<QModelIndex>& indexes);
    virtual bool isVisible(const QModelIndex& index) const;

    /// Whether an operation (a computation, say) is rewriting the model:
    /// meanwhile it is neither saved, exported nor closed, as what would be
    /// written is half done. Set and read on the model's thread.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

signals:
    void visibilityChanged(const QList<QModelIndex>& indexes);
    void busyChanged(bool busy);

protected:
    /// Records the visibility of the rows of indexes; views learn it through
    /// dataChanged over each changed row.
    void setRowsVisible(const QList<QModelIndex>& indexes, bool visible);
    /// How views show the row of a hidden item, greyed and in italics, for
    /// the foreground and font roles; invalid for other roles and for
    /// visible items.
    QVariant visibilityStyle(const QModelIndex& index, int role) const;

private:
    QItemSelectionModel* m_selectionModel;
    QSet<QPersistentModelIndex> m_hidden; // column 0 of hidden items
    bool m_busy = false;
};

} // namespace Orvane
