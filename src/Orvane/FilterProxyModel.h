#pragma once

#include <QItemSelectionModel>
#include <QSortFilterProxyModel>

namespace Orvane {

/// Base of the host's sorting and filtering layers over a proxy model: a
/// QSortFilterProxyModel with a selection model of its own, which views
/// install so that their selection is expressed in this model's indexes and
/// carried down to a host proxy model below.
class FilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit FilterProxyModel(QObject* parent = nullptr);
    ~FilterProxyModel() override;

    /// The selection over this model's indexes; owned by the model.
    QItemSelectionModel* selectionModel() const { return m_selectionModel; }

    /// Items dragged out of the host's views are copied, never moved: the
    /// document model keeps its items.
    Qt::DropActions supportedDragActions() const override;

private:
    /// Mirrors this model's selection, as whole source rows, in the
    /// selection model of a host proxy below, which acts on the selected
    /// items (a check-box click on one of several selected rows, say).
    void selectInSource();

    QItemSelectionModel* m_selectionModel;
};

} // namespace Orvane
