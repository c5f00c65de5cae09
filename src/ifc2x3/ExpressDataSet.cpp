#include "ifc2x3/ExpressDataSet.h"

#include "ifc2x3/EntityAccess.h"

#include <algorithm>

namespace ifc2x3 {

ExpressDataSet::ExpressDataSet() : Step::BaseExpressDataSet(ifc2x3::schema())
{
    // Readers look for sets by name among hundreds of thousands: the names
    // told at open spare reading the records of the others.
    constexpr std::uint8_t name = 1 + 2; // GlobalId, OwnerHistory, Name
    std::vector<std::uint8_t> attributes(schema().entityCount() + 1u, 0);
    for (std::uint16_t typeId = 1; typeId < attributes.size(); ++typeId) {
        if (schema().classType(typeId).isDerivedFrom(IfcPropertySetDefinition::getClassType())) {
            attributes[typeId] = name;
        }
    }
    setFingerprintedAttributes(std::move(attributes));
}

ExpressDataSet::~ExpressDataSet() = default;

void ExpressDataSet::onReset()
{
    m_changes.fetch_add(1, std::memory_order_relaxed);
    m_lists.clear();
    m_inversesBuilt = false;
    for (InverseTable& table : m_inverses) {
        table.clear();
    }
}

void ExpressDataSet::onRolledBack()
{
    // Built again on next use, in data set order: instances put back were
    // appended to lists as they went, and their links as targets were lost.
    onReset();
}

void ExpressDataSet::fill(const Step::ClassType& type, TypedListBase& list)
{
    // Which type ids are T or one of its subtypes, worked out once rather
    // than for each of the millions of instances a large model has.
    std::vector<char> wanted(schema().entityCount() + 1, 0);
    for (std::uint16_t id = 1; id < wanted.size(); ++id) {
        wanted[id] = schema().classType(id).isDerivedFrom(type);
    }
    forEachSlot([&](std::size_t slot, std::uint16_t typeId, SlotState) {
        if (typeId >= wanted.size() || !wanted[typeId]) {
            return;
        }
        // A list is of many instances, of which readers mostly want few
        // values: each is read when first asked for.
        if (Step::BaseEntity* entity = getBySlotDeferred(slot)) {
            list.add(entity);
        }
    });
}

std::vector<std::size_t> ExpressDataSet::countByType() const
{
    std::vector<std::size_t> counts(schema().entityCount() + 1, 0);
    forEachSlot([&counts](std::size_t, std::uint16_t typeId, SlotState state) {
        if (state != SlotState::Deleted) {
            ++counts[typeId];
        }
    });
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
        const Step::ClassType& type = schema().classType(typeId);
        for (const InverseSource& source : inverseSources) {
            if (typeId != 0 && type.isDerivedFrom(schema().classType(source.sourceType))) {
                m_sourcesByType[typeId].push_back(&source);
            }
        }
        m_sourcesKnown[typeId] = true;
    }
    return m_sourcesByType[typeId];
}

void ExpressDataSet::InverseTable::clear()
{
    targets = {};
    starts = {};
    sources = {};
    changedAt = {};
    changedLists = {};
    newAt = {};
    otherTargets = {};
}

const ExpressDataSet::KeyList* ExpressDataSet::InverseTable::changedList(Step::Id target, std::size_t position,
                                                                         bool inTable) const
{
    if (inTable) {
        const std::uint32_t at = position < changedAt.size() ? changedAt[position] : 0;
        return at ? &changedLists[at - 1] : nullptr;
    }
    if (target >= firstNewKey && target - firstNewKey < newAt.size()) {
        const std::uint32_t at = newAt[target - firstNewKey];
        return at ? &changedLists[at - 1] : nullptr;
    }
    if (otherTargets.empty()) {
        return nullptr;
    }
    const auto it = otherTargets.find(target);
    return it == otherTargets.end() ? nullptr : &it->second;
}

bool ExpressDataSet::InverseTable::find(Step::Id target, const Step::Id*& first, const Step::Id*& last) const
{
    const auto it = std::lower_bound(targets.begin(), targets.end(), target);
    const bool inTable = it != targets.end() && *it == target;
    const std::size_t position = static_cast<std::size_t>(it - targets.begin());
    if (const KeyList* changed = changedList(target, position, inTable)) {
        first = changed->data();
        last = first + changed->size();
        return first != last;
    }
    if (!inTable) {
        return false;
    }
    first = sources.data() + starts[position];
    last = sources.data() + starts[position + 1];
    return true;
}

