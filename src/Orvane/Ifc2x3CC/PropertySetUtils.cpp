#include "PropertySetUtils.h"

#include "GlobalId.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/UnitConverter.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QWriteLocker>

#include <algorithm>
#include <cmath>

namespace Orvane {
namespace Ifc2x3CC {

using namespace ifc2x3;

namespace {

/// Where one set is attached to an object: through a relation (occurrence)
/// or in the object's own list (type object, relation null).
struct Attachment
{
    IfcPropertySetDefinition* set;
    IfcRelDefinesByProperties* relation;
};

const std::string& nameOf(const Step::BaseEntity* entity)
{
    return entity->argument(2).plain().text();
}

std::vector<Attachment> attachedSets(IfcObjectDefinition* object, const std::string& name)
{
    std::vector<Attachment> out;
    if (auto* occurrence = dynamic_cast<IfcObject*>(object)) {
        for (const auto& relation : occurrence->getIsDefinedBy()) {
            auto* byProperties = dynamic_cast<IfcRelDefinesByProperties*>(relation.get());
            IfcPropertySetDefinition* set = byProperties ? byProperties->getRelatingPropertyDefinition() : nullptr;
            if (set && nameOf(set) == name) {
                out.push_back({set, byProperties});
            }
        }
    } else if (auto* type = dynamic_cast<IfcTypeObject*>(object)) {
        for (IfcPropertySetDefinition* set : type->getHasPropertySets()) {
            if (nameOf(set) == name) {
                out.push_back({set, nullptr});
            }
        }
    }
    return out;
}

/// Number of objects the set is attached to.
std::size_t userCount(IfcPropertySetDefinition* set)
{
    std::size_t count = set->getDefinesType().size();
    for (const auto& relation : set->getPropertyDefinitionOf()) {
        count += relation->getRelatedObjectsValue().items().size();
    }
    return count;
}

Step::BaseEntity* copyEntity(ExpressDataSet& dataSet, const Step::BaseEntity* source)
{
    Step::BaseEntity* copy = dataSet.create(source->getType().id());
    for (std::size_t i = 0; i < source->argumentCount(); ++i) {
        copy->setArgument(i, source->argument(i));
    }
    return copy;
}

IfcProperty* copyProperty(ExpressDataSet& dataSet, IfcProperty* property)
{
    auto* copy = static_cast<IfcProperty*>(copyEntity(dataSet, property));
    if (auto* complex = dynamic_cast<IfcComplexProperty*>(copy)) {
        std::vector<IfcProperty*> children;
        for (IfcProperty* child : complex->getHasProperties()) {
            children.push_back(copyProperty(dataSet, child));
        }
        complex->setHasProperties(children);
    }
    return copy;
}

IfcPropertySet* copySet(ExpressDataSet& dataSet, IfcPropertySet* set)
{
    auto* copy = static_cast<IfcPropertySet*>(copyEntity(dataSet, set));
    copy->setGlobalId(createGlobalId());
    std::vector<IfcProperty*> properties;
    for (IfcProperty* property : set->getHasProperties()) {
        properties.push_back(copyProperty(dataSet, property));
    }
    copy->setHasProperties(properties);
    return copy;
}

void deletePropertyTree(ExpressDataSet& dataSet, Step::BaseEntity* entity)
{
    std::vector<Step::BaseEntity*> children;
    if (auto* set = dynamic_cast<IfcPropertySet*>(entity)) {
        for (IfcProperty* p : set->getHasProperties()) {
            children.push_back(p);
        }
    } else if (auto* complex = dynamic_cast<IfcComplexProperty*>(entity)) {
        for (IfcProperty* p : complex->getHasProperties()) {
            children.push_back(p);
        }
    } else if (auto* quantities = dynamic_cast<IfcElementQuantity*>(entity)) {
        for (IfcPhysicalQuantity* q : quantities->getQuantities()) {
            children.push_back(q);
        }
    }
    for (Step::BaseEntity* child : children) {
        deletePropertyTree(dataSet, child);
    }
    dataSet.remove(entity->getKey());
}

void detach(ExpressDataSet& dataSet, IfcObjectDefinition* object, const Attachment& attachment)
{
    if (attachment.relation) {
        std::vector<Step::Value> remaining;
        for (const Step::Value& item : attachment.relation->getRelatedObjectsValue().items()) {
            if (item.referenceKey() != object->getKey()) {
                remaining.push_back(item);
            }
        }
        if (remaining.empty()) {
            dataSet.remove(attachment.relation->getKey());
        } else {
            attachment.relation->setRelatedObjectsValue(Step::Value::list(std::move(remaining)));
        }
    } else if (auto* type = dynamic_cast<IfcTypeObject*>(object)) {
        std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
        sets.erase(std::remove(sets.begin(), sets.end(), attachment.set), sets.end());
        if (sets.empty()) {
            type->setHasPropertySetsValue(Step::Value());
        } else {
            type->setHasPropertySets(sets);
        }
    }
}

void attach(ExpressDataSet& dataSet, IfcObjectDefinition* object, IfcPropertySetDefinition* set)
{
    if (auto* type = dynamic_cast<IfcTypeObject*>(object)) {
        std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
        sets.push_back(set);
        type->setHasPropertySets(sets);
        return;
    }
    auto* relation = dataSet.createEntity<IfcRelDefinesByProperties>();
    relation->setGlobalId(createGlobalId());
    relation->setOwnerHistoryValue(object->getOwnerHistoryValue());
    relation->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(object->getKey())}));
    relation->setRelatingPropertyDefinition(set);
}

