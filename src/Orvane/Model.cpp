#include "Model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QSet>

namespace Orvane {

Model::Model(QObject* parent) : QAbstractItemModel(parent), m_selectionModel(new QItemSelectionModel(this, this)) {}

Model::~Model() = default;

void Model::setBusy(bool busy)
{
    if (m_busy != busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

void Model::hide(const QList<QModelIndex>& indexes)
{
    setRowsVisible(indexes, false);
}

void Model::show(const QList<QModelIndex>& indexes)
{
    setRowsVisible(indexes, true);
}

void Model::toggleVisibility(const QList<QModelIndex>& indexes)
{
    QList<QModelIndex> toShow;
    QList<QModelIndex> toHide;
    for (const QModelIndex& index : indexes) {
        (isVisible(index) ? toHide : toShow).append(index);
    }
    setRowsVisible(toHide, false);
    setRowsVisible(toShow, true);
}

bool Model::isVisible(const QModelIndex& index) const
{
    return !m_hidden.contains(QPersistentModelIndex(index.sibling(index.row(), 0)));
}

QVariant Model::visibilityStyle(const QModelIndex& index, int role) const
{
    if ((role != Qt::ForegroundRole && role != Qt::FontRole) || !index.isValid() || isVisible(index)) {
        return {};
    }
    if (role == Qt::ForegroundRole) {
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    }
    QFont italic;
    italic.setItalic(true);
    return italic;
}

void Model::setRowsVisible(const QList<QModelIndex>& indexes, bool visible)
{
    QList<QModelIndex> changed;
    for (const QModelIndex& index : indexes) {
        if (!index.isValid() || index.model() != this) {
            continue;
        }
        const QModelIndex first = index.sibling(index.row(), 0);
        const bool wasVisible = !m_hidden.contains(QPersistentModelIndex(first));
        if (wasVisible == visible) {
            continue;
        }
        if (visible) {
            m_hidden.remove(QPersistentModelIndex(first));
        } else {
            m_hidden.insert(QPersistentModelIndex(first));
        }
        changed.append(first);
        // The whole row changes looks, not only its check box.
        emit dataChanged(first, first.sibling(first.row(), columnCount(first.parent()) - 1),
                         {Qt::CheckStateRole, Qt::ForegroundRole, Qt::FontRole});
    }
    if (!changed.isEmpty()) {
        emit visibilityChanged(changed);
    }
}

} // namespace Orvane
