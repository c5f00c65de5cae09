#include "ifc2x3/ExpressDataSet.h"

#include "ifc2x3/EntityAccess.h"

#include <algorithm>

namespace ifc2x3 {

/// A forward attribute that feeds an inverse relation: instances of
/// `source` list or name their targets in attribute `attribute`.
struct InverseSource
{
    InverseRelation relation;
    const Step::ClassType& (*source)();
    const char* attribute;
    std::size_t index; // resolved from the schema on first use
};

namespace {

template <class T> const Step::ClassType& typeOf()
{
    return T::getClassType();
}

} // namespace

static InverseSource* inverseSources(std::size_t& count);

ExpressDataSet::ExpressDataSet() : Step::BaseExpressDataSet(ifc2x3::schema()) {}

ExpressDataSet::~ExpressDataSet() = default;

void ExpressDataSet::onReset()
{
    m_lists.clear();
    m_inversesBuilt = false;
    for (auto& map : m_inverses) {
        map.clear();
    }
}

void ExpressDataSet::fill(const Step::ClassType& type, TypedListBase& list)
{
    const std::size_t count = slotCount();
    for (std::size_t slot = 0; slot < count; ++slot) {
        const std::uint16_t typeId = slotTypeId(slot);
        if (typeId == 0 || !schema().classType(typeId).isDerivedFrom(type)) {
            continue;
        }
        if (Step::BaseEntity* entity = getBySlot(slot)) {
            list.add(entity);
        }
    }
}

std::vector<std::size_t> ExpressDataSet::countByType() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex());
    std::vector<std::size_t> counts(schema().entityCount() + 1, 0);
    const std::size_t count = slotCount();
    for (std::size_t slot = 0; slot < count; ++slot) {
        if (slotState(slot) != SlotState::Deleted) {
            ++counts[slotTypeId(slot)];
        }
    }
    return counts;
}

Step::String ExpressDataSet::label(const IfcRoot& object)
{
    if (object.testName() && !object.getName().empty()) {
        return object.getName();
    }
    const int longName = object.attributeIndex("LongName");
    if (longName >= 0) {
        const Step::Value& value = object.argument(static_cast<std::size_t>(longName)).plain();
        if (!value.text().empty()) {
            return Step::String(value.text());
        }
    }
    return object.getGlobalId();
}

// ---------------------------------------------------------------- inverses

const std::vector<const InverseSource*>& ExpressDataSet::sourcesOf(std::uint16_t typeId)
{
    if (m_sourcesByType.empty()) {
        m_sourcesByType.resize(schema().entityCount() + 1);
        m_sourcesKnown.assign(schema().entityCount() + 1, false);
    }
    if (!m_sourcesKnown[typeId]) {
        std::size_t count = 0;
        InverseSource* sources = inverseSources(count);
        const Step::ClassType& type = schema().classType(typeId);
        for (std::size_t i = 0; i < count; ++i) {
            if (typeId != 0 && type.isDerivedFrom(sources[i].source())) {
                m_sourcesByType[typeId].push_back(&sources[i]);
            }
        }
        m_sourcesKnown[typeId] = true;
    }
    return m_sourcesByType[typeId];
}

void ExpressDataSet::ensureInverses()
{
    if (m_inversesBuilt) {
        return;
    }
    m_inversesBuilt = true;
    const std::size_t count = slotCount();
    for (std::size_t slot = 0; slot < count; ++slot) {
        const std::uint16_t typeId = slotTypeId(slot);
        if (sourcesOf(typeId).empty()) {
            continue;
        }
        if (Step::BaseEntity* entity = getBySlot(slot)) {
            indexSource(*entity, true);
        }
    }
}

void ExpressDataSet::indexSource(Step::BaseEntity& entity, bool add)
{
    for (const InverseSource* source : sourcesOf(entity.getType().id())) {
        indexAttribute(entity, source->index, entity.argument(source->index), add);
    }
}

void ExpressDataSet::indexAttribute(const Step::BaseEntity& entity, std::size_t index, const Step::Value& value,
                                    bool add)
{
    for (const InverseSource* source : sourcesOf(entity.getType().id())) {
        if (source->index != index) {
            continue;
        }
        auto visit = [&](const Step::Value& v) {
            if (v.isReference()) {
                add ? addInverse(source->relation, v.referenceKey(), entity.getKey())
                    : removeInverse(source->relation, v.referenceKey(), entity.getKey());
            }
        };
        if (value.isList()) {
            for (const Step::Value& item : value.items()) {
                visit(item);
            }
        } else {
            visit(value);
        }
    }
}