void deleteIfUnused(ExpressDataSet& dataSet, IfcPropertySetDefinition* set)
{
    if (userCount(set) == 0) {
        deletePropertyTree(dataSet, set);
    }
}

Step::Value typedValue(const QVariant& value, IfcValue::IfcValue_select type)
{
    const char* typeName = IfcValue::stepName(type);
    if (!typeName || !value.isValid()) {
        return {};
    }
    const std::string t = typeName;
    bool ok = true;
    Step::Value inner;
    if (t == "IFCBOOLEAN" || t == "IFCLOGICAL") {
        if (value.userType() == BooleanVariant::metaTypeId()) {
            const auto state = value.value<BooleanVariant>().state();
            inner = Step::Value::enumeration(state == BooleanVariant::True    ? "T"
                                             : state == BooleanVariant::False ? "F"
                                                                              : "U");
        } else {
            inner = Step::Value::logical(value.toBool());
        }
    } else if (t == "IFCLABEL" || t == "IFCTEXT" || t == "IFCIDENTIFIER" || t == "IFCDESCRIPTIVEMEASURE") {
        inner = Step::Value::string(value.toString().toStdString());
    } else if (t == "IFCINTEGER" || t == "IFCTIMESTAMP" || t == "IFCINTEGERCOUNTRATEMEASURE") {
        inner = Step::Value::integer(value.toLongLong(&ok));
    } else if (t == "IFCCOMPLEXNUMBER") {
        ok = false;
    } else {
        const double d = value.toDouble(&ok);
        ok = ok && std::isfinite(d);
        inner = Step::Value::real(d);
    }
    return ok ? Step::Value::typed(t, std::move(inner)) : Step::Value();
}

struct SIUnitName
{
    const char* unitType;
    const char* name;
};

bool siUnitOf(IfcValue::IfcValue_select type, SIUnitName& out)
{
    switch (type) {
    case IfcValue::IfcMassMeasure:
        out = {"MASSUNIT", "GRAM"};
        return true;
    case IfcValue::IfcLengthMeasure:
    case IfcValue::IfcPositiveLengthMeasure:
        out = {"LENGTHUNIT", "METRE"};
        return true;
    case IfcValue::IfcAreaMeasure:
        out = {"AREAUNIT", "SQUARE_METRE"};
        return true;
    case IfcValue::IfcVolumeMeasure:
        out = {"VOLUMEUNIT", "CUBIC_METRE"};
        return true;
    case IfcValue::IfcTimeMeasure:
        out = {"TIMEUNIT", "SECOND"};
        return true;
    default:
        return false;
    }
}

IfcSIUnit* findOrCreateSIUnit(ExpressDataSet& dataSet, const SIUnitName& unit, const char* prefix)
{
    const std::string wantedPrefix = prefix ? prefix : "";
    for (const auto& candidate : dataSet.allOf<IfcSIUnit>()) {
        if (candidate->getUnitType() == unit.unitType && candidate->getName() == unit.name &&
            candidate->getPrefixValue().plain().text() == wantedPrefix) {
            return candidate.get();
        }
    }
    auto* created = dataSet.createEntity<IfcSIUnit>();
    created->setUnitType(unit.unitType);
    if (prefix) {
        created->setPrefix(prefix);
    }
    created->setName(unit.name);
    return created;
}

