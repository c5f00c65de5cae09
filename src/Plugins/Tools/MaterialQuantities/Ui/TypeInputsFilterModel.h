#pragma once

#include <QSortFilterProxyModel>

namespace Orvane {

/// The type inputs table sorted, and filtered by type name and entity
/// (case-insensitive text) and, on demand, to the types that miss an input.
class TypeInputsFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit TypeInputsFilterModel(QObject* parent = nullptr);

    void setOnlyIncomplete(bool only);
    bool onlyIncomplete() const { return incompleteOnly; }
    void setText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool incompleteOnly = false;
    QString text;
};

} // namespace Orvane
