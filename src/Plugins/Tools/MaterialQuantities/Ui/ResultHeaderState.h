#pragma once

#include <QHash>
#include <QString>

class QHeaderView;

namespace Orvane {

/// What the user made of a result view's columns, their widths and the
/// sort, kept across the result models that the dock makes anew after each
/// computation. Columns are known by their titles (the header's edit role,
/// without the mass unit), as materials come and go between computations.
class ResultHeaderState
{
public:
    /// Until the user sorts, the view is sorted by that section (-1: none).
    explicit ResultHeaderState(int defaultSortSection = -1, Qt::SortOrder defaultSortOrder = Qt::AscendingOrder);

    /// Notes the widths and the sort of the header's columns; nothing
    /// without a model.
    void remember(const QHeaderView& header);
    /// Gives the header of a new model the widths and the sort noted, and
    /// sorts the model; columns seen for the first time fit their contents,
    /// once the view shows: a hidden table would measure every row.
    void restore(QHeaderView& header);
    /// Fits the new columns of a header restored while hidden, now shown.
    void fitWhenShown(QHeaderView& header);

private:
    static QString title(const QHeaderView& header, int section);
    int sortSection(const QHeaderView& header) const;
    void fitUnknownColumns(QHeaderView& header) const;
    void applyWidths(QHeaderView& header) const;

    int defaultSortSection;
    QHash<QString, int> widths;
    bool remembered = false;
    /// Restored while hidden: the new columns are still to be fitted.
    bool fitPending = false;
    bool sorted = false;
    QString sortTitle;
    Qt::SortOrder sortOrder;
};

} // namespace Orvane
