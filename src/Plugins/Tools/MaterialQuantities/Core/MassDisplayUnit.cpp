#include "MassDisplayUnit.h"

#include <QSettings>

namespace Orvane {

namespace {
// The tool's group, beside its settings.
const char* const unitKey = "Tool/MaterialQuantities/massDisplayUnit";
const char* const tonneSymbol = "t";
} // namespace

QString MassDisplayUnit::symbol() const
{
    return shown == Tonne ? QLatin1String(tonneSymbol) : QStringLiteral("kg");
}

double MassDisplayUnit::fromKilograms(double kilograms) const
{
    return shown == Tonne ? kilograms / 1000.0 : kilograms;
}

QString MassDisplayUnit::title(const QString& name) const
{
    return QStringLiteral("%1 (%2)").arg(name, symbol());
}

MassDisplayUnit MassDisplayUnit::saved()
{
    return QSettings().value(QLatin1String(unitKey)).toString() == QLatin1String(tonneSymbol) ? Tonne : Kilogram;
}

void MassDisplayUnit::save(MassDisplayUnit unit)
{
    QSettings().setValue(QLatin1String(unitKey), unit.symbol());
}

} // namespace Orvane
