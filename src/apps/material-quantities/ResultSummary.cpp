#include "ResultSummary.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

ResultSummary::ResultSummary(Orvane::_ifc2x3::IFC2x3Model* model, const Orvane::MaterialQuantitiesSettings& settings,
                             const std::vector<int>& rowsKnownToHoldQuantities)
    : m_model(model), m_settings(settings)
{
    m_buildingElements = Orvane::MaterialQuantitiesCalculator::getBuildingElementRows(model).size();
    Orvane::MaterialQuantitiesCalculator calculator(model, settings);
    const auto reasons = calculator.getMissingReasons(rowsKnownToHoldQuantities);
    m_missing = reasons.size();
    for (const auto& reason : reasons) {
        ++m_reasonCounts[reason.kind];
    }
    m_massUnitTakenAsKilograms = calculator.getMassUnitTakenAsKilograms();

    const auto& projects = model->dataSet()->getAllIfcProject();
    if (!projects.empty()) {
        const QModelIndex project = model->index(projects.front().get());
        const QMap<QString, double> total = readSet(project, settings.totalQuantitiesPropertySetName);
        const QMap<QString, double> recovered = readSet(project, settings.recoveredQuantitiesPropertySetName);
        const QMap<QString, double> reused = readSet(project, settings.reusedQuantitiesPropertySetName);
        for (auto it = total.constBegin(); it != total.constEnd(); ++it) {
            m_materials.append({it.key(), it.value(), recovered.value(it.key()), reused.value(it.key())});
        }
    }
    for (const auto& building : model->dataSet()->getAllIfcBuilding()) {
        const QModelIndex index = model->index(building.get());
        const QMap<QString, double> quantities = readSet(index, settings.totalQuantitiesPropertySetName);
        if (!quantities.isEmpty()) {
            m_buildings.append({model->data(index).toString(), quantities});
        }
    }
}

QMap<QString, double> ResultSummary::readSet(const QModelIndex& index, const QString& setName) const
{
    QMap<QString, double> values;
    const Step::RefPtr<Orvane::CoreProperty> set = m_model->getProperty(index, {QStringLiteral("Properties"), setName});
    if (!set) {
        return values;
    }
    for (int i = 0; i < set->childCount(); ++i) {
        const Step::RefPtr<Orvane::CoreProperty> child(set->getChildProperty(i));
        if (child) {
            values.insert(child->name(), child->value().toDouble());
        }
    }
    return values;
}

void ResultSummary::print(QTextStream& out) const
{
    out << "Building elements:             " << m_buildingElements << "\n";
    out << "Elements without results:      " << m_missing << "\n";
    for (auto it = m_reasonCounts.constBegin(); it != m_reasonCounts.constEnd(); ++it) {
        out << "  "
            << Orvane::MaterialQuantitiesCalculator::reasonCountText(
                   static_cast<Orvane::MaterialQuantitiesCalculator::MissingReason::Kind>(it.key()), it.value())
            << "\n";
    }
    if (!m_massUnitTakenAsKilograms.isEmpty()) {
        out << "Note: " << Orvane::MaterialQuantitiesCalculator::massUnitNote(m_massUnitTakenAsKilograms) << "\n";
    }
    if (m_materials.isEmpty()) {
        return;
    }
    int width = 8;
    for (const MaterialTotal& m : m_materials) {
        width = qMax(width, m.material.size());
    }
    out << "\nMaterial quantities (project):\n";
    out << "  " << QStringLiteral("Material").leftJustified(width) << "  " << QStringLiteral("Total").rightJustified(16)
        << "  " << QStringLiteral("To recover").rightJustified(16) << "  "
        << QStringLiteral("Re-employed").rightJustified(16) << "\n";
    for (const MaterialTotal& m : m_materials) {
        out << "  " << m.material.leftJustified(width) << "  " << number(m.total).rightJustified(16) << "  "
            << number(m.toRecover).rightJustified(16) << "  " << number(m.reused).rightJustified(16) << "\n";
    }
    for (const BuildingTotal& b : m_buildings) {
        out << "\nBuilding " << (b.building.isEmpty() ? QStringLiteral("(unnamed)") : b.building) << ":\n";
        for (auto it = b.quantities.constBegin(); it != b.quantities.constEnd(); ++it) {
            out << "  " << it.key().leftJustified(width) << "  " << number(it.value()).rightJustified(16) << "\n";
        }
    }
}
