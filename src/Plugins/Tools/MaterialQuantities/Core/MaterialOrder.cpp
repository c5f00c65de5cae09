#include "MaterialOrder.h"

#include <QLocale>

#include <algorithm>

namespace Orvane {

QCollator MaterialOrder::collator()
{
    // The C locale compares code points ("Zinc" before "acier"): English
    // collation is the neutral order there.
    const QLocale locale;
    QCollator collator{locale.language() == QLocale::C ? QLocale(QLocale::English) : locale};
    collator.setNumericMode(true);
    return collator;
}

QStringList MaterialOrder::sorted(QStringList names)
{
    const QCollator order = collator();
    std::stable_sort(names.begin(), names.end(), order);
    return names;
}

} // namespace Orvane
