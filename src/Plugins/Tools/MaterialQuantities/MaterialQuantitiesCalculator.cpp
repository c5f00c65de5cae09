#include "MaterialQuantitiesCalculator.h"

#include "FindParentVisitor.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <log4cplus/loggingmacros.h>

#include <map>

namespace Orvane {

using ifc2x3::IfcObjectDefinition;
using QuantityMap = QMap<QString, double>;

namespace {

/// Fractions that sum to 1 only up to rounding (0.34 + 0.56 + 0.1) are
/// still fractions, not percentages.
constexpr double percentageThreshold = 1.0 + 1e-6;

void addInto(QuantityMap& into, const QuantityMap& quantities)
{
    for (auto it = quantities.constBegin(); it != quantities.constEnd(); ++it) {
        into[it.key()] = into.value(it.key(), 0.0) + it.value();
    }
}

Step::String toStepString(const QString& text)
{
    return Step::String(text.toStdWString());
}

} // namespace

/// What one pass gathers before writing buildings, types and the project.
struct MaterialQuantitiesCalculator::PassTotals
{
    QuantityMap total;
    QuantityMap reused;
    QuantityMap recovered;
    std::map<ifc2x3::IfcBuilding*, QuantityMap> buildings;
    std::map<IfcObjectDefinition*, int> instanceCount;
    std::map<IfcObjectDefinition*, FunctionalUnit> typeFunctionalUnit;
    std::map<IfcObjectDefinition*, double> typeMassPerFunctionalUnit;
    std::map<IfcObjectDefinition*, double> typeFunctionalUnitSum;
};

MaterialQuantitiesCalculator::MaterialQuantitiesCalculator(_ifc2x3::IFC2x3Model* model,
                                                           const MaterialQuantitiesSettings& settings)
    : QObject(nullptr), model(model), settings(settings),
      logger(log4cplus::Logger::getInstance("Orvane.Plugins.tool.MaterialQuantities"))
{
}

MaterialQuantitiesCalculator::~MaterialQuantitiesCalculator() = default;

// ------------------------------------------------------------------ readers

MaterialQuantitiesCalculator::FunctionalUnit MaterialQuantitiesCalculator::getFunctionalUnit(
    const QModelIndex& index) const
{
    if (!model) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getFunctionalUnit: No model");
        return Undefined;
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, settings.functionalUnitPropertyPath);
    if (!property) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getFunctionalUnit: Functional unit property not found");
        return Undefined;
    }
    const QString text = property->value().toString();
    static const std::pair<const char*, FunctionalUnit> keywords[] = {
        {"volume", Volume}, {"area", Area}, {"surface", Area}, {"length", Length}, {"longueur", Length}, {"unite", Unit}};
    for (const auto& [keyword, unit] : keywords) {
        if (text.contains(QLatin1String(keyword), Qt::CaseInsensitive)) {
            return unit;
        }
    }
    return Undefined;
}

double MaterialQuantitiesCalculator::getFunctionalUnitValue(const QModelIndex& index)
{
    const int row = index.row();
    const auto cached = functionalUnitValueCache.constFind(row);
    if (cached != functionalUnitValueCache.constEnd()) {
        return *cached;
    }
    const QStringList* paths = nullptr;
    switch (getFunctionalUnit(index)) {
    case Unit:
        quantitiesPropPathMap[row] = QStringLiteral("UF_UNITE");
        return 1.0;
    case Volume:
        paths = &settings.volumeQuantitiesPropPaths;
        break;
    case Area:
        paths = &settings.areaQuantitiesPropPaths;
        break;
    case Length:
        paths = &settings.lengthQuantitiesPropPaths;
        break;
    default:
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getFunctionalUnitValue: Functional unit property not found");
        return -1.0;
    }
    if (paths->isEmpty() || !model) {
        LOG4CPLUS_ERROR(logger,
                        "MaterialQuantitiesCalculator::getFunctionalUnitValue: No property path to look for unit property");
        return -1.0;
    }
    for (const QString& path : *paths) {
        const Step::RefPtr<CoreProperty> property = model->getProperty(index, CoreProperty::getPropertyPath(path));
        if (!property || !property->value().isValid()) {
            continue;
        }
        bool ok = false;
        const double number = property->numericValue().toDouble(&ok);
        if (!ok) {
            continue;
        }
        quantitiesPropPathMap[row] = path;
        functionalUnitValueCache[row] = number;
        return number;
    }
    LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getFunctionalUnitValue: quantities not found");
    functionalUnitValueCache[row] = -1.0;
    return -1.0;
}

