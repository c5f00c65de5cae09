#include "MaterialQuantitiesProxyModel.h"

#include "MaterialOrder.h"
#include "MaterialQuantitiesCalculator.h"

#include "Orvane/Resources.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QItemSelectionModel>
#include <QScopedValueRollback>

namespace Orvane {

namespace {

_ifc2x3::IFC2x3Model* ifcModel(const QAbstractItemModel* model)
{
    // setSourceModel accepts nothing else.
    return static_cast<_ifc2x3::IFC2x3Model*>(const_cast<QAbstractItemModel*>(model));
}

} // namespace

MaterialQuantitiesProxyModel::MaterialQuantitiesProxyModel(const QString& propertySetName)
    : ProxyModel(nullptr), propertySetName(propertySetName)
{
}

MaterialQuantitiesProxyModel::~MaterialQuantitiesProxyModel() = default;

void MaterialQuantitiesProxyModel::setQuantitiesPropPathMap(const QMap<int, QString>& map)
{
    beginResetModel();
    quantitiesPropPathMap = map;
    endResetModel();
}

void MaterialQuantitiesProxyModel::setQuantityPathReader(std::function<QString(const QModelIndex&)> reader)
{
    beginResetModel();
    quantityPathReader = std::move(reader);
    endResetModel();
}

void MaterialQuantitiesProxyModel::setMissingReasons(const QHash<int, QString>& reasons)
{
    missingReasons = reasons;
    if (!elementRows.isEmpty()) {
        emit dataChanged(index(0, 0), index(elementRows.size() - 1, columnCount() - 1));
    }
}

void MaterialQuantitiesProxyModel::setMassUnit(MassDisplayUnit unit)
{
    if (unit == massUnit) {
        return;
    }
    massUnit = unit;
    const int lastMaterial = columnPaths.size();
    if (lastMaterial < firstMaterialColumn) {
        return;
    }
    emit headerDataChanged(Qt::Horizontal, firstMaterialColumn, lastMaterial);
    if (!elementRows.isEmpty()) {
        emit dataChanged(index(0, firstMaterialColumn), index(elementRows.size() - 1, lastMaterial), {Qt::DisplayRole});
    }
}

QIcon MaterialQuantitiesProxyModel::errorIcon()
{
    static const QIcon icon = [] {
        initResources();
        return QIcon(QStringLiteral(":/icons/error.svg"));
    }();
    return icon;
}

// ------------------------------------------------------------- structure

QModelIndex MaterialQuantitiesProxyModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex MaterialQuantitiesProxyModel::parent(const QModelIndex&) const
{
    return {};
}

int MaterialQuantitiesProxyModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : elementRows.size();
}

int MaterialQuantitiesProxyModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnPaths.size() + 3;
}

bool MaterialQuantitiesProxyModel::hasChildren(const QModelIndex& parent) const
{
    // Only the root has children: views and item model checks rely on the
    // root agreeing with rowCount.
    return !parent.isValid() && !elementRows.isEmpty();
}

Qt::ItemFlags MaterialQuantitiesProxyModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == 0) {
        result |= Qt::ItemIsUserCheckable;
    }
    return result;
}

QStringList MaterialQuantitiesProxyModel::mimeTypes() const
{
    return {};
}

QMimeData* MaterialQuantitiesProxyModel::mimeData(const QModelIndexList&) const
{
    return nullptr;
}

void MaterialQuantitiesProxyModel::setSourceModel(QAbstractItemModel* sourceModel)
{
    auto* model = dynamic_cast<_ifc2x3::IFC2x3Model*>(sourceModel);
    ProxyModel::setSourceModel(model);
    disconnect(hostSelectionConnection);
    if (model) {
        hostSelectionConnection =
            connect(model->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
                if (!selectingInHost) {
                    followHostSelection();
                }
            });
    }

    beginResetModel();
    elementRows.clear();
    columnPaths.clear();
    positionOfRow.clear();
    editValues.clear();
    editValueKnown.clear();
    if (!model) {
        endResetModel();
        return;
    }
    columnPaths.append({QStringLiteral("Fields"), QStringLiteral("Name")});
    columnPaths.append({QStringLiteral("Type"), QStringLiteral("Fields"), QStringLiteral("Name")});
    readMaterialPaths(model);

    elementRows = MaterialQuantitiesCalculator::getBuildingElementRows(model);
    positionOfRow.fill(-1, model->rowCount());
    for (int position = 0; position < elementRows.size(); ++position) {
        positionOfRow[elementRows.at(position)] = position;
    }
    editValues.resize(columnPaths.size() + 1);
    editValueKnown.resize(columnPaths.size() + 1);
    endResetModel();
}

