#pragma once

// Tables the tests build and read through the item model interface. Kept
// inline: QStandardItemModel is Qt Gui, which the support library does not link.
#include <QAbstractItemModel>
#include <QStandardItemModel>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace testsupport {

/// Rows of values under headers, one item per cell (invalid values: no item data).
inline std::unique_ptr<QStandardItemModel> tableModel(const QStringList& headers, const QList<QVariantList>& rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), headers.size());
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].isValid()) {
                model->setData(model->index(r, c), rows[r][c], Qt::EditRole);
            }
        }
    }
    return model;
}

inline QVariantList columnValues(const QAbstractItemModel& model, int column, int role = Qt::EditRole)
{
    QVariantList values;
    for (int row = 0; row < model.rowCount(); ++row) {
        values.append(model.data(model.index(row, column), role));
    }
    return values;
}

inline QStringList horizontalHeaders(const QAbstractItemModel& model)
{
    QStringList headers;
    for (int section = 0; section < model.columnCount(); ++section) {
        headers.append(model.headerData(section, Qt::Horizontal).toString());
    }
    return headers;
}

} // namespace testsupport