double MaterialQuantitiesCalculator::getMassPerFunctionalUnit(const QModelIndex& index) const
{
    if (!model) {
        return -1.0;
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, settings.massPerFunctionalUnitPropertyPath);
    if (!property) {
        LOG4CPLUS_ERROR(logger,
                        "MaterialQuantitiesCalculator::getMassPerFunctionalUnit: Mass per functional unit property not found");
        return -1.0;
    }
    return property->value().toDouble();
}

QuantityMap MaterialQuantitiesCalculator::getMaterialComposition(const QModelIndex& index) const
{
    QuantityMap composition;
    if (!model) {
        return composition;
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, settings.materialCompositionPropertyPath);
    if (!property) {
        LOG4CPLUS_ERROR(logger,
                        "MaterialQuantitiesCalculator::getMaterialComposition: Material composition property not found");
        return composition;
    }
    for (int i = 0; i < property->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> child(property->getChildProperty(i));
        if (!child) {
            LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMaterialComposition: Empty child property");
            continue;
        }
        bool ok = false;
        const double share = child->value().toDouble(&ok);
        if (!ok) {
            LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMaterialComposition: Child property is not a double");
            continue;
        }
        if (share > 0.0) {
            composition[child->name()] = share;
        }
    }
    double sum = 0.0;
    for (double share : qAsConst(composition)) {
        sum += share;
    }
    if (sum > percentageThreshold) {
        for (double& share : composition) {
            share /= 100.0;
        }
    }
    return composition;
}

QuantityMap MaterialQuantitiesCalculator::getQuantities(const QModelIndex& index)
{
    const QuantityMap composition = getMaterialComposition(index);
    double mass = getMassPerFunctionalUnit(index);
    double functionalUnitValue = getFunctionalUnitValue(index);
    if (mass < 0.0 || functionalUnitValue < 0.0) {
        if (!composition.isEmpty()) {
            LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getQuantities: Composition map is good but functional "
                                    "unit and/or mass per functional unit not found");
        }
        mass = 0.0;
        functionalUnitValue = 0.0;
    }
    QuantityMap quantities;
    for (auto it = composition.constBegin(); it != composition.constEnd(); ++it) {
        quantities[it.key()] = (functionalUnitValue * mass) * it.value();
    }
    return quantities;
}

QList<int> MaterialQuantitiesCalculator::getBuildingElementRows(_ifc2x3::IFC2x3Model* model)
{
    QList<int> rows;
    if (!model) {
        return rows;
    }
    for (const auto& element : model->dataSet()->getAllIfcElement()) {
        if (element->isOfType(ifc2x3::IfcFeatureElement::getClassType()) ||
            element->isOfType(ifc2x3::IfcElementAssembly::getClassType()) ||
            element->isOfType(ifc2x3::IfcVirtualElement::getClassType())) {
            continue;
        }
        rows.append(model->index(element.get()).row());
    }
    return rows;
}

// ----------------------------------------------------------------- writers

void MaterialQuantitiesCalculator::announce(IfcObjectDefinition* object)
{
    // A calculator without a model may still write into an object's data
    // set; there is just no view to tell.
    if (model) {
        model->updateItem(model->index(object), true);
    }
}

