#include "DisplayDoubleDelegate.h"

#include <QLocale>

namespace Orvane {

DisplayDoubleDelegate::DisplayDoubleDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

DisplayDoubleDelegate::~DisplayDoubleDelegate() = default;

QString DisplayDoubleDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    if (value.userType() == QMetaType::Double) {
        // Views hand their delegates a locale without digit grouping;
        // masses of tens of thousands read better with it.
        QLocale grouped = locale;
        grouped.setNumberOptions(QLocale::DefaultNumberOptions);
        return grouped.toString(value.toDouble(), 'f', 3);
    }
    return QStyledItemDelegate::displayText(value, locale);
}

} // namespace Orvane
