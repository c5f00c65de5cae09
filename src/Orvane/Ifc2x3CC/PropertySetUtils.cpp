#include "PropertySetUtils.h"

#include "GlobalId.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/_ifc2x3/DataSetLocker.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/UnitConverter.h"

#include "ifc2x3/EntityAccess.h"
#include "ifc2x3/ExpressDataSet.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <unordered_set>

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

std::string_view nameOf(const Step::BaseEntity* entity)
{
    return entity->argument(2).plain().text();
}

bool isOneOf(std::string_view name, const std::vector<std::string>& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isOneOf(std::string_view name, const std::string& wanted)
{
    return name == wanted;
}

/// The object's sets of any of these names, in the order the object has
/// them (an occurrence's relations in file order, a type's list). Names
/// are one UTF-8 name or a list of them.
template <class Names>
std::vector<Attachment> attachedSets(ExpressDataSet& dataSet, IfcObjectDefinition* object, const Names& names)
{
    std::vector<Attachment> out;
    const Step::ClassType& setType = IfcPropertySetDefinition::getClassType();
    if (object->isOfType(IfcObject::getClassType())) {
        dataSet.forEachInverse(*object, InverseRelation::IsDefinedBy, [&](Step::BaseEntity* relation) {
            if (!relation->isOfType(IfcRelDefinesByProperties::getClassType())) {
                return;
            }
            auto* byProperties = static_cast<IfcRelDefinesByProperties*>(relation);
            Step::BaseEntity* set = relation->resolve(byProperties->getRelatingPropertyDefinitionValue());
            if (set && set->isOfType(setType) && isOneOf(nameOf(set), names)) {
                out.push_back({static_cast<IfcPropertySetDefinition*>(set), byProperties});
            }
        });
    } else if (object->isOfType(IfcTypeObject::getClassType())) {
        for (const Step::Value& item : static_cast<IfcTypeObject*>(object)->getHasPropertySetsValue().items()) {
            Step::BaseEntity* set = object->resolve(item);
            if (set && set->isOfType(setType) && isOneOf(nameOf(set), names)) {
                out.push_back({static_cast<IfcPropertySetDefinition*>(set), nullptr});
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
    return dataSet.create(source->getType().id(), [&](Step::BaseEntity& copy) {
        for (std::size_t i = 0; i < source->argumentCount(); ++i) {
            copy.setArgument(i, source->argument(i));
        }
    });
}

IfcProperty* copyProperty(ExpressDataSet& dataSet, IfcProperty* property)
{
    auto* copy = static_cast<IfcProperty*>(copyEntity(dataSet, property));
    if (auto* complex = entityAs<IfcComplexProperty>(copy)) {
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
    copy->setGlobalIdValue(Step::Value::string(createGlobalId()));
    std::vector<IfcProperty*> properties;
    for (IfcProperty* property : set->getHasProperties()) {
        properties.push_back(copyProperty(dataSet, property));
    }
    copy->setHasProperties(properties);
    return copy;
}

/// The properties and quantities that several sets or complex properties
/// list (some exporters share them): such a part is never changed nor
/// deleted on behalf of one of them.
class SharedParts
{
public:
    explicit SharedParts(ExpressDataSet& dataSet) : m_dataSet(dataSet), m_model(_ifc2x3::IFC2x3Model::modelOf(&dataSet))
    {
    }

    bool contains(const Step::BaseEntity* part)
    {
        if (m_model) {
            return m_model->sharedPropertyParts().count(part->getKey()) > 0;
        }
        if (!m_scanned) {
            m_keys = _ifc2x3::findSharedPropertyParts(m_dataSet);
            m_scanned = true;
        }
        return m_keys.count(part->getKey()) > 0;
    }

private:
    ExpressDataSet& m_dataSet;
    _ifc2x3::IFC2x3Model* m_model;
    bool m_scanned = false;
    std::unordered_set<std::uint64_t> m_keys;
};

/// Deletes a set or property with the parts only it lists.
void deletePropertyTree(ExpressDataSet& dataSet, Step::BaseEntity* entity, SharedParts& shared)
{
    std::vector<Step::BaseEntity*> children;
    if (auto* set = entityAs<IfcPropertySet>(entity)) {
        for (IfcProperty* p : set->getHasProperties()) {
            children.push_back(p);
        }
    } else if (auto* complex = entityAs<IfcComplexProperty>(entity)) {
        for (IfcProperty* p : complex->getHasProperties()) {
            children.push_back(p);
        }
    } else if (auto* quantities = entityAs<IfcElementQuantity>(entity)) {
        for (IfcPhysicalQuantity* q : quantities->getQuantities()) {
            children.push_back(q);
        }
    }
    for (Step::BaseEntity* child : children) {
        if (!shared.contains(child)) {
            deletePropertyTree(dataSet, child, shared);
        }
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
    } else if (auto* type = entityAs<IfcTypeObject>(object)) {
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
    if (auto* type = entityAs<IfcTypeObject>(object)) {
        std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
        sets.push_back(set);
        type->setHasPropertySets(sets);
        return;
    }
    dataSet.createEntity<IfcRelDefinesByProperties>([&](IfcRelDefinesByProperties& relation) {
        relation.setGlobalIdValue(Step::Value::string(createGlobalId()));
        relation.setOwnerHistoryValue(object->getOwnerHistoryValue());
        relation.setRelatedObjectsValue(Step::Value::list({Step::Value::reference(object->getKey())}));
        relation.setRelatingPropertyDefinition(set);
    });
}

/// Gives the object its own copy of a set it shares with others, in the
/// place of the shared one, so that no other object sees the change and
/// the copy keeps the original's rank among the object's sets where it can.
void replaceAttachment(ExpressDataSet& dataSet, IfcObjectDefinition* object, const Attachment& attachment,
                       IfcPropertySetDefinition* copy)
{
    if (!attachment.relation) {
        if (auto* type = entityAs<IfcTypeObject>(object)) {
            std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
            std::replace(sets.begin(), sets.end(), attachment.set, copy);
            type->setHasPropertySets(sets);
        }
        return;
    }
    const auto& related = attachment.relation->getRelatedObjectsValue().items();
    const bool onlyThisObject = std::all_of(related.begin(), related.end(), [&](const Step::Value& item) {
        return item.referenceKey() == object->getKey();
    });
    if (onlyThisObject) {
        attachment.relation->setRelatingPropertyDefinition(copy);
        return;
    }
    // The relation serves other objects too: this one gets a relation of
    // its own (which comes last in file order).
    detach(dataSet, object, attachment);
    attach(dataSet, object, copy);
}

void deleteIfUnused(ExpressDataSet& dataSet, IfcPropertySetDefinition* set)
{
    if (userCount(set) == 0) {
        SharedParts shared(dataSet);
        deletePropertyTree(dataSet, set, shared);
    }
}

Step::Value typedValue(const QVariant& value, IfcValue::IfcValue_select type)
{
    const char* typeName = IfcValue::stepName(type);
    if (!typeName || !value.isValid()) {
        return {};
    }
    bool ok = true;
    Step::Value inner;
    switch (type) {
    case IfcValue::IfcBoolean:
    case IfcValue::IfcLogical:
        if (value.userType() == BooleanVariant::metaTypeId()) {
            const auto state = value.value<BooleanVariant>().state();
            inner = Step::Value::enumeration(state == BooleanVariant::True    ? "T"
                                             : state == BooleanVariant::False ? "F"
                                                                              : "U");
        } else {
            inner = Step::Value::logical(value.toBool());
        }
        break;
    case IfcValue::IfcLabel:
    case IfcValue::IfcText:
    case IfcValue::IfcIdentifier:
    case IfcValue::IfcDescriptiveMeasure:
        inner = Step::Value::string(value.toString().toStdString());
        break;
    case IfcValue::IfcInteger:
    case IfcValue::IfcTimeStamp:
    case IfcValue::IfcIntegerCountRateMeasure:
        inner = Step::Value::integer(value.toLongLong(&ok));
        break;
    case IfcValue::IfcComplexNumber:
        ok = false;
        break;
    default: {
        const double d = value.toDouble(&ok);
        ok = ok && std::isfinite(d);
        inner = Step::Value::real(d);
        break;
    }
    }
    return ok ? Step::Value::typed(typeName, std::move(inner)) : Step::Value();
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
    const std::string_view wantedPrefix = prefix ? prefix : "";
    for (const auto& candidate : dataSet.allOf<IfcSIUnit>()) {
        if (candidate->getUnitTypeValue().plain().text() == unit.unitType &&
            candidate->getNameValue().plain().text() == unit.name &&
            candidate->getPrefixValue().plain().text() == wantedPrefix) {
            return candidate.get();
        }
    }
    return dataSet.createEntity<IfcSIUnit>([&](IfcSIUnit& created) {
        created.setUnitType(unit.unitType);
        if (prefix) {
            created.setPrefix(prefix);
        }
        created.setName(unit.name);
    });
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
    // Factors are relative to SI units (the kilogram for masses).
    if (std::abs(factor - 1.0) <= 1e-12) {
        return {};
    }
    const char* siPrefix = std::string(unit.name) == "GRAM" ? "KILO" : nullptr;
    return Step::Value::reference(findOrCreateSIUnit(dataSet, unit, siPrefix)->getKey());
}

/// Lets the model showing the data set know its relations change (called
/// with the lock held for writing, so no reader sees the change half done).
void announceChange(ExpressDataSet& dataSet)
{
    if (_ifc2x3::IFC2x3Model* model = _ifc2x3::IFC2x3Model::modelOf(&dataSet)) {
        model->relationsChanged();
    }
}

IfcPropertySet* writableSet(ExpressDataSet& dataSet, IfcObjectDefinition* object, const std::string& utf8Name)
{
    for (const Attachment& attachment : attachedSets(dataSet, object, utf8Name)) {
        auto* set = entityAs<IfcPropertySet>(attachment.set);
        if (!set) {
            continue;
        }
        if (userCount(set) <= 1) {
            return set;
        }
        // Shared with other objects: give this object its own copy.
        IfcPropertySet* copy = copySet(dataSet, set);
        replaceAttachment(dataSet, object, attachment, copy);
        return copy;
    }
    auto* set = dataSet.createEntity<IfcPropertySet>([&](IfcPropertySet& created) {
        created.setGlobalIdValue(Step::Value::string(createGlobalId()));
        created.setOwnerHistoryValue(object->getOwnerHistoryValue());
        created.setNameValue(Step::Value::string(utf8Name));
        created.setHasPropertiesValue(Step::Value::list({}));
    });
    attach(dataSet, object, set);
    return set;
}

/// Writes single values into one set: its list is read once, changed in
/// memory and set once at the end, instead of once per property.
class SetWriter
{
public:
    SetWriter(ExpressDataSet& dataSet, IfcPropertySet* set, bool replace)
        : m_dataSet(dataSet), m_set(set), m_replace(replace), m_shared(dataSet)
    {
        for (const Step::Value& item : set->getHasPropertiesValue().items()) {
            Step::BaseEntity* property = set->resolve(item);
            if (property && property->isOfType(IfcProperty::getClassType())) {
                m_items.push_back(item);
            }
        }
    }

    void put(const PropertySetUtils::SingleValue& property, Step::Value nominal)
    {
        const Step::Value unit = unitFor(property.type, property.prefix);
        const std::string_view name = property.name;
        if (m_replace) {
            if (const std::optional<std::size_t> position = find(name)) {
                replaceAt(*position, name, std::move(nominal), unit);
                return;
            }
        }
        IfcPropertySingleValue* single = createSingle(name, std::move(nominal), unit);
        m_items.push_back(Step::Value::reference(single->getKey()));
    }

    void finish() { m_set->setHasPropertiesValue(Step::Value::list(std::move(m_items))); }

private:
    /// Position of the first property of that name. Sets hold a few
    /// properties: a look through them costs less than keeping an index.
    std::optional<std::size_t> find(std::string_view name) const
    {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (nameOfProperty(m_set->resolve(m_items[i])) == name) {
                return i;
            }
        }
        return std::nullopt;
    }

    static std::string_view nameOfProperty(const Step::BaseEntity* property)
    {
        return static_cast<const IfcProperty*>(property)->getNameValue().plain().text();
    }

    void replaceAt(std::size_t position, std::string_view name, Step::Value nominal, const Step::Value& unit)
    {
        auto* old = static_cast<IfcProperty*>(m_set->resolve(m_items[position]));
        const bool sharedPart = m_shared.contains(old);
        if (!sharedPart && old->isOfType(IfcPropertySingleValue::getClassType())) {
            auto* single = static_cast<IfcPropertySingleValue*>(old);
            single->setNominalValueValue(nominal);
            single->setUnitValue(unit);
            return;
        }
        // Another kind of property of that name, or one that other sets list
        // too: a new single value takes its place in this set.
        IfcPropertySingleValue* single = createSingle(name, std::move(nominal), unit);
        m_items[position] = Step::Value::reference(single->getKey());
        if (!sharedPart) {
            deletePropertyTree(m_dataSet, old, m_shared);
        }
    }

    IfcPropertySingleValue* createSingle(std::string_view name, Step::Value nominal, const Step::Value& unit)
    {
        return m_dataSet.createEntity<IfcPropertySingleValue>([&](IfcPropertySingleValue& single) {
            single.setNameValue(Step::Value::string(name));
            single.setNominalValueValue(std::move(nominal));
            single.setUnitValue(unit);
        });
    }

    Step::Value unitFor(IfcValue::IfcValue_select type, IfcSIPrefix prefix)
    {
        for (const auto& [knownType, knownPrefix, unit] : m_units) {
            if (knownType == type && knownPrefix == prefix) {
                return unit;
            }
        }
        m_units.emplace_back(type, prefix, unitValue(m_dataSet, type, prefix));
        return std::get<2>(m_units.back());
    }

    ExpressDataSet& m_dataSet;
    IfcPropertySet* m_set;
    bool m_replace;
    SharedParts m_shared;
    std::vector<Step::Value> m_items;
    std::vector<std::tuple<IfcValue::IfcValue_select, IfcSIPrefix, Step::Value>> m_units;
};

} // namespace

IfcPropertySetDefinition* PropertySetUtils::findPropertySet(IfcObjectDefinition* object,
                                                            const Step::String& propertySetName)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    if (!dataSet) {
        return nullptr;
    }
    const _ifc2x3::DataSetLocker locker(_ifc2x3::dataSetLock(dataSet), _ifc2x3::DataSetLocker::Read);
    const std::vector<Attachment> sets = attachedSets(*dataSet, object, propertySetName.toUtf8());
    return sets.empty() ? nullptr : sets.front().set;
}

bool PropertySetUtils::addProperty(IfcObjectDefinition* object, const Step::String& propertySetName,
                                   const Step::String& propertyName, const QVariant& value,
                                   IfcValue::IfcValue_select type, IfcSIPrefix prefix, bool replace)
{
    const std::string name = propertyName.toUtf8();
    return addProperties(object, propertySetName.toUtf8(), {{name, value, type, prefix}}, replace) == 1;
}

int PropertySetUtils::addProperties(IfcObjectDefinition* object, const std::string& propertySetName,
                                    const std::vector<SingleValue>& properties, bool replace)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    if (!dataSet) {
        return 0;
    }
    std::vector<Step::Value> nominals;
    nominals.reserve(properties.size());
    bool any = false;
    for (const SingleValue& property : properties) {
        nominals.push_back(property.name.empty() ? Step::Value() : typedValue(property.value, property.type));
        any = any || !nominals.back().isNull();
    }
    if (!any) {
        return 0;
    }
    const _ifc2x3::DataSetLocker locker(_ifc2x3::dataSetLock(dataSet), _ifc2x3::DataSetLocker::Write);
    announceChange(*dataSet);
    SetWriter writer(*dataSet, writableSet(*dataSet, object, propertySetName), replace);
    int written = 0;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        if (!nominals[i].isNull()) {
            writer.put(properties[i], std::move(nominals[i]));
            ++written;
        }
    }
    writer.finish();
    return written;
}

bool PropertySetUtils::removePropertySet(IfcObjectDefinition* object, const Step::String& propertySetName)
{
    return removePropertySets(object, {propertySetName.toUtf8()});
}

bool PropertySetUtils::removePropertySets(IfcObjectDefinition* object, const std::vector<std::string>& utf8Names)
{
    auto* dataSet = object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
    if (!dataSet) {
        return false;
    }
    const _ifc2x3::DataSetLocker locker(_ifc2x3::dataSetLock(dataSet), _ifc2x3::DataSetLocker::Write);
    const std::vector<Attachment> sets = attachedSets(*dataSet, object, utf8Names);
    if (sets.empty()) {
        return false;
    }
    announceChange(*dataSet);
    for (const Attachment& attachment : sets) {
        detach(*dataSet, object, attachment);
    }
    // Only once every link is gone can a set tell it is unused; a set listed
    // twice must not be deleted twice.
    std::vector<IfcPropertySetDefinition*> detached;
    for (const Attachment& attachment : sets) {
        if (std::find(detached.begin(), detached.end(), attachment.set) == detached.end()) {
            detached.push_back(attachment.set);
        }
    }
    for (IfcPropertySetDefinition* set : detached) {
        deleteIfUnused(*dataSet, set);
    }
    return true;
}

} // namespace Ifc2x3CC
} // namespace Orvane
