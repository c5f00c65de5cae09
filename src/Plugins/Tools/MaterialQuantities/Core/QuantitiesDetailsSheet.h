#pragma once

#include "Orvane/CoreProperty.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

namespace Orvane {

class MaterialQuantitiesProxyModel;

namespace _ifc2x3 {
class IFC2x3Model;
}

/// The details table as the quantities workbook reads it: row after row,
/// the same cells as the table, with each element's result set read once
/// per row. The table looks a material column's value up by name in the
/// element's set, which over a row costs the number of materials squared.
///
/// The status column, an icon and a check box in the table, is headed
/// "Status" and holds the text a reader needs: "Without quantities" for an
/// element the computation gave no results, nothing otherwise.
class QuantitiesDetailsSheet : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit QuantitiesDetailsSheet(const MaterialQuantitiesProxyModel& details);
    ~QuantitiesDetailsSheet() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Whether a column holds the mass of a material.
    bool isMassColumn(int column) const;

private:
    QVariant statusData(int row) const;

    using PropertiesByName = QHash<QString, Step::RefPtr<CoreProperty>>;

    /// The result property of a material column, null when the element has none.
    Step::RefPtr<CoreProperty> resultProperty(int row, const QStringList& path) const;
    const PropertiesByName& propertySet(int row, const QString& setName) const;

    const MaterialQuantitiesProxyModel& details;
    _ifc2x3::IFC2x3Model* model;
    /// By column: the property path of a material column, empty for the others.
    QList<QStringList> materialPaths;
    mutable int cachedRow = -1;
    mutable QHash<QString, PropertiesByName> cachedSets;
};

} // namespace Orvane
