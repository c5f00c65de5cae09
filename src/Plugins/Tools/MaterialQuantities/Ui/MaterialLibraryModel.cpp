#include "MaterialLibraryModel.h"

#include <QFont>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Orvane {

MaterialLibraryModel::MaterialLibraryModel(QObject* parent) : QAbstractTableModel(parent) {}

void MaterialLibraryModel::setShipped(const MaterialLibrary& shippedLibrary)
{
    beginResetModel();
    shipped = shippedLibrary;
    rebuild();
    endResetModel();
}

void MaterialLibraryModel::setUserEntries(const QList<MaterialLibrary::Entry>& entries)
{
    beginResetModel();
    users = entries;
    for (MaterialLibrary::Entry& entry : users) {
        entry.user = true;
    }
    rebuild();
    endResetModel();
}

void MaterialLibraryModel::rebuild()
{
    merged = shipped;
    merged.addUserEntries(users);
}

int MaterialLibraryModel::userIndex(int row) const
{
    if (!isUsers(row)) {
        return -1;
    }
    const QString name = MaterialLibrary::folded(merged.entries().at(row).name);
    const auto found = std::find_if(users.cbegin(), users.cend(), [&name](const MaterialLibrary::Entry& entry) {
        return MaterialLibrary::folded(entry.name) == name;
    });
    return found == users.cend() ? -1 : int(found - users.cbegin());
}

bool MaterialLibraryModel::isShippedName(const QString& name) const
{
    const QString folded = MaterialLibrary::folded(name);
    return std::any_of(
        shipped.entries().cbegin(), shipped.entries().cend(),
        [&folded](const MaterialLibrary::Entry& entry) { return MaterialLibrary::folded(entry.name) == folded; });
}

bool MaterialLibraryModel::nameTaken(const QString& name, int exceptRow) const
{
    const QString folded = MaterialLibrary::folded(name);
    for (int row = 0; row < merged.entries().size(); ++row) {
        if (row != exceptRow && MaterialLibrary::folded(merged.entries().at(row).name) == folded) {
            return true;
        }
    }
    return false;
}

bool MaterialLibraryModel::isUsers(int row) const
{
    return row >= 0 && row < merged.entries().size() && merged.entries().at(row).user;
}

bool MaterialLibraryModel::changesShipped(int row) const
{
    return isUsers(row) && isShippedName(merged.entries().at(row).name);
}

int MaterialLibraryModel::addUserEntry()
{
    QString name = tr("New material");
    for (int number = 2; nameTaken(name, -1); ++number) {
        name = tr("New material %1").arg(number);
    }
    MaterialLibrary::Entry entry;
    entry.name = name;
    entry.user = true;
    // The user's own entries come after the shipped ones, in their order.
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    users.append(entry);
    rebuild();
    endInsertRows();
    return row;
}

bool MaterialLibraryModel::removeUserEntry(int row)
{
    const int index = userIndex(row);
    if (index < 0) {
        return false;
    }
    if (changesShipped(row)) {
        users.removeAt(index);
        rebuild();
        emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
        return true;
    }
    beginRemoveRows(QModelIndex(), row, row);
    users.removeAt(index);
    rebuild();
    endRemoveRows();
    return true;
}

int MaterialLibraryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : merged.entries().size();
}

int MaterialLibraryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MaterialLibraryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= merged.entries().size()) {
        return {};
    }
    const MaterialLibrary::Entry& entry = merged.entries().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayData(entry, index.column());
    case Qt::EditRole:
        return editData(entry, index.column());
    case Qt::FontRole: {
        QFont font;
        font.setBold(entry.user);
        return entry.user ? QVariant(font) : QVariant();
    }
    case Qt::ToolTipRole:
        if (entry.user) {
            return changesShipped(index.row()) ? tr("Your change of a shipped entry") : tr("Your entry");
        }
        return index.column() == Source ? entry.source : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Density ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant MaterialLibraryModel::displayData(const MaterialLibrary::Entry& entry, int column) const
{
    switch (column) {
    case Density:
        return QLocale().toString(entry.density);
    case Category:
        return MaterialLibrary::categoryText(entry.category);
    case Outlet:
        return MaterialLibrary::outletText(entry.outlet);
    default:
        return editData(entry, column);
    }
}

QVariant MaterialLibraryModel::editData(const MaterialLibrary::Entry& entry, int column) const
{
    switch (column) {
    case Name:
        return entry.name;
    case Patterns:
        return entry.patterns.join(QStringLiteral("; "));
    case Density:
        return entry.density;
    case Source:
        return entry.source;
    case WasteCode:
        return entry.wasteCode;
    case Category:
        return int(entry.category);
    case Outlet:
        return int(entry.outlet);
    default:
        return {};
    }
}

bool MaterialLibraryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const int row = index.row();
    MaterialLibrary::Entry entry = merged.entries().at(row);
    if (!write(entry, index.column(), value) || (index.column() == Name && nameTaken(entry.name, row))) {
        return false;
    }
    if (entry == merged.entries().at(row)) {
        return true;
    }
    entry.user = true;
    const int user = userIndex(row);
    if (user < 0) {
        users.append(entry); // the user's change of a shipped entry, in its row
    } else {
        users[user] = entry;
    }
    rebuild();
    emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    return true;
}

bool MaterialLibraryModel::write(MaterialLibrary::Entry& entry, int column, const QVariant& value) const
{
    switch (column) {
    case Name:
        entry.name = value.toString().trimmed();
        return !entry.name.isEmpty();
    case Patterns:
        entry.patterns.clear();
        for (const QString& pattern : value.toString().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!MaterialLibrary::folded(pattern).isEmpty()) {
                entry.patterns.append(MaterialLibrary::folded(pattern));
            }
        }
        return true;
    case Density: {
        bool isNumber = false;
        const double density = value.type() == QVariant::String ? QLocale().toDouble(value.toString(), &isNumber)
                                                                : value.toDouble(&isNumber);
        if (!isNumber || !std::isfinite(density) || density < 0.0) {
            return false;
        }
        entry.density = density;
        return true;
    }
    case Source:
        entry.source = value.toString().trimmed();
        return true;
    case WasteCode: {
        static const QRegularExpression code(QStringLiteral("^(\\d\\d \\d\\d \\d\\d\\*?)?$"));
        entry.wasteCode = value.toString().trimmed();
        return code.match(entry.wasteCode).hasMatch();
    }
    // A value out of the enumeration has no key, and is refused.
    case Category:
        return MaterialLibrary::categoryFromKey(MaterialLibrary::categoryKey(MaterialLibrary::Category(value.toInt())),
                                                &entry.category);
    case Outlet:
        return MaterialLibrary::outletFromKey(MaterialLibrary::outletKey(MaterialLibrary::Outlet(value.toInt())),
                                              &entry.outlet);
    default:
        return false;
    }
}

Qt::ItemFlags MaterialLibraryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    // A shipped entry is changed under its own name: the change replaces it by name.
    const bool renamable = isUsers(index.row()) && !changesShipped(index.row());
    return index.column() == Name && !renamable ? flags : flags | Qt::ItemIsEditable;
}

QVariant MaterialLibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case Name:
        return tr("Name");
    case Patterns:
        return tr("Patterns");
    case Density:
        return tr("Density (kg/m³)");
    case Source:
        return tr("Source");
    case WasteCode:
        return tr("Waste code");
    case Category:
        return tr("Category");
    case Outlet:
        return tr("Outlet");
    default:
        return {};
    }
}

} // namespace Orvane
