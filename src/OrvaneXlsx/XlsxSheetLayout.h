#pragma once

#include "XlsxFormat.h"

#include <QHash>

namespace Orvane {

/// How a sheet written from a model is presented beyond its cells. The
/// default leaves the sheet raw: General cells, a plain header row, default
/// column widths.
class XlsxSheetLayout
{
public:
    /// A bold header row that stays in view when scrolling, with a filter
    /// over the header and the rows under it.
    bool headerRow() const { return m_headerRow; }
    void setHeaderRow(bool headerRow) { m_headerRow = headerRow; }

    /// The role of the model's header data that heads the columns (the
    /// display role where it has nothing): models showing a unit in their
    /// headers may give the bare titles in another.
    int headerRole() const { return m_headerRole; }
    void setHeaderRole(int role) { m_headerRole = role; }

    /// Each column as wide as its longest text, header included.
    bool fitColumns() const { return m_fitColumns; }
    void setFitColumns(bool fit) { m_fitColumns = fit; }

    /// The format of the numbers of a column, numbered from 0 as the
    /// model's; texts and booleans in that column keep the default.
    XlsxFormat numberFormat(int column) const { return m_numberFormats.value(column); }
    void setNumberFormat(int column, const XlsxFormat& format) { m_numberFormats.insert(column, format); }

private:
    bool m_headerRow = false;
    bool m_fitColumns = false;
    int m_headerRole = Qt::DisplayRole;
    QHash<int, XlsxFormat> m_numberFormats;
};

} // namespace Orvane
