#pragma once

#include "MassDisplayUnit.h"

#include "Orvane/ProxyModel.h"

#include <QBitArray>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVector>

#include <functional>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// The host's IFC 2x3 model as a flat table: one row per building element,
/// columns status/visibility, name, type name, one per material of the
/// project's quantities set (in MaterialOrder), and the quantity property
/// path that gave the element's functional-unit value. Rows and columns are
/// built only by setSourceModel, so a new computation needs a new instance.
///
/// Masses are shown in the display unit as MassDisplayUnit tells; hidden
/// elements look as the host shows them (foreground and font roles). Rows
/// selected here are selected in the host, and the host's selection is
/// announced by hostSelectionChanged.
///
/// Cells are read from the host's property tree. The raw (edit-role) values
/// that sorting compares are kept once read, since a sort reads each cell
/// some 2 log2(n) times; a row's values are read again once the host
/// announces a change of that row (dataChanged).
class MaterialQuantitiesProxyModel : public ProxyModel
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesProxyModel(const QString& propertySetName);
    ~MaterialQuantitiesProxyModel() override;

    void setQuantitiesPropPathMap(const QMap<int, QString>& map);
    /// Finds the quantity path of an element (by its source index) that the
    /// map lacks, as for a model opened with its results; asked once a row.
    void setQuantityPathReader(std::function<QString(const QModelIndex&)> reader);
    /// Why elements (by row of the host's model) have no quantities, shown
    /// as the status cell's tooltip and in the last column.
    void setMissingReasons(const QHash<int, QString>& reasons);
    /// Shows masses in that unit from now on.
    void setMassUnit(MassDisplayUnit unit);
    /// Emits hostSelectionChanged: what views select while they follow it
    /// is not sent back to the host, whose selection may hold more than
    /// building elements.
    void followHostSelection();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setSourceModel(QAbstractItemModel* sourceModel) override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

    void toggleVisibility(const QList<QModelIndex>& proxyIndexes) override;
    void setVisibility(const QList<QModelIndex>& proxyIndexes, bool visible) override;
    int headerColumnCount() const override;
    QList<QModelIndex> childIndexes(const QModelIndex& parent) const override;
    void saveViewState() override;
    void restoreViewState() override;
    void refreshColumns() override;

    /// The icon of elements without quantities.
    static QIcon errorIcon();

signals:
    /// The host's selection changed, other than by this model's rows.
    void hostSelectionChanged();

protected slots:
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) override;
    void selectChildren() override;
    void rowsInsertedInSourceModel(const QModelIndex&, int, int) override;
    void rowsAboutToBeRemovedInSourceModel(const QModelIndex&, int, int) override;
    void doRecursiveSelection(const QItemSelection&, const QItemSelection&) override;

private:
    /// Runs a visibility change of the source between layout signals, so
    /// that views re-read the check boxes (source changes are not tracked).
    template <class Change> void changeVisibility(const QList<QModelIndex>& proxyIndexes, Change change);
    QVariant statusData(int row, const QModelIndex& source, int role) const;
    /// The edit-role value of a cell of a property column or of the status
    /// column, from the cache when known.
    QVariant editValue(int row, int column, const QModelIndex& source) const;
    QVariant readEditValue(int column, const QModelIndex& source) const;
    /// After the status, the name and the type.
    static constexpr int firstMaterialColumn = 3;
    bool isMaterialColumn(int column) const { return column >= firstMaterialColumn && column <= columnPaths.size(); }
    void readMaterialPaths(_ifc2x3::IFC2x3Model* model);
    QVariant propertyData(int row, int column, const QModelIndex& source, int role) const;

    QList<int> elementRows;
    QString propertySetName;
    QList<QStringList> columnPaths;
    /// Rows read through the reader are added, an empty path where none
    /// was found.
    mutable QMap<int, QString> quantitiesPropPathMap;
    std::function<QString(const QModelIndex&)> quantityPathReader;
    QHash<int, QString> missingReasons;
    /// Source row → position in elementRows, -1 for rows not shown, so
    /// that mapping a selection does not scan the rows once per index.
    QVector<int> positionOfRow;
    int positionOf(int sourceRow) const
    {
        return sourceRow >= 0 && sourceRow < positionOfRow.size() ? positionOfRow.at(sourceRow) : -1;
    }
    /// Edit-role values by column (status and property columns) and row;
    /// a column's storage is made on its first read.
    mutable QVector<QVector<QVariant>> editValues;
    mutable QVector<QBitArray> editValueKnown;
    MassDisplayUnit massUnit;
    QMetaObject::Connection hostSelectionConnection;
    /// Guard a selection against bouncing between the host and this model.
    bool followingHost = false;
    bool selectingInHost = false;
};

} // namespace Orvane
