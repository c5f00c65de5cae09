#pragma once

#include <QString>

namespace Orvane {

/// How a workbook cell looks. A default-constructed format leaves the cell
/// with the workbook's default style.
class XlsxFormat
{
public:
    XlsxFormat() = default;

    bool bold() const { return m_bold; }
    void setBold(bool bold) { m_bold = bold; }

    /// An Excel number format code such as "0.00" or "#,##0"; empty for
    /// "General".
    const QString& numberFormat() const { return m_numberFormat; }
    void setNumberFormat(const QString& format) { m_numberFormat = format; }

    bool isDefault() const { return !m_bold && m_numberFormat.isEmpty(); }

    bool operator==(const XlsxFormat& other) const
    {
        return m_bold == other.m_bold && m_numberFormat == other.m_numberFormat;
    }
    bool operator!=(const XlsxFormat& other) const { return !(*this == other); }

private:
    bool m_bold = false;
    QString m_numberFormat;
};

} // namespace Orvane
