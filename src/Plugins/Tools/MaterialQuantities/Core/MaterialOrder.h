#pragma once

#include <QCollator>
#include <QStringList>

namespace Orvane {

/// The order people look materials up in: the locale's collation, digits
/// compared as numbers ("C8/10" before "C25/30", "Béton" before "Bois").
/// The totals, the material columns of the details, their workbook and the
/// chart all list materials this way.
class MaterialOrder
{
public:
    /// A collator of the default locale set up for material names; build
    /// one per sort rather than one per comparison.
    static QCollator collator();
    /// The names in collation order; equal names keep their order.
    static QStringList sorted(QStringList names);
};

} // namespace Orvane
