#include "ResultHeaderState.h"

#include <QAbstractItemModel>
#include <QHeaderView>

namespace Orvane {

ResultHeaderState::ResultHeaderState(int defaultSortSection, Qt::SortOrder defaultSortOrder)
    : defaultSortSection(defaultSortSection), sortOrder(defaultSortOrder)
{
}

QString ResultHeaderState::title(const QHeaderView& header, int section)
{
    return header.model()->headerData(section, header.orientation(), Qt::EditRole).toString();
}

void ResultHeaderState::remember(const QHeaderView& header)
{
    if (!header.model()) {
        return;
    }
    // Widths never fitted are not the user's.
    for (int section = 0; section < header.count() && !fitPending; ++section) {
        if (!header.isSectionHidden(section)) {
            widths.insert(title(header, section), header.sectionSize(section));
        }
    }
    const int section = header.sortIndicatorSection();
    remembered = true;
    sorted = header.isSortIndicatorShown() && section >= 0 && section < header.count();
    sortTitle = sorted ? title(header, section) : QString();
    sortOrder = header.sortIndicatorOrder();
}

int ResultHeaderState::sortSection(const QHeaderView& header) const
{
    if (!remembered) {
        return defaultSortSection;
    }
    if (!sorted) {
        return -1;
    }
    for (int section = 0; section < header.count(); ++section) {
        if (title(header, section) == sortTitle) {
            return section;
        }
    }
    return -1;
}

void ResultHeaderState::fitUnknownColumns(QHeaderView& header) const
{
    for (int section = 0; section < header.count(); ++section) {
        if (!widths.contains(title(header, section))) {
            header.resizeSections(QHeaderView::ResizeToContents);
            return;
        }
    }
}

void ResultHeaderState::restore(QHeaderView& header)
{
    QAbstractItemModel* model = header.model();
    if (!model) {
        return;
    }
    fitPending = !header.isVisible();
    if (!fitPending) {
        fitUnknownColumns(header);
    }
    applyWidths(header);
    // A view keeps its sort indicator across models but does not always
    // sort a new one by it.
    const int section = sortSection(header);
    header.setSortIndicator(section, sortOrder);
    model->sort(section, sortOrder);
}

void ResultHeaderState::fitWhenShown(QHeaderView& header)
{
    if (!fitPending || !header.model() || !header.isVisible()) {
        return;
    }
    fitPending = false;
    fitUnknownColumns(header);
    applyWidths(header);
}

void ResultHeaderState::applyWidths(QHeaderView& header) const
{
    for (int section = 0; section < header.count(); ++section) {
        const auto width = widths.constFind(title(header, section));
        if (width != widths.constEnd()) {
            header.resizeSection(section, *width);
        }
    }
}

} // namespace Orvane
