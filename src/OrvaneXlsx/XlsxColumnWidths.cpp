#include "XlsxColumnWidths.h"

#include "Orvane/BooleanVariant.h"
#include "XlsxDocument.h"

#include <algorithm>
#include <cmath>

namespace Orvane {

namespace {

/// Room around a cell's text, in characters.
constexpr double cellPadding = 1.5;
/// The filter button beside a header text.
constexpr double filterButton = 2.5;
/// Bold characters are about a tenth wider.
constexpr double boldFactor = 1.1;
/// What Excel's General format shows of a number at most.
constexpr int generalDigits = 11;

/// A cell shows its lines one under the other: the longest counts.
int longestLine(const QString& text)
{
    int longest = 0;
    int start = 0;
    while (start <= text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

/// The quoted literal of a number format, such as " kg".
int quotedLength(const QString& numberFormat)
{
    const int open = numberFormat.indexOf(QLatin1Char('"'));
    const int close = open < 0 ? -1 : numberFormat.indexOf(QLatin1Char('"'), open + 1);
    return close < 0 ? 0 : close - open - 1;
}

/// The decimal places of a number format: the zeros after its point.
int decimalPlaces(const QString& numberFormat)
{
    const int point = numberFormat.indexOf(QLatin1Char('.'));
    int places = 0;
    for (int i = point + 1; point >= 0 && i < numberFormat.size() && numberFormat.at(i) == QLatin1Char('0'); ++i) {
        ++places;
    }
    return places;
}

/// Digits before the point of a number rounded to some decimal places.
int integerDigits(double magnitude, int places)
{
    const double rounded = std::round(magnitude * std::pow(10.0, places)) / std::pow(10.0, places);
    return rounded < 1 ? 1 : static_cast<int>(std::floor(std::log10(rounded))) + 1;
}

} // namespace

XlsxColumnWidths::XlsxColumnWidths(int columns) : widths(columns, defaultWidth) {}

void XlsxColumnWidths::addHeader(int column, const QString& text)
{
    widen(column, longestLine(text) * boldFactor + filterButton + cellPadding);
}

void XlsxColumnWidths::addCell(int column, const QVariant& value, const XlsxFormat& format)
{
    const int type = value.userType();
    int length = 0;
    if (XlsxDocument::isNumberType(type)) {
        length = numberLength(value.toDouble(), format.numberFormat());
    } else if (type == QMetaType::Bool || type == BooleanVariant::metaTypeId()) {
        length = 5; // FALSE
    } else if (type == QMetaType::QString) {
        length = longestLine(value.toString());
    }
    if (length > 0) {
        widen(column, length * (format.bold() ? boldFactor : 1.0) + cellPadding);
    }
}

double XlsxColumnWidths::width(int column) const
{
    return std::clamp(widths.at(column), defaultWidth, maxWidth);
}

int XlsxColumnWidths::numberLength(double number, const QString& numberFormat)
{
    if (!std::isfinite(number)) {
        return 4; // written as text: "-inf"
    }
    const int sign = number < 0 ? 1 : 0;
    if (numberFormat.isEmpty()) {
        return std::min(static_cast<int>(QString::number(number, 'g', generalDigits - 1).size()), generalDigits);
    }
    const int places = decimalPlaces(numberFormat);
    const int digits = integerDigits(std::abs(number), places);
    const int separators = numberFormat.contains(QLatin1Char(',')) ? (digits - 1) / 3 : 0;
    return sign + digits + separators + (places > 0 ? places + 1 : 0) + quotedLength(numberFormat);
}

void XlsxColumnWidths::widen(int column, double width)
{
    if (column >= 0 && column < widths.size() && width > widths.at(column)) {
        widths[column] = width;
    }
}

} // namespace Orvane