/// The unit to attach to a new value: the prefixed SI unit when a prefix is
/// given; without one, values are in SI units, which need saying only when
/// the project's unit of that kind is another one (millimetres, say).
Step::Value unitValue(ExpressDataSet& dataSet, IfcValue::IfcValue_select type, IfcSIPrefix prefix)
{
    SIUnitName unit{};
    if (!siUnitOf(type, unit)) {
        return {};
    }
    if (prefix != IfcSIPrefix_UNSET) {
        return Step::Value::reference(findOrCreateSIUnit(dataSet, unit, stepName(prefix))->getKey());
    }
    _ifc2x3::IFC2x3Model* model = _ifc2x3::IFC2x3Model::modelOf(&dataSet);
    const double factor = model
                              ? model->units().projectUnit(QString::fromLatin1(unit.unitType)).factor
                              : _ifc2x3::UnitConverter(&dataSet).projectUnit(QString::fromLatin1(unit.unitType)).factor;
    const double siFactor = std::string(unit.name) == "GRAM" ? 1e-3 : 1.0;
    if (std::abs(factor - siFactor) <= 1e-12 * siFactor) {
        return {};
    }
    const char* siPrefix = std::string(unit.name) == "GRAM" ? "KILO" : nullptr;
    return Step::Value::reference(findOrCreateSIUnit(dataSet, unit, siPrefix)->getKey());
}

IfcPropertySet* writableSet(ExpressDataSet& dataSet, IfcObjectDefinition* object, const Step::String& name)
{
    const std::string wanted = name.toUtf8();
    for (const Attachment& attachment : attachedSets(object, wanted)) {
        auto* set = dynamic_cast<IfcPropertySet*>(attachment.set);
        if (!set) {
            continue;
        }
        if (userCount(set) <= 1) {
            return set;
        }
        // Shared with other objects: give this object its own copy.
        IfcPropertySet* copy = copySet(dataSet, set);
        detach(dataSet, object, attachment);
        attach(dataSet, object, copy);
        return copy;
    }
    auto* set = dataSet.createEntity<IfcPropertySet>();
    set->setGlobalId(createGlobalId());
    set->setOwnerHistoryValue(object->getOwnerHistoryValue());
    set->setName(name);
    set->setHasPropertiesValue(Step::Value::list({}));
    attach(dataSet, object, set);
    return set;
}

} // namespace

IfcPropertySetDefinition* PropertySetUtils::findPropertySet(IfcObjectDefinition* object,
                                                            const Step::String& propertySetName)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    if (!dataSet) {
        return nullptr;
    }
    QReadLocker locker(&_ifc2x3::dataSetLock(dataSet));
    const std::vector<Attachment> sets = attachedSets(object, propertySetName.toUtf8());
    return sets.empty() ? nullptr : sets.front().set;
}

bool PropertySetUtils::addProperty(IfcObjectDefinition* object, const Step::String& propertySetName,
                                   const Step::String& propertyName, const QVariant& value,
                                   IfcValue::IfcValue_select type, IfcSIPrefix prefix, bool replace)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    const Step::Value nominal = typedValue(value, type);
    if (!dataSet || nominal.isNull() || propertyName.empty()) {
        return false;
    }
    QWriteLocker locker(&_ifc2x3::dataSetLock(dataSet));
    IfcPropertySet* set = writableSet(*dataSet, object, propertySetName);
    const Step::Value unit = unitValue(*dataSet, type, prefix);

    std::vector<IfcProperty*> properties = set->getHasProperties();
    const std::string wanted = propertyName.toUtf8();
    if (replace) {
        for (IfcProperty*& property : properties) {
            if (property->getNameValue().plain().text() != wanted) {
                continue;
            }
            if (auto* single = dynamic_cast<IfcPropertySingleValue*>(property)) {
                single->setNominalValueValue(nominal);
                single->setUnitValue(unit);
                return true;
            }
            // Another kind of property of that name: a single value takes its place.
            auto* single = dataSet->createEntity<IfcPropertySingleValue>();
            single->setName(propertyName);
            single->setNominalValueValue(nominal);
            single->setUnitValue(unit);
            IfcProperty* old = property;
            property = single;
            set->setHasProperties(properties);
            deletePropertyTree(*dataSet, old);
            return true;
        }
    }
    auto* single = dataSet->createEntity<IfcPropertySingleValue>();
    single->setName(propertyName);
    single->setNominalValueValue(nominal);
    single->setUnitValue(unit);
    properties.push_back(single);
    set->setHasProperties(properties);
    return true;
}

bool PropertySetUtils::removePropertySet(IfcObjectDefinition* object, const Step::String& propertySetName)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    if (!dataSet) {
        return false;
    }
    QWriteLocker locker(&_ifc2x3::dataSetLock(dataSet));
    const std::vector<Attachment> sets = attachedSets(object, propertySetName.toUtf8());
    for (const Attachment& attachment : sets) {
        detach(*dataSet, object, attachment);
        deleteIfUnused(*dataSet, attachment.set);
    }
    return !sets.empty();
}

} // namespace Ifc2x3CC
} // namespace Orvane
