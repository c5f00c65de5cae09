#include "MaterialInventory.h"

#include "FindParentVisitor.h"
#include "MaterialOrder.h"
#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace Orvane {

namespace {

using Masses = QHash<QString, double>;
using ParentCache = Ifc2x3CV::VisitParentVisitor::ParentCache;

/// The masses of a result set; of two of the same name, the first, as a
/// lookup by name finds it.
Masses massesOf(_ifc2x3::IFC2x3Model* model, const QModelIndex& object, const QString& setName)
{
    Masses masses;
    const Step::RefPtr<CoreProperty> set = model->getProperty(object, {QStringLiteral("Properties"), setName});
    const int count = set ? set->childCount() : 0;
    for (int i = 0; i < count; ++i) {
        const Step::RefPtr<CoreProperty> property(set->getChildProperty(i));
        if (property && !masses.contains(property->name())) {
            masses.insert(property->name(), property->value().toDouble());
        }
    }
    return masses;
}

QString labelOf(const ifc2x3::IfcRoot& object)
{
    return QString::fromStdWString(ifc2x3::ExpressDataSet::label(object).toWString());
}

ifc2x3::IfcBuilding* buildingOf(ifc2x3::IfcObjectDefinition* element, ParentCache& parents)
{
    Ifc2x3CV::FindParentVisitor<ifc2x3::IfcBuilding> find(true, element);
    find.setParentCache(&parents);
    find.visitIfcObjectDefinition(element);
    return find.parents().empty() ? nullptr : find.parents().front();
}

MaterialInventory::Scope projectScope(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings)
{
    MaterialInventory::Scope scope;
    const auto& projects = model->dataSet()->getAllIfcProject();
    if (projects.empty()) {
        return scope;
    }
    const QModelIndex project = model->index(projects.front().get());
    scope.name = labelOf(*projects.front());
    const Masses recovered = massesOf(model, project, settings.recoveredQuantitiesPropertySetName);
    const Masses reused = massesOf(model, project, settings.reusedQuantitiesPropertySetName);
    const Masses totals = massesOf(model, project, settings.totalQuantitiesPropertySetName);
    for (auto it = totals.cbegin(); it != totals.cend(); ++it) {
        MaterialInventory::Quantities& quantities = scope.materials[it.key()];
        quantities.total = it.value();
        quantities.toRecover = recovered.value(it.key());
        quantities.reEmployed = reused.value(it.key());
    }
    return scope;
}

MaterialInventory::Scope buildingScope(_ifc2x3::IFC2x3Model* model, ifc2x3::IfcBuilding& building,
                                       const QString& totalSetName)
{
    MaterialInventory::Scope scope;
    scope.name = labelOf(building);
    const Masses totals = massesOf(model, model->index(&building), totalSetName);
    for (auto it = totals.cbegin(); it != totals.cend(); ++it) {
        scope.materials[it.key()].total = it.value();
    }
    return scope;
}

} // namespace

QStringList MaterialInventory::Scope::materialNames() const
{
    return MaterialOrder::sorted(materials.keys());
}

MaterialInventory MaterialInventory::read(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings)
{
    MaterialInventory inventory;
    if (!model || !model->dataSet()) {
        return inventory;
    }
    inventory.m_project = projectScope(model, settings);
    QHash<const ifc2x3::IfcBuilding*, int> buildingNumbers;
    for (const auto& building : model->dataSet()->getAllIfcBuilding()) {
        buildingNumbers.insert(building.get(), inventory.m_buildings.size());
        inventory.m_buildings.append(buildingScope(model, *building, settings.totalQuantitiesPropertySetName));
    }
    const MaterialQuantitiesCalculator calculator(model, settings);
    ParentCache parents;
    for (int row : MaterialQuantitiesCalculator::getBuildingElementRows(model)) {
        const QModelIndex index = model->index(row, 0);
        const Masses masses = massesOf(model, index, settings.totalQuantitiesPropertySetName);
        if (masses.isEmpty()) {
            continue;
        }
        const int number = buildingNumbers.value(buildingOf(model->ifcObjectDefinition(index), parents), -1);
        Scope* building = number < 0 ? nullptr : &inventory.m_buildings[number];
        const bool reused = calculator.isReused(index);
        for (auto it = masses.cbegin(); it != masses.cend(); ++it) {
            // Elements whose inputs were missing hold zeros: no material.
            if (it.value() == 0.0) {
                continue;
            }
            // Only the project's materials: a set left from another run
            // adds no row of its own.
            const auto projectMaterial = inventory.m_project.materials.find(it.key());
            if (projectMaterial != inventory.m_project.materials.end()) {
                ++projectMaterial->elements;
            }
            if (building) {
                Quantities& quantities = building->materials[it.key()];
                ++quantities.elements;
                (reused ? quantities.reEmployed : quantities.toRecover) += it.value();
            }
        }
    }
    return inventory;
}

} // namespace Orvane
