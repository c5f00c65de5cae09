#include "TypeInputsSuggester.h"

#include "Orvane/CoreProperty.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/UnitConverter.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numeric>

namespace Orvane {

namespace {

using Calculator = MaterialQuantitiesCalculator;

QString nameOf(const ifc2x3::IfcMaterial* material)
{
    return material ? QString::fromStdWString(material->getName().toWString()).trimmed() : QString();
}

QString number(double value)
{
    // "2500 kg/m³" reads better in a sentence than "2,500 kg/m³".
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 6);
}

bool isLinear(const QString& entity)
{
    for (const char* linear : {"IfcBeam", "IfcColumn", "IfcMember"}) {
        if (entity.startsWith(QLatin1String(linear), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

} // namespace

TypeInputsSuggester::TypeInputsSuggester(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings,
                                         MaterialLibrary library)
    : model(model), settings(settings), library(std::move(library)),
      calculator(std::make_unique<MaterialQuantitiesCalculator>(model, settings))
{
    // Weights are looked for in the sets the quantities are read from.
    for (const auto unit : {Calculator::Volume, Calculator::Area, Calculator::Length}) {
        const QList<QStringList>* paths = nullptr;
        calculator->quantityPathsOf(unit, &paths);
        for (const QStringList& path : *paths) {
            if (path.size() == 3 && path.front() == QLatin1String("Properties") && !quantitySets.contains(path[1])) {
                quantitySets << path[1];
            }
        }
    }
}

QString TypeInputsSuggester::wordOf(Calculator::FunctionalUnit unit)
{
    switch (unit) {
    case Calculator::Volume:
        return tr("Volume");
    case Calculator::Area:
        return tr("Area");
    case Calculator::Length:
        return tr("Length");
    case Calculator::Unit:
        return tr("Unite");
    default:
        return {};
    }
}

QVector<TypeInputsSuggestion> TypeInputsSuggester::suggest(const TypeInputsTable& table) const
{
    QVector<TypeInputsSuggestion> suggestions;
    suggestions.reserve(table.types.size());
    for (const TypeInputs& inputs : table.types) {
        suggestions << suggest(inputs);
    }
    return suggestions;
}

TypeInputsSuggestion TypeInputsSuggester::suggest(const TypeInputs& inputs) const
{
    TypeInputsSuggestion suggestion;
    suggestion.type = inputs.type;
    suggestion.globalId = inputs.globalId;
    if (!model || !inputs.type || inputs.isComplete()) {
        return suggestion;
    }
    const Facts facts = factsOf(inputs);
    suggestion.materialsWithoutDensity = materialsWithoutDensity(facts);
    Calculator::FunctionalUnit unit = inputs.unit;
    if (unit == Calculator::Undefined) {
        unit = unitFor(facts, &suggestion.functionalUnitSource);
        suggestion.functionalUnit = wordOf(unit);
    }
    if (inputs.massPerFunctionalUnit.userType() != QMetaType::Double) {
        suggestion.massPerFunctionalUnit = massFor(unit, facts, &suggestion.massSource);
    }
    const bool positiveShare = std::any_of(inputs.shares.cbegin(), inputs.shares.cend(), [](const auto& share) {
        return share.value.userType() == QMetaType::Double && share.value.toDouble() > 0.0;
    });
    if (!positiveShare) {
        suggestion.composition = compositionFor(facts, &suggestion.compositionSource);
    }
    return suggestion;
}

const QVector<int>& TypeInputsSuggester::rowsOf(ifc2x3::IfcObjectDefinition* type) const
{
    if (!instanceRows) {
        // As the computation finds an element's type: the first typing
        // relation that lists it.
        QHash<const Step::BaseEntity*, const ifc2x3::IfcObjectDefinition*> typeOfObject;
        ifc2x3::ExpressDataSet* dataSet = model->dataSet();
        {
            const std::lock_guard<std::recursive_mutex> lock(dataSet->mutex());
            for (const auto& relation : dataSet->allOf<ifc2x3::IfcRelDefinesByType>()) {
                const auto* typeObject = dynamic_cast<const ifc2x3::IfcObjectDefinition*>(
                    relation->resolve(relation->getRelatingTypeValue()));
                for (ifc2x3::IfcObject* object : relation->getRelatedObjects()) {
                    if (!typeOfObject.contains(object)) {
                        typeOfObject.insert(object, typeObject);
                    }
                }
            }
        }
        instanceRows.emplace();
        for (int row : Calculator::getBuildingElementRows(model)) {
            const auto* object = typeOfObject.value(model->ifcObjectDefinition(model->index(row, 0)));
            if (object) {
                (*instanceRows)[object] << row;
            }
        }
    }
    static const QVector<int> none;
    const auto found = instanceRows->constFind(type);
    return found == instanceRows->cend() ? none : *found;
}

TypeInputsSuggester::Facts TypeInputsSuggester::factsOf(const TypeInputs& inputs) const
{
    Facts facts;
    const QVector<int>& rows = rowsOf(inputs.type);
    facts.materials = materialsOfType(inputs.type, rows);
    facts.entity = inputs.entity;
    for (int row : rows) {
        addQuantities(model->index(row, 0), facts);
    }
    if (!rows.isEmpty() && !isLinear(facts.entity)) {
        facts.entity = model->data(model->index(rows.front(), _ifc2x3::IFC2x3Model::ClassColumn)).toString();
    }
    return facts;
}

TypeInputsSuggester::Materials TypeInputsSuggester::materialsOfType(ifc2x3::IfcObjectDefinition* type,
                                                                    const QVector<int>& rows) const
{
    Materials materials = materialsOf(type);
    // The type's own materials first; else those of its first instance that
    // has some, as authoring tools often associate them with occurrences.
    for (int i = 0; materials.kind == Materials::None && i < rows.size(); ++i) {
        materials = materialsOf(model->ifcObjectDefinition(model->index(rows[i], 0)));
    }
    return materials;
}

TypeInputsSuggester::Materials TypeInputsSuggester::materialsOf(const Step::BaseEntity* object) const
{
    Materials materials;
    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    if (!object || !dataSet) {
        return materials;
    }
    const std::lock_guard<std::recursive_mutex> lock(dataSet->mutex());
    const double metresPerLengthUnit = model->units().projectUnit(_ifc2x3::UnitConverter::Kind::Length).factor;
    for (Step::BaseEntity* relation : dataSet->inverse(*object, ifc2x3::InverseRelation::HasAssociations)) {
        const auto* association = dynamic_cast<ifc2x3::IfcRelAssociatesMaterial*>(relation);
        const Step::BaseEntity* material =
            association ? association->resolve(association->getRelatingMaterialValue()) : nullptr;
        if (const auto* usage = dynamic_cast<const ifc2x3::IfcMaterialLayerSetUsage*>(material)) {
            material = usage->getForLayerSet();
        }
        if (const auto* single = dynamic_cast<const ifc2x3::IfcMaterial*>(material)) {
            materials.kind = Materials::Single;
            materials.layers = {{nameOf(single), 0.0}};
        } else if (const auto* set = dynamic_cast<const ifc2x3::IfcMaterialLayerSet*>(material)) {
            materials.kind = Materials::LayerSet;
            materials.setName = QString::fromStdWString(set->getLayerSetName().toWString());
            for (const ifc2x3::IfcMaterialLayer* layer : set->getMaterialLayers()) {
                // A layer without a material (an air gap) weighs nothing.
                if (layer && layer->getMaterial() && layer->testLayerThickness()) {
                    materials.layers.push_back(
                        {nameOf(layer->getMaterial()), layer->getLayerThickness() * metresPerLengthUnit});
                }
            }
        } else if (const auto* list = dynamic_cast<const ifc2x3::IfcMaterialList*>(material)) {
            materials.kind = Materials::List;
            for (const ifc2x3::IfcMaterial* entry : list->getMaterials()) {
                materials.layers.push_back({nameOf(entry), 0.0});
            }
        }
        if (materials.kind != Materials::None && !materials.layers.isEmpty()) {
            return materials;
        }
        materials = {};
    }
    return materials;
}

double TypeInputsSuggester::weightOf(const QModelIndex& element) const
{
    static const QString massUnit = _ifc2x3::UnitConverter::unitTypeOf(_ifc2x3::UnitConverter::Kind::Mass);
    for (const QString& setName : quantitySets) {
        const Step::RefPtr<CoreProperty> set = model->getProperty(element, {QStringLiteral("Properties"), setName});
        for (int i = 0; set && i < set->childCount(); ++i) {
            const Step::RefPtr<CoreProperty> quantity(set->getChildProperty(i));
            bool ok = false;
            const double weight =
                quantity && quantity->unitType() == massUnit ? quantity->numericValue().toDouble(&ok) : 0.0;
            // Gross and net weights of one element are not added: the first.
            if (ok && std::isfinite(weight) && weight > 0.0) {
                return weight;
            }
        }
    }
    return -1.0;
}

void TypeInputsSuggester::addQuantities(const QModelIndex& element, Facts& facts) const
{
    const double weight = weightOf(element);
    const auto add = [weight](Sums& sums, double value) {
        if (value <= 0.0) {
            return;
        }
        ++sums.count;
        sums.value += value;
        if (weight > 0.0) {
            ++sums.weighed;
            sums.weight += weight;
        }
    };
    add(facts.volume, calculator->readFunctionalUnitValue(element, Calculator::Volume, nullptr));
    add(facts.area, calculator->readFunctionalUnitValue(element, Calculator::Area, nullptr));
    add(facts.length, calculator->readFunctionalUnitValue(element, Calculator::Length, nullptr));
    add(facts.unit, 1.0);
}

Calculator::FunctionalUnit TypeInputsSuggester::unitFor(const Facts& facts, QString* source) const
{
    const int instances = facts.unit.count;
    if (facts.volume.count > 0) {
        *source = tr("%1 of %n instance(s) carry a volume", nullptr, instances).arg(facts.volume.count);
        return Calculator::Volume;
    }
    if (facts.materials.kind == Materials::LayerSet) {
        *source = tr("Layered element (layer set '%1'); %2 of %n instance(s) carry an area", nullptr, instances)
                      .arg(facts.materials.setName)
                      .arg(facts.area.count);
        return Calculator::Area;
    }
    if (isLinear(facts.entity) && facts.length.count > 0) {
        *source = tr("Linear element (%1); %2 of %n instance(s) carry a length", nullptr, instances)
                      .arg(facts.entity)
                      .arg(facts.length.count);
        return Calculator::Length;
    }
    *source = tr("Counted per unit: the instances carry no volume and the element is neither layered nor linear");
    return Calculator::Unit;
}

std::optional<double> TypeInputsSuggester::massFor(Calculator::FunctionalUnit unit, const Facts& facts,
                                                   QString* source) const
{
    // The instances' weights over their quantities: what the model says
    // each unit of them weighs.
    const auto byWeight = [&](const Sums& sums, const char* text) -> std::optional<double> {
        if (sums.weighed == 0 || sums.value <= 0.0) {
            return std::nullopt;
        }
        *source = tr(text, nullptr, sums.weighed);
        return sums.weight / sums.value;
    };
    std::optional<double> mass;
    switch (unit) {
    case Calculator::Volume:
        mass = densityMass(facts, false, source);
        return mass ? mass : byWeight(facts.volume, QT_TR_N_NOOP("Weights of %n instance(s) over their volumes"));
    case Calculator::Area:
        mass = densityMass(facts, true, source);
        return mass ? mass : byWeight(facts.area, QT_TR_N_NOOP("Weights of %n instance(s) over their areas"));
    case Calculator::Length:
        mass = byWeight(facts.length, QT_TR_N_NOOP("Weights of %n instance(s) over their lengths"));
        break;
    case Calculator::Unit:
        mass = byWeight(facts.unit, QT_TR_N_NOOP("Mean weight of %n instance(s)"));
        break;
    default:
        break;
    }
    if (!mass && source->isEmpty()) {
        *source = tr("The instances carry no weight");
    }
    return mass;
}

std::optional<double> TypeInputsSuggester::densityMass(const Facts& facts, bool perArea, QString* source) const
{
    const Materials& materials = facts.materials;
    if (materials.kind == Materials::None) {
        *source = tr("No material is associated with the type or its instances");
        return std::nullopt;
    }
    const bool single = materials.layers.size() == 1;
    if (!single && materials.kind != Materials::LayerSet) {
        *source = tr("%1: no proportions to weigh the densities by").arg(materialsText(facts));
        return std::nullopt;
    }
    if (perArea && materials.kind != Materials::LayerSet) {
        *source = tr("%1: no thickness to give a mass per area").arg(materialsText(facts));
        return std::nullopt;
    }
    double massPerArea = 0.0;
    double thickness = 0.0;
    for (const Layer& layer : materials.layers) {
        const std::optional<double> density = densityOf(layer.material);
        if (!density) {
            *source = tr("%1: no density for '%2' in the material library").arg(materialsText(facts), layer.material);
            return std::nullopt;
        }
        massPerArea += layer.thickness * *density;
        thickness += layer.thickness;
    }
    *source = materialsText(facts);
    if (single && !perArea) {
        return densityOf(materials.layers.front().material);
    }
    // A layered element counted by volume weighs its mean density.
    if (!perArea && thickness <= 0.0) {
        return std::nullopt;
    }
    return perArea ? massPerArea : massPerArea / thickness;
}

std::optional<QVector<TypeInputs::Share>> TypeInputsSuggester::compositionFor(const Facts& facts, QString* source) const
{
    const Materials& materials = facts.materials;
    if (materials.kind == Materials::None) {
        *source = tr("No material is associated with the type or its instances");
        return std::nullopt;
    }
    // One share per material, layers of the same material added up.
    QVector<TypeInputs::Share> shares;
    QVector<double> masses;
    bool weighed = true;
    for (const Layer& layer : materials.layers) {
        auto known =
            std::find_if(shares.begin(), shares.end(), [&](const auto& s) { return s.material == layer.material; });
        if (known == shares.end()) {
            shares.push_back({layer.material, {}});
            masses.push_back(0.0);
            known = shares.end() - 1;
        }
        const std::optional<double> density = densityOf(layer.material);
        weighed = weighed && density;
        masses[int(known - shares.begin())] += layer.thickness * density.value_or(0.0);
    }
    if (shares.size() == 1) {
        shares.front().value = 100.0;
        *source = tr("Single material: %1").arg(materialsText(facts));
        return shares;
    }
    const double total = std::accumulate(masses.cbegin(), masses.cend(), 0.0);
    if (materials.kind != Materials::LayerSet || !weighed || total <= 0.0) {
        *source = tr("%1: type the share of each material").arg(materialsText(facts));
        return shares;
    }
    for (int i = 0; i < shares.size(); ++i) {
        shares[i].value = masses[i] / total * 100.0;
    }
    *source = tr("Shares of the mass by thickness × density: %1").arg(materialsText(facts));
    return shares;
}

std::optional<double> TypeInputsSuggester::densityOf(const QString& material) const
{
    const MaterialLibrary::Match match = library.match(material);
    return match && match.entry->density > 0.0 ? std::optional<double>(match.entry->density) : std::nullopt;
}

QStringList TypeInputsSuggester::materialsWithoutDensity(const Facts& facts) const
{
    QStringList names;
    for (const Layer& layer : facts.materials.layers) {
        if (!densityOf(layer.material) && !names.contains(layer.material)) {
            names << layer.material;
        }
    }
    return names;
}

QString TypeInputsSuggester::layerText(const Layer& layer) const
{
    const std::optional<double> density = densityOf(layer.material);
    const QString densityText =
        density ? tr("%1 kg/m³").arg(number(*density)) : tr("no density in the material library");
    if (layer.thickness > 0.0) {
        return tr("%1 mm %2, %3").arg(number(layer.thickness * 1000.0), layer.material, densityText);
    }
    return tr("%1, %2").arg(layer.material, densityText);
}

QString TypeInputsSuggester::materialsText(const Facts& facts) const
{
    QStringList layers;
    for (const Layer& layer : facts.materials.layers) {
        layers << layerText(layer);
    }
    const QString listed = layers.join(QStringLiteral("; "));
    switch (facts.materials.kind) {
    case Materials::LayerSet:
        return tr("layer set '%1': %2").arg(facts.materials.setName, listed);
    case Materials::List:
        return tr("material list: %1").arg(listed);
    case Materials::Single:
        return tr("material %1").arg(listed);
    default:
        return tr("no material");
    }
}

} // namespace Orvane
