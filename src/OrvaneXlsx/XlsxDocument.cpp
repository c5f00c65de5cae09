#include "XlsxDocument.h"

#include "Orvane/BooleanVariant.h"

#include "Step/AtomicFile.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>

#include <xlsxwriter.h>

#include <cmath>
#include <vector>

namespace Orvane {

namespace {

/// Cuts a text to what a cell holds without splitting a surrogate pair.
QString cellText(QString text)
{
    if (text.size() > XlsxDocument::maxTextLength) {
        text.truncate(XlsxDocument::maxTextLength);
        if (QChar(text.back()).isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

} // namespace

struct XlsxDocument::Private
{
    explicit Private(const QString& target) : path(target), file(QFile::encodeName(target).toStdString()) {}

    QString path;
    /// libxlsxwriter writes the workbook by name when it is closed: it gets
    /// the name of this file's temporary.
    Step::AtomicFile file;
    Mode mode = Mode::RandomAccess;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    QStringList sheetNames;
    std::vector<std::pair<XlsxFormat, lxw_format*>> formats;
    QString error;

    lxw_format* format(const XlsxFormat& wanted)
    {
        if (wanted.isDefault()) {
            return nullptr;
        }
        for (const auto& known : formats) {
            if (known.first == wanted) {
                return known.second;
            }
        }
        lxw_format* format = workbook_add_format(workbook);
        if (format) {
            if (wanted.bold()) {
                format_set_bold(format);
            }
            if (!wanted.numberFormat().isEmpty()) {
                format_set_num_format(format, wanted.numberFormat().toUtf8().constData());
            }
            formats.emplace_back(wanted, format);
        }
        return format;
    }

    bool fail(const QString& message)
    {
        error = message;
        return false;
    }

    /// Keeps the reason a workbook could not be created, if that is why.
    bool failClosed() { return fail(error.isEmpty() ? QStringLiteral("The workbook is closed") : error); }

    /// Whether there is a current sheet to lay out.
    bool sheetReady()
    {
        if (!workbook) {
            return failClosed();
        }
        return sheet ? true : fail(QStringLiteral("No sheet to lay out"));
    }
};

XlsxDocument::XlsxDocument(const QString& path, Mode mode) : d(std::make_unique<Private>(path))
{
    d->mode = mode;
    if (!d->file.open()) {
        d->error = QFile::decodeName(QByteArray::fromStdString(d->file.errorString()));
        return;
    }
    lxw_workbook_options options = {};
    options.constant_memory = mode == Mode::RowOrdered ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = nullptr;
    options.use_zip64 = LXW_FALSE;
    d->workbook = workbook_new_opt(d->file.writingPath().c_str(), &options);
    if (!d->workbook) {
        d->error = QStringLiteral("Cannot create a workbook");
    }
}

XlsxDocument::~XlsxDocument()
{
    if (d->workbook) {
        lxw_workbook_free(d->workbook);
    }
}

const QString& XlsxDocument::path() const
{
    return d->path;
}

QString XlsxDocument::validSheetName(const QString& name)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    QString valid = name;
    for (QChar& c : valid) {
        if (forbidden.contains(c)) {
            c = QLatin1Char('_');
        }
    }
    constexpr int maxLength = 31;
    if (valid.size() > maxLength) {
        valid.truncate(maxLength);
        if (QChar(valid.back()).isHighSurrogate()) {
            valid.chop(1);
        }
    }
    while (valid.startsWith(QLatin1Char('\''))) {
        valid.remove(0, 1);
    }
    while (valid.endsWith(QLatin1Char('\''))) {
        valid.chop(1);
    }
    if (valid.isEmpty()) {
        valid = QStringLiteral("Sheet");
    }
    // Excel keeps this name for its change history.
    if (valid.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0) {
        valid += QLatin1Char('_');
    }
    return valid;
}

QString XlsxDocument::addSheet(const QString& name)
{
    if (!d->workbook) {
        d->failClosed();
        return {};
    }
    const QString base = validSheetName(name);
    QString unique = base;
    // Excel compares sheet names without regard to case.
    for (int n = 2; d->sheetNames.contains(unique, Qt::CaseInsensitive); ++n) {
        const QString number = QStringLiteral(" (%1)").arg(n);
        unique = base.left(31 - number.size()) + number;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(d->workbook, unique.toUtf8().constData());
    if (!sheet) {
        d->fail(QStringLiteral("Cannot add the sheet \"%1\"").arg(unique));
        return {};
    }
    d->sheet = sheet;
    d->sheetNames.append(unique);
    return unique;
}

QStringList XlsxDocument::sheetNames() const
{
    return d->sheetNames;
}

bool XlsxDocument::write(int row, int column, const QVariant& value, const XlsxFormat& format)
{
    if (!d->workbook) {
        return d->failClosed();
    }
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns) {
        return d->fail(QStringLiteral("No cell at row %1, column %2").arg(row).arg(column));
    }
    if (!d->sheet && addSheet(QStringLiteral("Sheet1")).isEmpty()) {
        return false;
    }
    lxw_format* cellFormat = d->format(format);
    const auto r = static_cast<lxw_row_t>(row - 1);
    const auto c = static_cast<lxw_col_t>(column - 1);
    const int type = value.userType();
    QString text;
    lxw_error status = LXW_NO_ERROR;
    if (!value.isValid()) {
        status = worksheet_write_blank(d->sheet, r, c, cellFormat);
    } else if (type == BooleanVariant::metaTypeId()) {
        const BooleanVariant::State state = value.value<BooleanVariant>().state();
        status = state == BooleanVariant::Unknown
                     ? worksheet_write_blank(d->sheet, r, c, cellFormat)
                     : worksheet_write_boolean(d->sheet, r, c, state == BooleanVariant::True, cellFormat);
    } else if (type == QMetaType::Bool) {
        status = worksheet_write_boolean(d->sheet, r, c, value.toBool(), cellFormat);
    } else if (isNumberType(type)) {
        const double number = value.toDouble();
        // Excel has no NaN nor infinity.
        if (std::isfinite(number)) {
            status = worksheet_write_number(d->sheet, r, c, number, cellFormat);
        } else {
            text = QString::number(number);
        }
    } else if (type == QMetaType::QDateTime) {
        text = value.toDateTime().toString(Qt::ISODate);
    } else if (type == QMetaType::QDate) {
        text = value.toDate().toString(Qt::ISODate);
    } else if (type == QMetaType::QTime) {
        text = value.toTime().toString(Qt::ISODate);
    } else if (value.canConvert<QString>()) {
        text = value.toString();
        if (text.isEmpty()) {
            status = worksheet_write_blank(d->sheet, r, c, cellFormat);
        }
    } else {
        return d->fail(QStringLiteral("A value of type %1 cannot be written").arg(QLatin1String(value.typeName())));
    }
    if (!text.isEmpty()) {
        status = worksheet_write_string(d->sheet, r, c, cellText(text).toUtf8().constData(), cellFormat);
    }
    if (status != LXW_NO_ERROR) {
        return d->fail(QStringLiteral("Cannot write row %1, column %2: %3")
                           .arg(row)
                           .arg(column)
                           .arg(QString::fromUtf8(lxw_strerror(status))));
    }
    return true;
}

bool XlsxDocument::freezeRows(int rows)
{
    if (!d->sheetReady()) {
        return false;
    }
    if (rows < 0 || rows >= maxRows) {
        return d->fail(QStringLiteral("Cannot freeze %1 rows").arg(rows));
    }
    worksheet_freeze_panes(d->sheet, static_cast<lxw_row_t>(rows), 0);
    return true;
}

bool XlsxDocument::setAutoFilter(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    if (!d->sheetReady()) {
        return false;
    }
    const lxw_error status =
        firstRow < 1 || firstColumn < 1
            ? LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE
            : worksheet_autofilter(d->sheet, static_cast<lxw_row_t>(firstRow - 1),
                                   static_cast<lxw_col_t>(firstColumn - 1), static_cast<lxw_row_t>(lastRow - 1),
                                   static_cast<lxw_col_t>(lastColumn - 1));
    if (status != LXW_NO_ERROR) {
        return d->fail(QStringLiteral("Cannot filter rows %1 to %2: %3")
                           .arg(firstRow)
                           .arg(lastRow)
                           .arg(QString::fromUtf8(lxw_strerror(status))));
    }
    return true;
}

bool XlsxDocument::setColumnWidth(int column, double width)
{
    if (!d->sheetReady()) {
        return false;
    }
    const lxw_error status = column < 1 ? LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE
                                        : worksheet_set_column(d->sheet, static_cast<lxw_col_t>(column - 1),
                                                               static_cast<lxw_col_t>(column - 1), width, nullptr);
    if (status != LXW_NO_ERROR) {
        return d->fail(QStringLiteral("Cannot set the width of column %1: %2")
                           .arg(column)
                           .arg(QString::fromUtf8(lxw_strerror(status))));
    }
    return true;
}

bool XlsxDocument::save()
{
    if (!d->workbook) {
        return d->failClosed();
    }
    if (d->sheetNames.isEmpty() && addSheet(QStringLiteral("Sheet1")).isEmpty()) {
        return false;
    }
    // Closing writes the file and frees the workbook, whatever the outcome.
    const lxw_error status = workbook_close(d->workbook);
    d->workbook = nullptr;
    d->sheet = nullptr;
    if (status != LXW_NO_ERROR) {
        d->file.discard();
        return d->fail(QStringLiteral("Cannot write %1: %2").arg(d->path, QString::fromUtf8(lxw_strerror(status))));
    }
    if (!d->file.commit()) {
        return d->fail(QFile::decodeName(QByteArray::fromStdString(d->file.errorString())));
    }
    return true;
}

QString XlsxDocument::errorString() const
{
    return d->error;
}

bool XlsxDocument::isNumberType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

} // namespace Orvane
