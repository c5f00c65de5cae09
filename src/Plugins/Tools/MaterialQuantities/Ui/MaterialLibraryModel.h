#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QAbstractTableModel>

namespace Orvane {

/// The material library as the user edits it: one row per entry, the
/// shipped ones first with the user's changes in their place, then the
/// user's own. Editing a shipped row makes it the user's change of it;
/// removing that change brings the shipped entry back.
class MaterialLibraryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Name, Patterns, Density, Source, WasteCode, Category, Outlet, ColumnCount };

    explicit MaterialLibraryModel(QObject* parent = nullptr);

    void setShipped(const MaterialLibrary& shippedLibrary);
    void setUserEntries(const QList<MaterialLibrary::Entry>& entries);
    const QList<MaterialLibrary::Entry>& userEntries() const { return users; }
    /// The shipped entries with the user's, as names are matched against.
    const MaterialLibrary& library() const { return merged; }

    /// The user's own entry or the user's change of a shipped one.
    bool isUsers(int row) const;
    bool changesShipped(int row) const;
    /// Appends an entry of the user's under a name no row has; its row.
    int addUserEntry();
    /// Removes the user's entry of the row; false when the row is not the user's.
    bool removeUserEntry(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void rebuild();
    int userIndex(int row) const;
    bool isShippedName(const QString& name) const;
    bool nameTaken(const QString& name, int exceptRow) const;
    QVariant displayData(const MaterialLibrary::Entry& entry, int column) const;
    QVariant editData(const MaterialLibrary::Entry& entry, int column) const;
    bool write(MaterialLibrary::Entry& entry, int column, const QVariant& value) const;

    MaterialLibrary shipped;
    QList<MaterialLibrary::Entry> users;
    MaterialLibrary merged;
};

} // namespace Orvane
