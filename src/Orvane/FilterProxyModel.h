#pragma once

#include <QItemSelectionModel>
#include <QSortFilterProxyModel>

namespace Orvane {

/// Base of the host's sorting and filtering layers over a proxy model: a
/// QSortFilterProxyModel with a selection model of its own, which views
/// install so that their selection is expressed in this model's indexes.
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
    QItemSelectionModel* m_selectionModel;
};

} // namespace Orvane