void MaterialQuantitiesProxyModel::readMaterialPaths(_ifc2x3::IFC2x3Model* model)
{
    const auto& projects = model->dataSet()->getAllIfcProject();
    if (projects.empty()) {
        return;
    }
    const QModelIndex projectIndex = model->index(projects.front().get());
    const Step::RefPtr<CoreProperty> set =
        model->getProperty(projectIndex, QStringList{QStringLiteral("Properties"), propertySetName});
    const int materials = set ? set->childCount() : 0;
    QStringList names;
    QHash<QString, QStringList> pathOf;
    for (int i = 0; i < materials; ++i) {
        const Step::RefPtr<CoreProperty> material(set->getChildProperty(i));
        if (material) {
            names.append(material->name());
            pathOf.insert(material->name(), material->path());
        }
    }
    for (const QString& name : MaterialOrder::sorted(names)) {
        columnPaths.append(pathOf.value(name));
    }
}

QModelIndex MaterialQuantitiesProxyModel::mapToSource(const QModelIndex& proxyIndex) const
{
    QAbstractItemModel* source = sourceModel();
    if (!proxyIndex.isValid() || !source || proxyIndex.row() >= elementRows.size()) {
        return {};
    }
    const int row = elementRows.at(proxyIndex.row());
    return row >= 0 ? source->index(row, 0) : QModelIndex();
}

QModelIndex MaterialQuantitiesProxyModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || !sourceModel()) {
        return {};
    }
    const int position = positionOf(sourceIndex.row());
    return position < 0 ? QModelIndex() : createIndex(position, 0);
}

// ------------------------------------------------------------------ data

QVariant MaterialQuantitiesProxyModel::readEditValue(int column, const QModelIndex& source) const
{
    const auto* model = ifcModel(sourceModel());
    if (column == 0) {
        const Step::RefPtr<CoreProperty> set =
            model->getProperty(source, {QStringLiteral("Properties"), propertySetName});
        return MaterialQuantitiesCalculator::holdsQuantities(set.get()) ? 0 : 1;
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(source, columnPaths.at(column - 1));
    return property ? property->value() : QVariant();
}

QVariant MaterialQuantitiesProxyModel::editValue(int row, int column, const QModelIndex& source) const
{
    QBitArray& known = editValueKnown[column];
    QVector<QVariant>& values = editValues[column];
    if (known.isEmpty()) {
        known.resize(elementRows.size());
        values.resize(elementRows.size());
    }
    if (!known.testBit(row)) {
        values[row] = readEditValue(column, source);
        known.setBit(row);
    }
    return values.at(row);
}

QVariant MaterialQuantitiesProxyModel::statusData(int row, const QModelIndex& source, int role) const
{
    if (role == Qt::CheckStateRole) {
        bool ok = false;
        const int state = sourceModel()->data(source, Qt::CheckStateRole).toInt(&ok);
        return ok ? QVariant(state) : QVariant();
    }
    if (role == Qt::ToolTipRole) {
        return missingReasons.value(source.row());
    }
    // Only these roles tell an element with quantities from one without.
    if (role != Qt::DecorationRole && role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    const QVariant status = editValue(row, 0, source); // 1: no quantities
    if (role == Qt::EditRole) {
        return status;
    }
    if (status.toInt() == 0) {
        return {};
    }
    return role == Qt::DecorationRole ? QVariant(errorIcon()) : QVariant(QString());
}

QVariant MaterialQuantitiesProxyModel::propertyData(int row, int column, const QModelIndex& source, int role) const
{
    if (role == Qt::EditRole) {
        return editValue(row, column, source);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (isMaterialColumn(column)) {
        // A number for the view's delegate to write in its locale.
        const QVariant kilograms = editValue(row, column, source);
        return kilograms.userType() == QMetaType::Double ? QVariant(massUnit.fromKilograms(kilograms.toDouble()))
                                                         : kilograms;
    }
    const Step::RefPtr<CoreProperty> property =
        ifcModel(sourceModel())->getProperty(source, columnPaths.at(column - 1));
    return property ? property->displayValue() : QVariant();
}

QVariant MaterialQuantitiesProxyModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !sourceModel()) {
        return {};
    }
    const QModelIndex source = mapToSource(index);
    if (role == Qt::ForegroundRole || role == Qt::FontRole) {
        // Hidden elements look as the host shows them.
        return sourceModel()->data(source, role);
    }
    const int column = index.column();
    if (column == 0) {
        return statusData(index.row(), source, role);
    }
    if (column <= columnPaths.size()) {
        return propertyData(index.row(), column, source, role);
    }
    if (column == columnPaths.size() + 2 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        return missingReasons.value(source.row());
    }
    if (column == columnPaths.size() + 1 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        auto path = quantitiesPropPathMap.constFind(source.row());
        if (path == quantitiesPropPathMap.constEnd() && quantityPathReader) {
            path = quantitiesPropPathMap.insert(source.row(), quantityPathReader(source));
        }
        return path == quantitiesPropPathMap.constEnd() || path->isEmpty() ? tr("Not found") : *path;
    }
    return {};
}

bool MaterialQuantitiesProxyModel::setData(const QModelIndex& index, const QVariant&, int role)
{
    if (role != Qt::CheckStateRole || !sourceModel() || !index.isValid() || !selectionModel()) {
        return false;
    }
    const QList<QModelIndex> selected = selectionModel()->selectedRows(0);
    bool ok = false;
    const int state = data(index.sibling(index.row(), 0), Qt::CheckStateRole).toInt(&ok);
    if (!ok) {
        return false;
    }
    // A click on one of several selected rows applies to all of them.
    const QList<QModelIndex> targets = selected.contains(index) ? selected : QList<QModelIndex>{index};
    setVisibility(targets, state == Qt::Unchecked);
    return true;
}

QVariant MaterialQuantitiesProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section <= 0 || section > columnPaths.size() + 2) {
        return {};
    }
    if (isMaterialColumn(section) && (role == Qt::DisplayRole || role == MassDisplayUnit::SymbolRole)) {
        const QString& name = columnPaths.at(section - 1).last();
        return role == Qt::DisplayRole ? massUnit.title(name) : massUnit.symbol();
    }
    // The edit role: the title without the unit, as the workbook heads its columns.
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        // Checked first: without a source the path and reason columns are
        // the second and third ones.
        if (section == columnPaths.size() + 1) {
            return tr("Quantity property path");
        }
        if (section == columnPaths.size() + 2) {
            return tr("Reason");
        }
        if (section == 1) {
            return tr("Name");
        }
        if (section == 2) {
            return tr("Type");
        }
        return columnPaths.at(section - 1).last();
    }
    if (role == Qt::ToolTipRole && section <= columnPaths.size()) {
        return columnPaths.at(section - 1);
    }
    return {};
}