void MaterialQuantitiesCalculator::createQuantities(IfcObjectDefinition* object, const QuantityMap& quantities,
                                                    const QString& propertySetName)
{
    if (!object) {
        return;
    }
    const Step::String setName = toStepString(propertySetName);
    for (auto it = quantities.constBegin(); it != quantities.constEnd(); ++it) {
        if (Ifc2x3CC::PropertySetUtils::addProperty(object, setName, toStepString(it.key()), QVariant(it.value()),
                                                    ifc2x3::IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO, true)) {
            announce(object);
        } else {
            LOG4CPLUS_WARN(logger, "Can't create property for item : " << object->getKey());
        }
    }
}

void MaterialQuantitiesCalculator::removeQuantities()
{
    if (!model) {
        return;
    }
    // The project's recovered and reused sets go too, so that after a run
    // the project holds exactly that run's totals.
    const QStringList names = {settings.totalQuantitiesPropertySetName, settings.recoveredQuantitiesPropertySetName,
                               settings.reusedQuantitiesPropertySetName};
    for (const auto& object : model->dataSet()->getAllIfcObjectDefinition()) {
        bool removed = false;
        for (const QString& name : names) {
            if (!name.isEmpty() && Ifc2x3CC::PropertySetUtils::removePropertySet(object.get(), toStepString(name))) {
                removed = true;
            }
        }
        if (removed) {
            announce(object.get());
        }
    }
}

int MaterialQuantitiesCalculator::getMissingQuantitiesCount()
{
    int count = 0;
    if (!model) {
        return count;
    }
    const QStringList path = {QStringLiteral("Properties"), settings.totalQuantitiesPropertySetName};
    for (int row : getBuildingElementRows(model)) {
        const QModelIndex index = model->index(row, 0, QModelIndex());
        if (index.isValid() && !model->getProperty(index, path)) {
            ++count;
        }
    }
    return count;
}

// -------------------------------------------------------------------- pass

bool MaterialQuantitiesCalculator::computeQuantities()
{
    quantitiesPropPathMap.clear();
    functionalUnitValueCache.clear();
    removeQuantities();
    if (!model) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: No model");
        return false;
    }
    if (settings.totalQuantitiesPropertySetName.isEmpty()) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: No quantities property set name");
        return false;
    }
    PassTotals totals;
    for (int row : getBuildingElementRows(model)) {
        computeElement(row, totals);
    }
    for (const auto& [building, quantities] : totals.buildings) {
        createQuantities(building, quantities, settings.totalQuantitiesPropertySetName);
        emit calculatedItem();
    }
    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        writeTypeSummary(type.get(), totals);
        emit calculatedItem();
    }
    if (!totals.total.isEmpty()) {
        const auto& projects = model->dataSet()->getAllIfcProject();
        if (!projects.empty()) {
            IfcObjectDefinition* project = projects.front().get();
            createQuantities(project, totals.total, settings.totalQuantitiesPropertySetName);
            createQuantities(project, totals.recovered, settings.recoveredQuantitiesPropertySetName);
            createQuantities(project, totals.reused, settings.reusedQuantitiesPropertySetName);
        } else {
            LOG4CPLUS_WARN(logger, "Can't create quantities on project");
        }
        emit calculatedItem();
    }
    return !totals.total.isEmpty();
}

bool MaterialQuantitiesCalculator::readReusedFlag(const QModelIndex& index, unsigned long long key) const
{
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, settings.reusedMaterialsPropertyPath);
    const QVariant value = property ? property->value() : QVariant();
    if (!property || value.userType() != BooleanVariant::metaTypeId() ||
        BooleanVariant(BooleanVariant::Unknown) == value) {
        LOG4CPLUS_WARN(logger, "Element : " << key << " has no reused property. False is use as default value.");
        return false;
    }
    return BooleanVariant(BooleanVariant::True) == value;
}

