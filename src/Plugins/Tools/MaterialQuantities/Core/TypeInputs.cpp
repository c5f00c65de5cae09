#include "TypeInputs.h"

#include <QCoreApplication>

#include <algorithm>

namespace Orvane {

QVariant TypeInputs::shareOf(const QString& material) const
{
    const auto share = std::find_if(shares.cbegin(), shares.cend(),
                                    [&](const Share& candidate) { return candidate.material == material; });
    return share == shares.cend() ? QVariant() : share->value;
}

bool TypeInputs::sharesArePercentages() const
{
    double sum = 0.0;
    for (const Share& share : shares) {
        if (share.value.userType() == QMetaType::Double && share.value.toDouble() > 0.0) {
            sum += share.value.toDouble();
        }
    }
    return MaterialQuantitiesCalculator::sharesArePercentages(sum);
}

QStringList TypeInputs::missing() const
{
    QStringList missing;
    if (functionalUnit.isNull()) {
        missing << tr("no functional unit");
    } else if (unit == MaterialQuantitiesCalculator::Undefined) {
        missing << tr("functional unit \"%1\" not recognised").arg(functionalUnit.toString());
    }
    if (massPerFunctionalUnit.isNull()) {
        missing << tr("no mass per functional unit");
    } else if (massPerFunctionalUnit.userType() != QMetaType::Double) {
        missing << tr("mass per functional unit \"%1\" is not a number").arg(massPerFunctionalUnit.toString());
    }
    const bool positiveShare = std::any_of(shares.cbegin(), shares.cend(), [](const Share& share) {
        return share.value.userType() == QMetaType::Double && share.value.toDouble() > 0.0;
    });
    if (!hasComposition) {
        missing << tr("no composition");
    } else if (!positiveShare) {
        missing << tr("no positive share in the composition");
    }
    return missing;
}

QString TypeInputs::status() const
{
    const QStringList lacking = missing();
    if (lacking.isEmpty()) {
        return tr("complete");
    }
    return tr("%1 (%n instance(s))", nullptr, instances).arg(lacking.join(QStringLiteral(", ")));
}

int TypeInputsTable::indexOfRow(int row) const
{
    const auto found =
        std::find_if(types.cbegin(), types.cend(), [row](const TypeInputs& inputs) { return inputs.row == row; });
    return found == types.cend() ? -1 : int(found - types.cbegin());
}

} // namespace Orvane