// ------------------------------------------------------------ visibility

template <class Change>
void MaterialQuantitiesProxyModel::changeVisibility(const QList<QModelIndex>& proxyIndexes, Change change)
{
    Model* document = model();
    if (!document) {
        return;
    }
    emit layoutAboutToBeChanged();
    change(*document, prepareIndexListToSource(proxyIndexes));
    emit layoutChanged();
    visibilityChanged(proxyIndexes);
}

void MaterialQuantitiesProxyModel::toggleVisibility(const QList<QModelIndex>& proxyIndexes)
{
    changeVisibility(proxyIndexes,
                     [](Model& document, const QList<QModelIndex>& sources) { document.toggleVisibility(sources); });
}

void MaterialQuantitiesProxyModel::setVisibility(const QList<QModelIndex>& proxyIndexes, bool visible)
{
    changeVisibility(proxyIndexes, [visible](Model& document, const QList<QModelIndex>& sources) {
        if (visible) {
            document.show(sources);
        } else {
            document.hide(sources);
        }
    });
}

// ------------------------------------------------------------- selection

// The selection model is this proxy's own: a selection made here reaches
// the host's model, whatever the host's views show.
void MaterialQuantitiesProxyModel::followHostSelection()
{
    const QScopedValueRollback<bool> following(followingHost, true);
    emit hostSelectionChanged();
}

void MaterialQuantitiesProxyModel::doRecursiveSelection(const QItemSelection&, const QItemSelection&)
{
    Model* document = model();
    if (!document || followingHost) {
        return;
    }
    const QItemSelection elements = mapSelectionToSource(selectionModel()->selection());
    const QScopedValueRollback<bool> selecting(selectingInHost, true);
    QItemSelectionModel* hostSelection = document->selectionModel();
    hostSelection->select(elements, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!elements.isEmpty()) {
        // The host's views scroll to their current index.
        hostSelection->setCurrentIndex(elements.first().topLeft(), QItemSelectionModel::NoUpdate);
    }
}

// ------------------------------------------------ host hooks left unused

int MaterialQuantitiesProxyModel::headerColumnCount() const
{
    return columnCount();
}

QList<QModelIndex> MaterialQuantitiesProxyModel::childIndexes(const QModelIndex&) const
{
    return {};
}

void MaterialQuantitiesProxyModel::saveViewState() {}

void MaterialQuantitiesProxyModel::restoreViewState() {}

void MaterialQuantitiesProxyModel::refreshColumns() {}

// Source changes are not followed: rows and columns are those of the
// computation the instance was built for. The values kept for sorting are
// read again from a changed row, and views are told of the changed rows.
void MaterialQuantitiesProxyModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid()) {
        return;
    }
    int first = elementRows.size();
    int last = -1;
    for (int sourceRow = topLeft.row(); sourceRow <= bottomRight.row(); ++sourceRow) {
        const int position = positionOf(sourceRow);
        if (position < 0) {
            continue;
        }
        first = qMin(first, position);
        last = qMax(last, position);
        for (QBitArray& known : editValueKnown) {
            if (!known.isEmpty()) {
                known.clearBit(position);
            }
        }
    }
    if (last >= 0) {
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    }
}

void MaterialQuantitiesProxyModel::selectChildren() {}

void MaterialQuantitiesProxyModel::rowsInsertedInSourceModel(const QModelIndex&, int, int) {}

void MaterialQuantitiesProxyModel::rowsAboutToBeRemovedInSourceModel(const QModelIndex&, int, int) {}

} // namespace Orvane
