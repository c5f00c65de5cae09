#include "PropertySetUtils.h"

#include "GlobalId.h"

#include "EditContext.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/_ifc2x3/UnitConverter.h"

#include "ifc2x3/EntityAccess.h"
#include "ifc2x3/ExpressDataSet.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <unordered_map>
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

/// The name of a property set (an IfcRoot).
std::string_view nameOf(const Step::BaseEntity* entity)
{
    return static_cast<const IfcRoot*>(entity)->getNameValue().plain().text();
}

bool isOneOf(std::string_view name, const std::vector<std::string>& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isOneOf(std::string_view name, const std::string& wanted)
{
    return name == wanted;
}

/// Whether the set a value refers to may bear one of the names, told from
/// its record while it is not decoded: an object carries many other sets,
/// and decoding each of them only to read its name costs more than the
/// rest of an edit.
bool fingerprintIsOneOf(std::uint32_t fingerprint, const std::string& name)
{
    return Step::Lexer::textFingerprint(name) == fingerprint;
}

bool fingerprintIsOneOf(std::uint32_t fingerprint, const std::vector<std::string>& names)
{
    return std::any_of(names.begin(), names.end(),
                       [fingerprint](const std::string& name) { return fingerprintIsOneOf(fingerprint, name); });
}

template <class Names> bool mayBeNamed(ExpressDataSet& dataSet, Step::Id set, const Names& names)
{
    // The name told at open spares reading the record of a set of another.
    const std::uint32_t fingerprint = dataSet.textFingerprint(set);
    if (fingerprint != 0 && !fingerprintIsOneOf(fingerprint, names)) {
        return false;
    }
    constexpr std::size_t nameAttribute = 2; // GlobalId, OwnerHistory, Name
    Step::Value name;
    if (!dataSet.peekArgument(set, nameAttribute, name)) {
        return true; // decoded already, or unreadable as text: the instance tells
    }
    return isOneOf(name.plain().text(), names);
}

template <class Names> bool mayBeNamed(ExpressDataSet& dataSet, const Step::Value& reference, const Names& names)
{
    return !reference.isReference() || mayBeNamed(dataSet, reference.referenceKey(), names);
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
        // The relations are read from their text: only those of a set of
        // these names are decoded.
        dataSet.forEachDefiningSet(*object, [&](Step::Id relation, Step::Id definition) {
            if (!mayBeNamed(dataSet, definition, names)) {
                return;
            }
            Step::BaseEntity* set = dataSet.get(definition);
            if (!set || !isOneOf(nameOf(set), names)) {
                return;
            }
            if (auto* byProperties = static_cast<IfcRelDefinesByProperties*>(dataSet.get(relation))) {
                out.push_back({static_cast<IfcPropertySetDefinition*>(set), byProperties});
            }
        });
    } else if (object->isOfType(IfcTypeObject::getClassType())) {
        for (const Step::Value& item : static_cast<IfcTypeObject*>(object)->getHasPropertySetsValue().items()) {
            if (!mayBeNamed(dataSet, item, names)) {
                continue;
            }
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

/// The instances an edit has created so far, deleted again when the edit
/// cannot be completed (the data set has no instance number left), so that
/// a failed edit leaves nothing half made behind.
class Creations
{
public:
    explicit Creations(ExpressDataSet& dataSet) : m_dataSet(dataSet) {}
    Creations(const Creations&) = delete;
    Creations& operator=(const Creations&) = delete;
    ~Creations()
    {
        for (auto key = m_keys.rbegin(); key != m_keys.rend(); ++key) {
            m_dataSet.remove(*key);
        }
    }

    /// Notes an instance just created; false when the creation failed.
    bool add(const Step::BaseEntity* entity)
    {
        if (entity) {
            m_keys.push_back(entity->getKey());
        }
        return entity != nullptr;
    }
    /// The edit is complete: what it created stays.
    void keep() { m_keys.clear(); }

private:
    ExpressDataSet& m_dataSet;
    std::vector<Step::Id> m_keys;
};

Step::BaseEntity* copyEntity(ExpressDataSet& dataSet, const Step::BaseEntity* source, Creations& creations)
{
    Step::BaseEntity* copy = dataSet.create(source->getType().id(), [&](Step::BaseEntity& made) {
        for (std::size_t i = 0; i < source->argumentCount(); ++i) {
            made.setArgument(i, source->argument(i));
        }
    });
    return creations.add(copy) ? copy : nullptr;
}

/// Copies properties with the properties that complex ones hold, one copy
/// per property however often it is listed. Nesting comes from the file,
/// so it is walked with a list of its own, not by recursion. Empty when a
/// copy cannot be created.
std::vector<IfcProperty*> copyProperties(ExpressDataSet& dataSet, const std::vector<IfcProperty*>& properties,
                                         Creations& creations)
{
    std::unordered_map<IfcProperty*, IfcProperty*> copies;
    std::vector<IfcProperty*> pending(properties.rbegin(), properties.rend());
    std::vector<IfcComplexProperty*> complexes;
    while (!pending.empty()) {
        IfcProperty* source = pending.back();
        pending.pop_back();
        if (copies.count(source)) {
            continue;
        }
        auto* copy = static_cast<IfcProperty*>(copyEntity(dataSet, source, creations));
        if (!copy) {
            return {};
        }
        copies.emplace(source, copy);
        if (auto* complex = entityAs<IfcComplexProperty>(source)) {
            complexes.push_back(complex);
            const std::vector<IfcProperty*> children = complex->getHasProperties();
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }
    for (IfcComplexProperty* complex : complexes) {
        std::vector<IfcProperty*> children = complex->getHasProperties();
        for (IfcProperty*& child : children) {
            child = copies.at(child);
        }
        static_cast<IfcComplexProperty*>(copies.at(complex))->setHasProperties(children);
    }
    std::vector<IfcProperty*> out;
    out.reserve(properties.size());
    for (IfcProperty* property : properties) {
        out.push_back(copies.at(property));
    }
    return out;
}

IfcPropertySet* copySet(ExpressDataSet& dataSet, IfcPropertySet* set, Creations& creations)
{
    auto* copy = static_cast<IfcPropertySet*>(copyEntity(dataSet, set, creations));
    if (!copy) {
        return nullptr;
    }
    copy->setGlobalIdValue(Step::Value::string(createGlobalId(), &dataSet.arena()));
    const std::vector<IfcProperty*> properties = set->getHasProperties();
    std::vector<IfcProperty*> copies = copyProperties(dataSet, properties, creations);
    if (copies.size() != properties.size()) {
        return nullptr;
    }
    copy->setHasProperties(copies);
    return copy;
}

/// The parts a set, complex property or quantity set lists.
std::vector<Step::BaseEntity*> partsOf(Step::BaseEntity* entity)
{
    std::vector<Step::BaseEntity*> parts;
    if (auto* set = entityAs<IfcPropertySet>(entity)) {
        for (IfcProperty* p : set->getHasProperties()) {
            parts.push_back(p);
        }
    } else if (auto* complex = entityAs<IfcComplexProperty>(entity)) {
        for (IfcProperty* p : complex->getHasProperties()) {
            parts.push_back(p);
        }
    } else if (auto* quantities = entityAs<IfcElementQuantity>(entity)) {
        for (IfcPhysicalQuantity* q : quantities->getQuantities()) {
            parts.push_back(q);
        }
    }
    return parts;
}

/// Deletes a set or property with the parts only it lists. Nesting comes
/// from the file (complex properties within complex properties, even in a
/// cycle): it is walked with a list of its own, not by recursion, and each
/// part is deleted once.
void deletePropertyTree(EditContext& context, Step::BaseEntity* root)
{
    std::vector<Step::BaseEntity*> pending{root};
    std::unordered_set<Step::Id> found{root->getKey()};
    std::vector<Step::Id> doomed;
    while (!pending.empty()) {
        Step::BaseEntity* entity = pending.back();
        pending.pop_back();
        doomed.push_back(entity->getKey());
        for (Step::BaseEntity* part : partsOf(entity)) {
            if (!context.isSharedPart(*part) && found.insert(part->getKey()).second) {
                pending.push_back(part);
            }
        }
    }
    // Parts before what lists them, as they were found in reverse.
    for (auto key = doomed.rbegin(); key != doomed.rend(); ++key) {
        context.dataSet().remove(*key);
    }
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
            attachment.relation->setRelatedObjectsValue(Step::Value::list(std::move(remaining), &dataSet.arena()));
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

/// The object's owner history, for what is made for it: read from its
/// record while its values are not read, as those of most objects are not.
Step::Value ownerHistoryOf(ExpressDataSet& dataSet, const IfcObjectDefinition& object)
{
    const Step::Id owner = dataSet.referenceAt(object.getKey(), IfcRoot::OwnerHistoryIndex);
    return owner ? Step::Value::reference(owner) : Step::Value();
}

/// False when the relation it needs cannot be created; the relation has the
/// owner history `owner` (the object's).
bool attach(ExpressDataSet& dataSet, IfcObjectDefinition* object, IfcPropertySetDefinition* set, Creations& creations,
            const Step::Value& owner)
{
    if (auto* type = entityAs<IfcTypeObject>(object)) {
        std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
        sets.push_back(set);
        type->setHasPropertySets(sets);
        return true;
    }
    return creations.add(dataSet.createEntity<IfcRelDefinesByProperties>([&](IfcRelDefinesByProperties& relation) {
        relation.setGlobalIdValue(Step::Value::string(createGlobalId(), &dataSet.arena()));
        relation.setOwnerHistoryValue(owner);
        relation.setRelatedObjectsValue(
            Step::Value::list({Step::Value::reference(object->getKey())}, &dataSet.arena()));
        relation.setRelatingPropertyDefinition(set);
    }));
}

/// Gives the object its own copy of a set it shares with others, in the
/// place of the shared one, so that no other object sees the change and
/// the copy keeps the original's rank among the object's sets where it can.
bool replaceAttachment(ExpressDataSet& dataSet, IfcObjectDefinition* object, const Attachment& attachment,
                       IfcPropertySetDefinition* copy, Creations& creations)
{
    if (!attachment.relation) {
        if (auto* type = entityAs<IfcTypeObject>(object)) {
            std::vector<IfcPropertySetDefinition*> sets = type->getHasPropertySets();
            std::replace(sets.begin(), sets.end(), attachment.set, copy);
            type->setHasPropertySets(sets);
        }
        return true;
    }
    const auto& related = attachment.relation->getRelatedObjectsValue().items();
    const bool onlyThisObject = std::all_of(related.begin(), related.end(), [&](const Step::Value& item) {
        return item.referenceKey() == object->getKey();
    });
    if (onlyThisObject) {
        attachment.relation->setRelatingPropertyDefinition(copy);
        return true;
    }
    // The relation serves other objects too: this one gets a relation of
    // its own (which comes last in file order), made before the old one is
    // left so that a failure changes nothing.
    if (!attach(dataSet, object, copy, creations, ownerHistoryOf(dataSet, *object))) {
        return false;
    }
    detach(dataSet, object, attachment);
    return true;
}

void deleteIfUnused(EditContext& context, IfcPropertySetDefinition* set)
{
    if (userCount(set) == 0) {
        deletePropertyTree(context, set);
    }
}

Step::Value typedValue(const QVariant& value, IfcValue::IfcValue_select type, Step::Arena* arena)
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
                                                                              : "U",
                                             arena);
        } else {
            inner = Step::Value::logical(value.toBool(), arena);
        }
        break;
    case IfcValue::IfcLabel:
    case IfcValue::IfcText:
    case IfcValue::IfcIdentifier:
    case IfcValue::IfcDescriptiveMeasure:
        inner = Step::Value::string(value.toString().toStdString(), arena);
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
    return ok ? Step::Value::typed(typeName, std::move(inner), arena) : Step::Value();
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

/// Null when the unit is missing and cannot be created.
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

Step::Value referenceTo(const Step::BaseEntity* entity, bool& ok)
{
    ok = entity != nullptr;
    return ok ? Step::Value::reference(entity->getKey()) : Step::Value();
}

/// The unit to attach to a new value: the prefixed SI unit when a prefix is
/// given; without one, values are in SI units, which need saying only when
/// the project's unit of that kind is another one (millimetres, say). `ok`
/// false when the unit needed cannot be created.
Step::Value unitValue(EditContext& context, IfcValue::IfcValue_select type, IfcSIPrefix prefix, bool& ok)
{
    ExpressDataSet& dataSet = context.dataSet();
    ok = true;
    SIUnitName unit{};
    if (!siUnitOf(type, unit)) {
        return {};
    }
    if (prefix != IfcSIPrefix_UNSET) {
        return referenceTo(findOrCreateSIUnit(dataSet, unit, stepName(prefix)), ok);
    }
    const double factor = context.units().projectUnit(QString::fromLatin1(unit.unitType)).factor;
    // Factors are relative to SI units (the kilogram for masses).
    if (std::abs(factor - 1.0) <= 1e-12) {
        return {};
    }
    const char* siPrefix = std::string(unit.name) == "GRAM" ? "KILO" : nullptr;
    return referenceTo(findOrCreateSIUnit(dataSet, unit, siPrefix), ok);
}

/// The object's own set of that name, made (madeNew) or copied for it when
/// needed; null when that takes instances that cannot be created.
IfcPropertySet* writableSet(ExpressDataSet& dataSet, IfcObjectDefinition* object, const std::string& utf8Name,
                            PropertySetUtils::ExistingSet existing, Creations& creations, bool& madeNew)
{
    madeNew = false;
    const std::vector<Attachment> attached = existing == PropertySetUtils::ExistingSet::LookFor
                                                 ? attachedSets(dataSet, object, utf8Name)
                                                 : std::vector<Attachment>();
    for (const Attachment& attachment : attached) {
        auto* set = entityAs<IfcPropertySet>(attachment.set);
        if (!set) {
            continue;
        }
        if (userCount(set) <= 1) {
            return set;
        }
        // Shared with other objects: give this object its own copy.
        IfcPropertySet* copy = copySet(dataSet, set, creations);
        if (!copy || !replaceAttachment(dataSet, object, attachment, copy, creations)) {
            return nullptr;
        }
        return copy;
    }
    const Step::Value owner = ownerHistoryOf(dataSet, *object);
    auto* set = dataSet.createEntity<IfcPropertySet>([&](IfcPropertySet& created) {
        created.setGlobalIdValue(Step::Value::string(createGlobalId(), &dataSet.arena()));
        created.setOwnerHistoryValue(owner);
        created.setNameValue(Step::Value::string(utf8Name, &dataSet.arena()));
        created.setHasPropertiesValue(Step::Value::list({}, &dataSet.arena()));
    });
    if (!creations.add(set) || !attach(dataSet, object, set, creations, owner)) {
        return nullptr;
    }
    madeNew = true;
    return set;
}

/// Detaches the sets of some names from objects of one data set, under one
/// lock: objects are noted one by one, and each relation that lists several
/// of them is rewritten once at the end.
class Removal
{
public:
    Removal(EditContext& context, const std::vector<std::string>& utf8Names)
        : m_context(context), m_dataSet(context.dataSet()), m_names(utf8Names), m_edit(context)
    {
    }
    Removal(const Removal&) = delete;
    Removal& operator=(const Removal&) = delete;

    std::size_t size() const { return m_objects; }

    /// False when the object has no set of these names.
    bool add(IfcObjectDefinition* object)
    {
        ++m_objects;
        const std::vector<Attachment> sets = attachedSets(m_dataSet, object, m_names);
        if (sets.empty()) {
            return false;
        }
        for (const Attachment& attachment : sets) {
            if (attachment.relation) {
                const auto [at, added] = m_relationAt.try_emplace(attachment.relation, m_relations.size());
                if (added) {
                    m_relations.push_back(attachment.relation);
                }
                m_leaving.emplace_back(at->second, object->getKey());
            } else {
                detach(m_dataSet, object, attachment);
            }
            // A set listed twice is deleted once.
            if (m_detachedSets.insert(attachment.set).second) {
                m_detached.push_back(attachment.set);
            }
        }
        return true;
    }

    void finish()
    {
        std::stable_sort(m_leaving.begin(), m_leaving.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto first = m_leaving.begin(); first != m_leaving.end();) {
            auto last = std::find_if(first, m_leaving.end(), [&](const auto& l) { return l.first != first->first; });
            prune(m_relations[first->first], first, last);
            first = last;
        }
        // Only once every link is gone can a set tell it is unused.
        for (IfcPropertySetDefinition* set : m_detached) {
            deleteIfUnused(m_context, set);
        }
    }

private:
    using Leaving = std::vector<std::pair<std::size_t, Step::Id>>; // relation position, object key

    /// Rewrites the relation without the objects leaving it, or deletes it
    /// when none is left.
    void prune(IfcRelDefinesByProperties* relation, Leaving::const_iterator first, Leaving::const_iterator last)
    {
        // Mostly one object leaves its own relation: no set is made for it.
        const bool one = std::next(first) == last;
        std::unordered_set<Step::Id> keys;
        for (auto it = first; !one && it != last; ++it) {
            keys.insert(it->second);
        }
        auto leaves = [&](Step::Id key) { return one ? key == first->second : keys.count(key) > 0; };
        std::vector<Step::Value> remaining;
        for (const Step::Value& item : relation->getRelatedObjectsValue().items()) {
            if (!leaves(item.referenceKey())) {
                remaining.push_back(item);
            }
        }
        if (remaining.empty()) {
            m_dataSet.remove(relation->getKey());
        } else {
            relation->setRelatedObjectsValue(Step::Value::list(std::move(remaining), &m_dataSet.arena()));
        }
    }

    EditContext& m_context;
    ExpressDataSet& m_dataSet;
    const std::vector<std::string>& m_names;
    const EditContext::Edit m_edit;
    std::size_t m_objects = 0;
    std::vector<IfcRelDefinesByProperties*> m_relations;
    std::unordered_map<IfcRelDefinesByProperties*, std::size_t> m_relationAt;
    Leaving m_leaving;
    std::vector<IfcPropertySetDefinition*> m_detached;
    std::unordered_set<IfcPropertySetDefinition*> m_detachedSets;
};

/// Writes single values into one set: its list is read once, changed in
/// memory and set once at the end, instead of once per property.
class SetWriter
{
public:
    SetWriter(EditContext& context, IfcPropertySet* set, bool replace)
        : m_context(context), m_set(set), m_replace(replace)
    {
        for (const Step::Value& item : set->getHasPropertiesValue().items()) {
            Step::BaseEntity* property = set->resolve(item);
            if (property && property->isOfType(IfcProperty::getClassType())) {
                m_items.push_back(item);
            }
        }
    }

    /// False when an instance it needs cannot be created.
    bool put(const PropertySetUtils::SingleValue& property, Step::Value nominal)
    {
        bool unitMade = true;
        const Step::Value unit = unitFor(property.type, property.prefix, unitMade);
        if (!unitMade) {
            return false;
        }
        const std::string_view name = property.name;
        if (m_replace) {
            if (const std::optional<std::size_t> position = find(name)) {
                return replaceAt(*position, name, std::move(nominal), unit);
            }
        }
        IfcPropertySingleValue* single = createSingle(name, std::move(nominal), unit);
        if (!single) {
            return false;
        }
        if (!m_positions.empty()) {
            m_positions.try_emplace(std::string(name), m_items.size());
        }
        m_items.push_back(Step::Value::reference(single->getKey()));
        return true;
    }

    void finish() { m_set->setHasPropertiesValue(Step::Value::list(std::move(m_items), &m_context.dataSet().arena())); }

private:
    /// Position of the first property of that name. Sets mostly hold a few
    /// properties: a look through them costs less than keeping an index;
    /// a large one gets an index, so that writing it stays linear.
    std::optional<std::size_t> find(std::string_view name)
    {
        constexpr std::size_t smallSet = 16;
        if (m_positions.empty() && m_items.size() <= smallSet) {
            for (std::size_t i = 0; i < m_items.size(); ++i) {
                if (nameOfProperty(m_set->resolve(m_items[i])) == name) {
                    return i;
                }
            }
            return std::nullopt;
        }
        if (m_positions.empty()) {
            for (std::size_t i = 0; i < m_items.size(); ++i) {
                m_positions.try_emplace(std::string(nameOfProperty(m_set->resolve(m_items[i]))), i);
            }
        }
        const auto it = m_positions.find(std::string(name));
        return it == m_positions.end() ? std::nullopt : std::optional<std::size_t>(it->second);
    }

    static std::string_view nameOfProperty(const Step::BaseEntity* property)
    {
        return static_cast<const IfcProperty*>(property)->getNameValue().plain().text();
    }

    bool replaceAt(std::size_t position, std::string_view name, Step::Value nominal, const Step::Value& unit)
    {
        auto* old = static_cast<IfcProperty*>(m_set->resolve(m_items[position]));
        const bool sharedPart = m_context.isSharedPart(*old);
        if (!sharedPart && old->isOfType(IfcPropertySingleValue::getClassType())) {
            auto* single = static_cast<IfcPropertySingleValue*>(old);
            single->setNominalValueValue(nominal);
            single->setUnitValue(unit);
            return true;
        }
        // Another kind of property of that name, or one that other sets list
        // too: a new single value takes its place in this set.
        IfcPropertySingleValue* single = createSingle(name, std::move(nominal), unit);
        if (!single) {
            return false;
        }
        m_items[position] = Step::Value::reference(single->getKey());
        if (!sharedPart) {
            deletePropertyTree(m_context, old);
        }
        return true;
    }

    IfcPropertySingleValue* createSingle(std::string_view name, Step::Value nominal, const Step::Value& unit)
    {
        return m_context.dataSet().createEntity<IfcPropertySingleValue>([&](IfcPropertySingleValue& single) {
            single.setNameValue(Step::Value::string(name, &m_context.dataSet().arena()));
            single.setNominalValueValue(std::move(nominal));
            single.setUnitValue(unit);
        });
    }

    Step::Value unitFor(IfcValue::IfcValue_select type, IfcSIPrefix prefix, bool& made)
    {
        for (const auto& [knownType, knownPrefix, unit] : m_units) {
            if (knownType == type && knownPrefix == prefix) {
                return unit;
            }
        }
        Step::Value unit = unitValue(m_context, type, prefix, made);
        if (made) {
            m_units.emplace_back(type, prefix, unit);
        }
        return unit;
    }

    EditContext& m_context;
    IfcPropertySet* m_set;
    bool m_replace;
    std::vector<Step::Value> m_items;
    /// Position of the first property of each name, once the set is large.
    std::unordered_map<std::string, std::size_t> m_positions;
    std::vector<std::tuple<IfcValue::IfcValue_select, IfcSIPrefix, Step::Value>> m_units;
};

ExpressDataSet* dataSetOf(const IfcObjectDefinition* object)
{
    return object ? dynamic_cast<ExpressDataSet*>(object->getExpressDataSet()) : nullptr;
}

bool belongsTo(const IfcObjectDefinition* object, const EditContext& context)
{
    return object && object->getExpressDataSet() == &context.dataSet();
}

} // namespace

IfcPropertySetDefinition* PropertySetUtils::findPropertySet(IfcObjectDefinition* object,
                                                            const Step::String& propertySetName)
{
    ExpressDataSet* dataSet = dataSetOf(object);
    if (!dataSet) {
        return nullptr;
    }
    const std::lock_guard<std::recursive_mutex> lock(dataSet->mutex());
    const std::vector<Attachment> sets = attachedSets(*dataSet, object, propertySetName.toUtf8());
    return sets.empty() ? nullptr : sets.front().set;
}

bool PropertySetUtils::addProperty(IfcObjectDefinition* object, const Step::String& propertySetName,
                                   const Step::String& propertyName, const QVariant& value,
                                   IfcValue::IfcValue_select type, IfcSIPrefix prefix, bool replace)
{
    ExpressDataSet* dataSet = dataSetOf(object);
    if (!dataSet) {
        return false;
    }
    EditContext context(*dataSet);
    return addProperty(context, object, propertySetName, propertyName, value, type, prefix, replace);
}

bool PropertySetUtils::addProperty(EditContext& context, IfcObjectDefinition* object,
                                   const Step::String& propertySetName, const Step::String& propertyName,
                                   const QVariant& value, IfcValue::IfcValue_select type, IfcSIPrefix prefix,
                                   bool replace)
{
    const std::string name = propertyName.toUtf8();
    return addProperties(context, object, propertySetName.toUtf8(), {{name, value, type, prefix}}, replace) == 1;
}

int PropertySetUtils::addProperties(IfcObjectDefinition* object, const std::string& propertySetName,
                                    const std::vector<SingleValue>& properties, bool replace)
{
    ExpressDataSet* dataSet = dataSetOf(object);
    if (!dataSet) {
        return 0;
    }
    EditContext context(*dataSet);
    return addProperties(context, object, propertySetName, properties, replace);
}

int PropertySetUtils::addProperties(EditContext& context, IfcObjectDefinition* object,
                                    const std::string& propertySetName, const std::vector<SingleValue>& properties,
                                    bool replace, ExistingSet existing)
{
    if (!belongsTo(object, context)) {
        return 0;
    }
    ExpressDataSet& dataSet = context.dataSet();
    // The values are made in the data set's arena, which takes its lock.
    const EditContext::Edit edit(context);
    std::vector<Step::Value> nominals;
    nominals.reserve(properties.size());
    bool any = false;
    for (const SingleValue& property : properties) {
        nominals.push_back(property.name.empty() ? Step::Value()
                                                 : typedValue(property.value, property.type, &dataSet.arena()));
        any = any || !nominals.back().isNull();
    }
    if (!any) {
        return 0;
    }
    Creations creations(dataSet);
    bool madeNew = false;
    IfcPropertySet* set = writableSet(dataSet, object, propertySetName, existing, creations, madeNew);
    if (!set) {
        return 0;
    }
    if (!madeNew) {
        creations.keep(); // a copy now stands for the shared set, whatever follows
    }
    SetWriter writer(context, set, replace);
    int written = 0;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        if (!nominals[i].isNull() && writer.put(properties[i], std::move(nominals[i]))) {
            ++written;
        }
    }
    writer.finish();
    if (written > 0) {
        creations.keep(); // else a new set stays out: a set holds one property at least
    }
    return written;
}

bool PropertySetUtils::removePropertySet(IfcObjectDefinition* object, const Step::String& propertySetName)
{
    return removePropertySets(object, {propertySetName.toUtf8()});
}

bool PropertySetUtils::removePropertySets(IfcObjectDefinition* object, const std::vector<std::string>& utf8Names)
{
    return !removePropertySets(std::vector<IfcObjectDefinition*>{object}, utf8Names).empty();
}

std::vector<IfcObjectDefinition*> PropertySetUtils::removePropertySets(const std::vector<IfcObjectDefinition*>& objects,
                                                                       const std::vector<std::string>& utf8Names)
{
    // Objects mostly belong to one data set: each run of objects of one
    // data set is removed with one context.
    std::vector<IfcObjectDefinition*> changed;
    for (auto first = objects.begin(); first != objects.end();) {
        ExpressDataSet* dataSet = dataSetOf(*first);
        const auto last =
            std::find_if(first, objects.end(), [&](const IfcObjectDefinition* o) { return dataSetOf(o) != dataSet; });
        if (dataSet) {
            EditContext context(*dataSet);
            const std::vector<IfcObjectDefinition*> run(first, last);
            const std::vector<IfcObjectDefinition*> removed = removePropertySets(context, run, utf8Names);
            changed.insert(changed.end(), removed.begin(), removed.end());
        }
        first = last;
    }
    return changed;
}

std::vector<Step::Id> PropertySetUtils::holdersOfSets(ExpressDataSet& dataSet,
                                                      const std::vector<std::string>& utf8Names)
{
    // Whether each type is a set's, told once rather than for each slot.
    std::vector<bool> isSetType(dataSet.schema().entityCount() + 1u, false);
    for (std::uint16_t typeId = 1; typeId < isSetType.size(); ++typeId) {
        isSetType[typeId] = dataSet.schema().classType(typeId).isDerivedFrom(IfcPropertySetDefinition::getClassType());
    }
    std::vector<Step::Id> sets;
    dataSet.forEachSlot([&](std::size_t slot, std::uint16_t typeId, Step::SlotState state) {
        if (state != Step::SlotState::Deleted && typeId < isSetType.size() && isSetType[typeId]) {
            sets.push_back(dataSet.slotKey(slot));
        }
    });
    std::vector<Step::Id> holders;
    const std::lock_guard<std::recursive_mutex> lock(dataSet.mutex());
    for (const Step::Id key : sets) {
        if (!mayBeNamed(dataSet, key, utf8Names)) {
            continue;
        }
        auto* set = static_cast<IfcPropertySetDefinition*>(dataSet.get(key));
        if (!set || !isOneOf(nameOf(set), utf8Names)) {
            continue;
        }
        for (const auto& relation : set->getPropertyDefinitionOf()) {
            for (const Step::Value& item : relation->getRelatedObjectsValue().items()) {
                if (item.isReference()) {
                    holders.push_back(item.referenceKey());
                }
            }
        }
        for (const auto& type : set->getDefinesType()) {
            holders.push_back(type->getKey());
        }
    }
    std::sort(holders.begin(), holders.end());
    holders.erase(std::unique(holders.begin(), holders.end()), holders.end());
    return holders;
}

std::vector<IfcObjectDefinition*> PropertySetUtils::removePropertySets(EditContext& context,
                                                                       const std::vector<IfcObjectDefinition*>& objects,
                                                                       const std::vector<std::string>& utf8Names)
{
    // The lock is let go between batches, so that readers are not kept
    // waiting for the whole model.
    constexpr std::size_t batchSize = 4096;
    std::vector<IfcObjectDefinition*> changed;
    std::unique_ptr<Removal> removal;
    for (IfcObjectDefinition* object : objects) {
        if (!belongsTo(object, context)) {
            continue;
        }
        if (removal && removal->size() >= batchSize) {
            removal->finish();
            removal.reset();
        }
        if (!removal) {
            removal = std::make_unique<Removal>(context, utf8Names);
        }
        if (removal->add(object)) {
            changed.push_back(object);
        }
    }
    if (removal) {
        removal->finish();
    }
    return changed;
}

} // namespace Ifc2x3CC
} // namespace Orvane