ExpressDataSet::KeyList& ExpressDataSet::InverseTable::edit(Step::Id target)
{
    const auto it = std::lower_bound(targets.begin(), targets.end(), target);
    if (it != targets.end() && *it == target) {
        const std::size_t position = static_cast<std::size_t>(it - targets.begin());
        if (changedAt.empty()) {
            changedAt.assign(targets.size(), 0);
        }
        if (!changedAt[position]) {
            // Edited to add a source, nearly always: room for it from the start.
            KeyList& copy = changedLists.emplace_back();
            copy.reserve(starts[position + 1] - starts[position] + 1);
            copy.assign(sources.begin() + starts[position], sources.begin() + starts[position + 1]);
            changedAt[position] = static_cast<std::uint32_t>(changedLists.size());
        }
        return changedLists[changedAt[position] - 1];
    }
    // Created instances have consecutive keys: a key far beyond them (a
    // reference to an instance that does not exist) goes to the map.
    constexpr Step::Id farAhead = 1 << 16;
    if (target >= firstNewKey && target - firstNewKey < newAt.size() + farAhead) {
        const Step::Id offset = target - firstNewKey;
        if (offset >= newAt.size()) {
            growNewTargets(std::max<std::size_t>(offset + 1, newAt.size() * 3 / 2));
        }
        if (!newAt[offset]) {
            changedLists.emplace_back();
            newAt[offset] = static_cast<std::uint32_t>(changedLists.size());
        }
        return changedLists[newAt[offset] - 1];
    }
    return otherTargets[target];
}

void ExpressDataSet::InverseTable::growNewTargets(std::size_t size)
{
    const Step::Id oldEnd = firstNewKey + newAt.size();
    newAt.resize(size, 0);
    // Lists kept in the map for keys the vector now covers move into it.
    for (auto it = otherTargets.begin(); it != otherTargets.end();) {
        if (it->first >= oldEnd && it->first - firstNewKey < newAt.size()) {
            changedLists.push_back(std::move(it->second));
            newAt[it->first - firstNewKey] = static_cast<std::uint32_t>(changedLists.size());
            it = otherTargets.erase(it);
        } else {
            ++it;
        }
    }
}

void ExpressDataSet::prepareInverses()
{
    const std::lock_guard<std::recursive_mutex> lock(mutex());
    ensureInverses();
}

void ExpressDataSet::ensureInverses()
{
    if (m_inversesBuilt) {
        return;
    }
    m_inversesBuilt = true;
    // Collect every link first, in data set order, then sort them by target
    // into the tables.
    std::array<InversePairs, static_cast<std::size_t>(InverseRelation::Count)> pairs;
    // Room for about two links a source, taken at once: pages left unused are
    // never touched, where growing by doubling copies the lists again and again.
    std::array<std::size_t, static_cast<std::size_t>(InverseRelation::Count)> sourceCounts{};
    // The sources of each type, looked up once rather than for each of the
    // millions of slots.
    std::vector<const std::vector<const InverseSource*>*> sourcesByType(schema().entityCount() + 1);
    for (std::uint16_t typeId = 0; typeId < sourcesByType.size(); ++typeId) {
        sourcesByType[typeId] = &sourcesOf(typeId);
    }
    std::vector<std::uint32_t> sourceSlots;
    forEachSlot([&](std::size_t slot, std::uint16_t typeId, SlotState) {
        const auto& sources = *sourcesByType[typeId < sourcesByType.size() ? typeId : 0];
        if (sources.empty()) {
            return;
        }
        sourceSlots.push_back(static_cast<std::uint32_t>(slot));
        for (const InverseSource* source : sources) {
            ++sourceCounts[static_cast<std::size_t>(source->relation)];
        }
    });
    for (std::size_t relation = 0; relation < pairs.size(); ++relation) {
        pairs[relation].reserve(2 * sourceCounts[relation]);
        memoryPolicy().adviseTable(pairs[relation].data(),
                                   pairs[relation].capacity() * sizeof(InversePairs::value_type));
    }
    m_collecting = &pairs;
    for (const std::uint32_t slot : sourceSlots) {
        if (!indexUndecodedSource(slot, *sourcesByType[slotTypeId(slot)])) {
            if (Step::BaseEntity* entity = getBySlot(slot)) {
                indexSource(*entity, true);
            }
        }
    }
    m_collecting = nullptr;
    // Instances created from now on have keys above every key so far.
    const Step::Id lastKey = maxKey();
    for (std::size_t relation = 0; relation < pairs.size(); ++relation) {
        InversePairs& links = pairs[relation];
        // Stable: the sources of a target stay in data set order.
        std::stable_sort(links.begin(), links.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        // A source naming a target twice is one link.
        links.erase(std::unique(links.begin(), links.end()), links.end());
        InverseTable& table = m_inverses[relation];
        table.clear();
        table.firstNewKey = std::max(lastKey, lastKey + 1);
        // Sized once: growing, then shrinking to fit, copied them twice.
        std::size_t targets = 0;
        for (std::size_t i = 0; i < links.size(); ++i) {
            targets += i == 0 || links[i].first != links[i - 1].first;
        }
        table.targets.reserve(targets);
        table.starts.reserve(targets + 1);
        table.sources.reserve(links.size());
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (i == 0 || links[i].first != links[i - 1].first) {
                table.targets.push_back(links[i].first);
                table.starts.push_back(static_cast<std::uint32_t>(table.sources.size()));
            }
            table.sources.push_back(links[i].second);
        }
        table.starts.push_back(static_cast<std::uint32_t>(table.sources.size()));
        InversePairs().swap(links);
    }
}

