#include "DisplayDoubleDelegate.h"

#include <QLocale>

namespace Orvane {

DisplayDoubleDelegate::DisplayDoubleDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

DisplayDoubleDelegate::~DisplayDoubleDelegate() = default;

QString DisplayDoubleDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    if (value.userType() == QMetaType::Double) {
        return locale.toString(value.toDouble(), 'f', 3);
    }
    return QStyledItemDelegate::displayText(value, locale);
}

} // namespace Orvane