void MaterialQuantitiesCalculator::computeElement(int row, PassTotals& totals)
{
    const QModelIndex index = model->index(row, 0, QModelIndex());
    const QuantityMap quantities = getQuantities(index);
    IfcObjectDefinition* element = model->ifcObjectDefinition(index);
    if (!element) {
        emit calculatedItem();
        return;
    }
    const unsigned long long key = element->getKey();
    if (!model->getProperty(index, QStringLiteral("Type"))) {
        LOG4CPLUS_WARN(logger, "Element has no type : " << key);
    }
    if (quantities.isEmpty()) {
        LOG4CPLUS_WARN(logger, "Quantities not found for item : " << key);
        emit calculatedItem();
        return;
    }
    const bool reused = readReusedFlag(index, key);
    addInto(totals.total, quantities);
    addInto(reused ? totals.reused : totals.recovered, quantities);

    Ifc2x3CV::FindParentVisitor<ifc2x3::IfcBuilding> findBuilding(true);
    element->acceptVisitor(&findBuilding);
    if (!findBuilding.parents().empty()) {
        addInto(totals.buildings[findBuilding.parents().front()], quantities);
    }

    if (auto* occurrence = dynamic_cast<ifc2x3::IfcObject*>(element)) {
        for (const auto& relation : occurrence->getIsDefinedBy()) {
            auto* byType = dynamic_cast<ifc2x3::IfcRelDefinesByType*>(relation.get());
            if (!byType) {
                continue;
            }
            IfcObjectDefinition* type = byType->getRelatingType();
            if (!type) {
                continue;
            }
            ++totals.instanceCount[type];
            if (totals.typeFunctionalUnit.find(type) == totals.typeFunctionalUnit.end()) {
                totals.typeFunctionalUnit[type] = getFunctionalUnit(index);
                totals.typeMassPerFunctionalUnit[type] = getMassPerFunctionalUnit(index);
            }
            double& sum = totals.typeFunctionalUnitSum[type];
            const double value = getFunctionalUnitValue(index);
            if (value > 0.0) {
                sum += value;
            } else {
                LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: Can't aggregate unity "
                                        "functional for product: "
                                            << key << ". One of the component has invalid value");
            }
        }
    }
    createQuantities(element, quantities, settings.totalQuantitiesPropertySetName);
    emit calculatedItem();
}

void MaterialQuantitiesCalculator::writeTypeSummary(IfcObjectDefinition* type, const PassTotals& totals)
{
    const Step::String setName = toStepString(settings.totalQuantitiesPropertySetName);
    const auto count = totals.instanceCount.find(type);
    if (count != totals.instanceCount.end()) {
        if (Ifc2x3CC::PropertySetUtils::addProperty(type, setName, Step::String("Instances"), QVariant(count->second),
                                                    ifc2x3::IfcValue::IfcInteger, ifc2x3::IfcSIPrefix_UNSET, true)) {
            announce(type);
        } else {
            LOG4CPLUS_WARN(logger, "Can't create property for item : " << type->getKey());
        }
    }
    const auto sum = totals.typeFunctionalUnitSum.find(type);
    if (sum == totals.typeFunctionalUnitSum.end() || sum->second < 0.0) {
        return;
    }
    ifc2x3::IfcValue::IfcValue_select valueType;
    switch (totals.typeFunctionalUnit.at(type)) {
    case Volume:
        valueType = ifc2x3::IfcValue::IfcVolumeMeasure;
        break;
    case Area:
        valueType = ifc2x3::IfcValue::IfcAreaMeasure;
        break;
    case Length:
        valueType = ifc2x3::IfcValue::IfcLengthMeasure;
        break;
    default:
        return;
    }
    if (!Ifc2x3CC::PropertySetUtils::addProperty(type, setName, Step::String("Quantity"), QVariant(sum->second),
                                                 valueType, ifc2x3::IfcSIPrefix_UNSET, true)) {
        LOG4CPLUS_WARN(logger, "Can't create property for item : " << type->getKey());
        return;
    }
    // A type whose mass per functional unit was not found weighs nothing,
    // as its elements' quantities do, rather than a negative weight.
    const double mass = std::max(0.0, totals.typeMassPerFunctionalUnit.at(type));
    Ifc2x3CC::PropertySetUtils::addProperty(type, setName, Step::String("TotalWeight"), QVariant(sum->second * mass),
                                            ifc2x3::IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO, true);
    announce(type);
}

} // namespace Orvane