bool ExpressDataSet::indexUndecodedSource(std::size_t slot, const std::vector<const InverseSource*>& sources)
{
    // Relations make up half of a model's records: reading their references
    // from the text spares decoding each of them, most of which no reader
    // ever visits.
    std::uint64_t attributes = 0;
    for (const InverseSource* source : sources) {
        if (source->attribute >= 64) {
            return false;
        }
        attributes |= std::uint64_t(1) << source->attribute;
    }
    m_undecodedLinks.clear();
    if (!forEachUndecodedReference(slot, attributes, [this](std::size_t attribute, Step::Id target) {
            m_undecodedLinks.emplace_back(attribute, target);
        })) {
        return false;
    }
    const Step::Id key = slotKey(slot);
    for (const auto& [attribute, target] : m_undecodedLinks) {
        // A reference to an instance the file does not have reads as unset.
        if (!contains(target)) {
            continue;
        }
        for (const InverseSource* source : sources) {
            if (source->attribute == attribute) {
                addInverse(source->relation, target, key);
            }
        }
    }
    return true;
}

void ExpressDataSet::indexSource(Step::BaseEntity& entity, bool add)
{
    for (const InverseSource* source : sourcesOf(entity.getType().id())) {
        indexAttribute(entity, source->attribute, entity.argument(source->attribute), add);
    }
}

void ExpressDataSet::indexAttribute(const Step::BaseEntity& entity, std::size_t index, const Step::Value& value,
                                    bool add)
{
    for (const InverseSource* source : sourcesOf(entity.getType().id())) {
        if (source->attribute != index) {
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
    if (m_collecting) {
        (*m_collecting)[static_cast<std::size_t>(relation)].emplace_back(target, source);
        return;
    }
    KeyList& keys = m_inverses[static_cast<std::size_t>(relation)].edit(target);
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
    InverseTable& table = m_inverses[static_cast<std::size_t>(relation)];
    const Step::Id* first = nullptr;
    const Step::Id* last = nullptr;
    if (!table.find(target, first, last) || std::find(first, last, source) == last) {
        return;
    }
    KeyList& keys = table.edit(target);
    keys.erase(std::remove(keys.begin(), keys.end(), source), keys.end());
}

void ExpressDataSet::inverseKeys(const Step::BaseEntity& target, InverseRelation relation, const Step::Id*& first,
                                 const Step::Id*& last)
{
    ensureInverses();
    if (!m_inverses[static_cast<std::size_t>(relation)].find(target.getKey(), first, last)) {
        first = last = nullptr;
    }
}

std::vector<Step::BaseEntity*> ExpressDataSet::inverse(const Step::BaseEntity& target, InverseRelation relation)
{
    std::vector<Step::BaseEntity*> out;
    forEachInverse(target, relation, [&](Step::BaseEntity* source) { out.push_back(source); });
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
    m_changes.fetch_add(1, std::memory_order_relaxed);
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
    m_changes.fetch_add(1, std::memory_order_relaxed);
    for (auto& [type, list] : m_lists) {
        if (entity->isOfType(*type)) {
            list->remove(entity);
        }
    }
    if (m_inversesBuilt) {
        indexSource(*entity, false);
        for (InverseTable& table : m_inverses) {
            const Step::Id* first = nullptr;
            const Step::Id* last = nullptr;
            if (table.find(entity->getKey(), first, last)) {
                table.edit(entity->getKey()).clear();
            }
        }
    }
}

void ExpressDataSet::onArgumentChanged(Step::BaseEntity* entity, std::size_t index, const Step::Value& old)
{
    m_changes.fetch_add(1, std::memory_order_relaxed);
    if (!m_inversesBuilt) {
        return;
    }
    indexAttribute(*entity, index, old, false);
    indexAttribute(*entity, index, entity->argument(index), true);
}

} // namespace ifc2x3
