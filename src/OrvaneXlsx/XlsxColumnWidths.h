#pragma once

#include "XlsxFormat.h"

#include <QString>
#include <QVariant>
#include <QVector>

namespace Orvane {

/// The widths that fit the columns of a sheet to their texts, gathered as
/// the cells are written: one call per cell, in constant time apart from
/// the length of a text, so a sheet costs one linear pass.
class XlsxColumnWidths
{
public:
    explicit XlsxColumnWidths(int columns);

    /// A header text: bold, and beside the filter button.
    void addHeader(int column, const QString& text);
    /// A cell as written, shown with format.
    void addCell(int column, const QVariant& value, const XlsxFormat& format);
    /// The width of a column (numbered from 0) in Excel's character units,
    /// between the default width and maxWidth.
    double width(int column) const;

    static constexpr double defaultWidth = 8.43;
    /// Wider columns push the others out of view; the cell text wraps in
    /// the formula bar anyway.
    static constexpr double maxWidth = 80;

    /// Characters of a number shown with an Excel number format: the codes
    /// of the exports' formats are understood (thousands grouping, decimal
    /// places, a quoted suffix); General shows up to 11 characters.
    static int numberLength(double number, const QString& numberFormat);

private:
    void widen(int column, double width);

    QVector<double> widths;
};

} // namespace Orvane
