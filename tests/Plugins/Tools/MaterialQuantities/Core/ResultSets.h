#pragma once

#include <QString>

namespace mqtest {

/// The result set names of the default settings, and a material name that
/// is not ASCII.
const QString total = QStringLiteral("TotalMaterialQuantities");
const QString recovered = QStringLiteral("RecoveredMaterialQuantities");
const QString reused = QStringLiteral("ReusedMaterialQuantities");
const QString beton = QString::fromUtf8("B\u00e9ton");

/// The calculator's logger.
constexpr const char* calculatorLog = "Orvane.Plugins.tool.MaterialQuantities";

} // namespace mqtest