void ExpressDataSet::addInverse(InverseRelation relation, Step::Id target, Step::Id source)
{
    KeyList& keys = m_inverses[static_cast<std::size_t>(relation)][target];
    const std::size_t slot = slotOfKey(source);
    // Sources mostly arrive in data set order: appending is the common case.
    if (keys.empty() || slotOfKey(keys.back()) < slot) {
        keys.push_back(source);
        return;
    }
    if (std::find(keys.begin(), keys.end(), source) != keys.end()) {
        return;
    }
    const auto position = std::find_if(keys.begin(), keys.end(), [&](Step::Id k) { return slotOfKey(k) > slot; });
    keys.insert(position, source);
}

void ExpressDataSet::removeInverse(InverseRelation relation, Step::Id target, Step::Id source)
{
    auto& map = m_inverses[static_cast<std::size_t>(relation)];
    const auto it = map.find(target);
    if (it == map.end()) {
        return;
    }
    KeyList& keys = it->second;
    keys.erase(std::remove(keys.begin(), keys.end(), source), keys.end());
    if (keys.empty()) {
        map.erase(it);
    }
}

std::vector<Step::BaseEntity*> ExpressDataSet::inverse(const Step::BaseEntity& target, InverseRelation relation)
{
    std::lock_guard<std::recursive_mutex> lock(mutex());
    ensureInverses();
    std::vector<Step::BaseEntity*> out;
    const auto& map = m_inverses[static_cast<std::size_t>(relation)];
    const auto it = map.find(target.getKey());
    if (it == map.end()) {
        return out;
    }
    out.reserve(it->second.size());
    for (Step::Id key : it->second) {
        if (Step::BaseEntity* entity = get(key)) {
            out.push_back(entity);
        }
    }
    return out;
}

std::vector<Step::BaseEntity*> inverseEntities(const Step::BaseEntity& target, InverseRelation relation)
{
    auto* dataSet = dynamic_cast<ExpressDataSet*>(target.getExpressDataSet());
    return dataSet ? dataSet->inverse(target, relation) : std::vector<Step::BaseEntity*>();
}

// ------------------------------------------------------------ maintenance

void ExpressDataSet::onCreated(Step::BaseEntity* entity)
{
    for (auto& [type, list] : m_lists) {
        if (entity->isOfType(*type)) {
            list->add(entity);
        }
    }
    if (m_inversesBuilt) {
        indexSource(*entity, true);
    }
}

void ExpressDataSet::onRemoved(Step::BaseEntity* entity)
{
    for (auto& [type, list] : m_lists) {
        if (entity->isOfType(*type)) {
            list->remove(entity);
        }
    }
    if (m_inversesBuilt) {
        indexSource(*entity, false);
        for (auto& map : m_inverses) {
            map.erase(entity->getKey());
        }
    }
}

void ExpressDataSet::onArgumentChanged(Step::BaseEntity* entity, std::size_t index, const Step::Value& old)
{
    if (!m_inversesBuilt) {
        return;
    }
    indexAttribute(*entity, index, old, false);
    indexAttribute(*entity, index, entity->argument(index), true);
}

// Defined last: the table needs the generated classes' type accessors.
static InverseSource* inverseSources(std::size_t& count)
{
    static InverseSource sources[] = {
        {InverseRelation::HasAssociations, &typeOf<IfcRelAssociates>, "RelatedObjects", 0},
        {InverseRelation::IsDecomposedBy, &typeOf<IfcRelDecomposes>, "RelatingObject", 0},
        {InverseRelation::Decomposes, &typeOf<IfcRelDecomposes>, "RelatedObjects", 0},
        {InverseRelation::IsDefinedBy, &typeOf<IfcRelDefines>, "RelatedObjects", 0},
        {InverseRelation::ObjectTypeOf, &typeOf<IfcRelDefinesByType>, "RelatingType", 0},
        {InverseRelation::ContainedInStructure, &typeOf<IfcRelContainedInSpatialStructure>, "RelatedElements", 0},
        {InverseRelation::HasOpenings, &typeOf<IfcRelVoidsElement>, "RelatingBuildingElement", 0},
        {InverseRelation::FillsVoids, &typeOf<IfcRelFillsElement>, "RelatedBuildingElement", 0},
        {InverseRelation::ContainsElements, &typeOf<IfcRelContainedInSpatialStructure>, "RelatingStructure", 0},
        {InverseRelation::VoidsElements, &typeOf<IfcRelVoidsElement>, "RelatedOpeningElement", 0},
        {InverseRelation::HasFillings, &typeOf<IfcRelFillsElement>, "RelatingOpeningElement", 0},
        {InverseRelation::PropertyDefinitionOf, &typeOf<IfcRelDefinesByProperties>, "RelatingPropertyDefinition", 0},
        {InverseRelation::DefinesType, &typeOf<IfcTypeObject>, "HasPropertySets", 0},
    };
    static const bool resolved = [] {
        for (auto& source : sources) {
            source.index = static_cast<std::size_t>(schema().attributeIndex(source.source().id(), source.attribute));
        }
        return true;
    }();
    (void)resolved;
    count = sizeof(sources) / sizeof(sources[0]);
    return sources;
}

} // namespace ifc2x3
