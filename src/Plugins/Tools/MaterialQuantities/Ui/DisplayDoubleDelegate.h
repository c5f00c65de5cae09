#pragma once

#include <QStyledItemDelegate>

namespace Orvane {

/// Shows floating-point values with three decimals in the view's locale;
/// other values as QStyledItemDelegate does.
class DisplayDoubleDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit DisplayDoubleDelegate(QObject* parent);
    ~DisplayDoubleDelegate() override;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};

} // namespace Orvane
