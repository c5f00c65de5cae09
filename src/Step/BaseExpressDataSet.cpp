#include "BaseExpressDataSet.h"

#include "AtomicFile.h"
#include "Lexer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Step {

namespace {

std::string keyText(Id key)
{
    return "#" + std::to_string(key);
}

} // namespace

std::string OpenError::toString() const
{
    if (line == 0) {
        return message;
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message;
}

BaseExpressDataSet::BaseExpressDataSet(const Schema& schema) : m_schema(schema), m_decoder(schema) {}

BaseExpressDataSet::~BaseExpressDataSet()
{
    reset();
}

void BaseExpressDataSet::reset()
{
    m_journal.reset();
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (BaseEntity* object = m_slots.object(i)) {
            m_slots.setObject(i, nullptr);
            object->detachFromDataSet();
            object->unref();
        }
    }
    m_slots.clear();
    m_keys.clear();
    m_maxKey = 0;
    m_fingerprints = {};
    m_fingerprintCursor = 0;
    m_dataEnd = 0;
    m_deletedCount = 0;
    m_changeCount = 0;
    m_instanceNumbersExhausted = false;
    m_sourceDamageReported = false;
    m_deleted.clear();
    m_rewritten.clear();
    m_header = FileHeader();
    m_source.clear();
    onReset();
    // What the instances of the previous file used goes with them, and so
    // do values left from a record that failed to decode.
    m_scratchArguments.clear();
    m_arena.reset(Arena::create());
}

bool BaseExpressDataSet::open(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    reset();
    m_error = OpenError();
    std::string message;
    if (!m_source.map(path, message)) {
        m_error.message = message;
        return false;
    }
    return finishOpen();
}

bool BaseExpressDataSet::openFromText(std::string text)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    reset();
    m_error = OpenError();
    m_source.assign(std::move(text));
    return finishOpen();
}

bool BaseExpressDataSet::finishOpen()
{
    if (!indexSource()) {
        return false;
    }
    std::uint32_t duplicate = 0;
    if (!m_keys.build(m_slots, m_maxKey, m_source.memoryPolicy(), duplicate)) {
        lineAndColumn(m_source.text(), m_slots.offset(duplicate), m_error.line, m_error.column);
        m_error.message = "duplicate instance name " + keyText(m_slots.key(duplicate));
        reset();
        return false;
    }
    return true;
}

// Runs the indexer over the source, straight into the slot table.
bool BaseExpressDataSet::indexSource()
{
    const std::string_view text = m_source.text();
    SPFIndexer indexer(text, m_schema);
    indexer.setMemoryPolicy(m_source.memoryPolicy());
    indexer.setFingerprintedAttributes(m_fingerprintedAttributes);
    // The pages read stay mapped: the readers that follow an opening (the
    // inverse relations, a model's rows) go over the file again, and would
    // fault each page in anew. The opener lets them go (releaseSourcePages()).
    // Reserving more than files usually need costs address space only:
    // pages never written stay free.
    m_slots.reserve(text.size() / 32 + 16);
    m_source.memoryPolicy().adviseTable(m_slots.storage(), m_slots.storageBytes());
    indexer.setRecordSink(
        [](void* context, const RecordLocation& r) {
            auto* self = static_cast<BaseExpressDataSet*>(context);
            self->m_maxKey = std::max(self->m_maxKey, r.key);
            if (r.fingerprint) {
                self->m_fingerprints.emplace_back(static_cast<std::uint32_t>(self->m_slots.size()), r.fingerprint);
            }
            self->m_slots.append(r.offset, r.length, r.key, r.typeId, SlotState::Unloaded);
        },
        this);
    const bool indexed = indexer.run();
    if (!m_source.intact()) {
        // Whatever the scan made of it, the text read is not the file's.
        m_error.message = m_source.damage();
        reset();
        return false;
    }
    if (!indexed) {
        m_error.message = indexer.error();
        lineAndColumn(text, indexer.errorOffset(), m_error.line, m_error.column);
        reset();
        return false;
    }
    m_header = indexer.header();
    m_dataEnd = indexer.dataEnd();
    m_crlf = indexer.usesCrLf();
    for (const std::string& name : indexer.unknownEntityNames()) {
        warn("entity " + name + " is not part of " + m_schema.name() + "; its instances are kept as they are");
    }
    return true;
}

void BaseExpressDataSet::releaseSourcePages()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_source.release(0, m_source.text().size());
}

void BaseExpressDataSet::warn(const std::string& message)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_warnings.size() < 10000) {
        m_warnings.push_back(message);
    }
}

std::vector<std::string> BaseExpressDataSet::takeWarnings()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return std::exchange(m_warnings, {});
}

std::size_t BaseExpressDataSet::slotCount() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_slots.size();
}

Id BaseExpressDataSet::slotKey(std::size_t slot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return slot < m_slots.size() ? m_slots.key(slot) : 0;
}

std::uint16_t BaseExpressDataSet::slotTypeId(std::size_t slot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return slot < m_slots.size() ? m_slots.typeId(slot) : 0;
}

BaseExpressDataSet::SlotState BaseExpressDataSet::slotState(std::size_t slot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return slot < m_slots.size() ? m_slots.state(slot) : SlotState::Deleted;
}

std::size_t BaseExpressDataSet::instanceCount() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_slots.size() - m_deletedCount;
}

bool BaseExpressDataSet::contains(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_keys.contains(key);
}

std::uint16_t BaseExpressDataSet::typeIdOf(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    return slot == noSlot ? 0 : m_slots.typeId(slot);
}

std::size_t BaseExpressDataSet::slotOfKey(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    return slot == noSlot ? m_slots.size() : slot;
}

BaseEntity* BaseExpressDataSet::get(Id key)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    return slot == noSlot ? nullptr : loadSlot(slot);
}

std::string_view BaseExpressDataSet::recordText(std::uint32_t slot) const
{
    const std::uint64_t offset = m_slots.offset(slot);
    m_source.noteRead(offset);
    return m_source.text().substr(offset, m_slots.length(slot));
}

std::string_view BaseExpressDataSet::parameterText(std::uint32_t slot) const
{
    const std::string_view record = recordText(slot);
    const std::size_t paren = Lexer::parametersStart(record);
    return paren == Lexer::npos ? std::string_view() : record.substr(paren);
}

bool BaseExpressDataSet::peekArgument(Id key, std::size_t index, Value& out) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    if (slot == noSlot || !valuesInText(slot)) {
        return false;
    }
    const std::uint16_t typeId = m_slots.typeId(slot);
    if (typeId == 0 || index >= m_schema.attributeCount(typeId)) {
        return false;
    }
    if (!recordStartIntact(slot)) {
        return false;
    }
    Value value;
    if (!m_decoder.peek(index, parameterText(slot), value) || !m_source.intact(SourceBuffer::Check::Lazily)) {
        return false;
    }
    out = std::move(value);
    return true;
}

std::string_view BaseExpressDataSet::undecodedParameters(std::size_t slot) const
{
    if (slot >= m_slots.size() || !valuesInText(static_cast<std::uint32_t>(slot)) || m_slots.typeId(slot) == 0 ||
        !recordIntact(static_cast<std::uint32_t>(slot))) {
        return {};
    }
    return parameterText(static_cast<std::uint32_t>(slot));
}

Id BaseExpressDataSet::referenceAt(Id key, std::size_t index)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    if (slot == noSlot) {
        return 0;
    }
    // A long record, such as a relation shared by thousands of objects, is
    // decoded once rather than read again for each of them.
    constexpr std::uint64_t longRecord = 512;
    const BaseEntity* entity =
        m_slots.length(slot) > longRecord ? loadSlot(slot) : (valuesInText(slot) ? nullptr : m_slots.object(slot));
    Id found = 0;
    if (entity) {
        if (index < entity->argumentCount() && entity->argument(index).isReference()) {
            found = entity->argument(index).referenceKey();
        }
    } else if (index < 64) {
        forEachUndecodedReference(slot, std::uint64_t(1) << index, [&found](std::size_t, Id reference) {
            if (!found) {
                found = reference;
            }
        });
    }
    // A dangling reference reads as unset, as it does once decoded.
    return found && m_keys.find(found) != noSlot ? found : 0;
}

BaseEntity* BaseExpressDataSet::getBySlot(std::size_t slot)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return slot < m_slots.size() ? loadSlot(static_cast<std::uint32_t>(slot)) : nullptr;
}

bool BaseExpressDataSet::dropDanglingReferences(Value& value, Id owner)
{
    bool droppedDeleted = false;
    if (value.isReference()) {
        if (m_keys.find(value.referenceKey()) == noSlot) {
            // A reference to an instance deleted since opening is expected;
            // one to an instance the file never had is the file's fault.
            if (m_deleted.contains(value.referenceKey())) {
                droppedDeleted = true;
            } else {
                warn(keyText(owner) + ": reference to " + keyText(value.referenceKey()) +
                     ", which does not exist, read as unset");
            }
            value = Value::null();
        }
    } else if (value.isList()) {
        for (Value& item : value.items()) {
            droppedDeleted = dropDanglingReferences(item, owner) || droppedDeleted;
        }
        // Unset entries have no place in an aggregate.
        value.eraseUnsetItems();
    }
    return droppedDeleted;
}

BaseEntity* BaseExpressDataSet::loadSlot(std::uint32_t slot)
{
    switch (m_slots.state(slot)) {
    case SlotState::Loaded:
    case SlotState::Modified:
    case SlotState::New:
        return m_slots.object(slot);
    case SlotState::Broken:
    case SlotState::Deleted:
        return nullptr;
    case SlotState::Unloaded:
        break;
    }
    const std::uint16_t typeId = m_slots.typeId(slot);
    if (typeId == 0) {
        m_slots.setState(slot, SlotState::Broken);
        return nullptr;
    }
    std::vector<Value>& arguments = m_scratchArguments;
    bool droppedDeleted = false;
    if (!decodeSlot(slot, arguments, droppedDeleted)) {
        return nullptr; // unreadable, or left unread as the file changed: it may change back
    }
    BaseEntity* entity = m_schema.create(typeId, this, m_slots.key(slot));
    entity->takeArguments(arguments);
    entity->ref();
    m_slots.setObject(slot, entity);
    // The text names an instance deleted since: it must be written anew.
    m_slots.setState(slot, droppedDeleted ? SlotState::Modified : SlotState::Loaded);
    if (droppedDeleted) {
        record({EditJournal::Kind::DecodedWithoutDeleted, SlotState::Unloaded, slot});
    }
    onLoaded(entity);
    return entity;
}

bool BaseExpressDataSet::decodeSlot(std::uint32_t slot, std::vector<Value>& arguments, bool& droppedDeleted)
{
    if (!recordIntact(slot)) {
        reportChangedSource();
        return false;
    }
    const Id key = m_slots.key(slot);
    const bool decoded = m_decoder.decode(key, m_slots.typeId(slot), parameterText(slot), arguments, m_arena.get());
    if (!m_source.intact(SourceBuffer::Check::Lazily)) {
        arguments.clear();
        reportChangedSource();
        return false;
    }
    if (!decoded) {
        arguments.clear();
        warn(m_decoder.problem());
        m_slots.setState(slot, SlotState::Broken);
        return false;
    }
    if (m_decoder.hadMalformedString()) {
        warn(keyText(key) + ": malformed string escape, text kept as written");
    }
    droppedDeleted = false;
    for (Value& argument : arguments) {
        droppedDeleted = dropDanglingReferences(argument, key) || droppedDeleted;
    }
    return true;
}

std::uint32_t BaseExpressDataSet::textFingerprint(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return textFingerprintAt(m_keys.find(key));
}

std::uint32_t BaseExpressDataSet::textFingerprintAt(std::size_t slot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (slot >= m_slots.size() || m_fingerprints.empty() || !valuesInText(static_cast<std::uint32_t>(slot))) {
        return 0;
    }
    // Readers going through the sets in data set order find the next one a
    // few steps on from the last; others search.
    std::size_t at = m_fingerprintCursor;
    if (at >= m_fingerprints.size() || m_fingerprints[at].first > slot) {
        at = 0;
    }
    const std::size_t near = std::min(m_fingerprints.size(), at + 8);
    while (at < near && m_fingerprints[at].first < slot) {
        ++at;
    }
    if (at == near && near < m_fingerprints.size()) {
        at = static_cast<std::size_t>(
            std::lower_bound(m_fingerprints.begin() + static_cast<std::ptrdiff_t>(at), m_fingerprints.end(),
                             std::make_pair(static_cast<std::uint32_t>(slot), std::uint32_t(0))) -
            m_fingerprints.begin());
    }
    m_fingerprintCursor = at;
    return at < m_fingerprints.size() && m_fingerprints[at].first == slot ? m_fingerprints[at].second : 0;
}

bool BaseExpressDataSet::valuesInText(std::uint32_t slot) const
{
    const SlotState state = m_slots.state(slot);
    if (state == SlotState::Unloaded) {
        return true;
    }
    const BaseEntity* entity = state == SlotState::Loaded ? m_slots.object(slot) : nullptr;
    return entity && entity->argumentsUnread();
}

BaseEntity* BaseExpressDataSet::getBySlotDeferred(std::size_t index)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (index >= m_slots.size()) {
        return nullptr;
    }
    const auto slot = static_cast<std::uint32_t>(index);
    const std::uint16_t typeId = m_slots.typeId(slot);
    if (m_slots.state(slot) != SlotState::Unloaded || typeId == 0) {
        return loadSlot(slot);
    }
    BaseEntity* entity = m_schema.create(typeId, this, m_slots.key(slot));
    entity->markUnread();
    entity->ref();
    m_slots.setObject(slot, entity);
    m_slots.setState(slot, SlotState::Loaded);
    onLoaded(entity);
    return entity;
}

BaseEntity* BaseExpressDataSet::getDeferred(Id key)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(key);
    return slot == noSlot ? nullptr : getBySlotDeferred(slot);
}

void BaseExpressDataSet::readDeferredArguments(BaseEntity& entity)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!entity.argumentsUnread()) {
        return; // read by another thread meanwhile
    }
    std::vector<Value>& arguments = m_scratchArguments;
    const std::uint32_t slot = m_keys.find(entity.getKey());
    bool droppedDeleted = false;
    if (slot == noSlot || m_slots.object(slot) != &entity || !decodeSlot(slot, arguments, droppedDeleted)) {
        // Unreadable: the values stay unset (and the record, as the file
        // has it, is what saving writes).
        arguments.clear();
        entity.takeArguments(arguments);
        return;
    }
    entity.takeArguments(arguments);
    if (droppedDeleted) {
        // The text names an instance deleted since: it must be written anew.
        m_slots.setState(slot, SlotState::Modified);
        record({EditJournal::Kind::DecodedWithoutDeleted, SlotState::Loaded, slot});
    }
}

bool BaseExpressDataSet::recordIntact(std::uint32_t slot) const
{
    // A record that no longer starts and ends where it was indexed tells of
    // a rewrite sooner than the file's time of change, which the file
    // system may keep too coarsely to differ.
    const char* const record = m_source.text().data() + m_slots.offset(slot);
    const std::uint32_t length = m_slots.length(slot);
    if (length == 0 || record[0] != '#' || record[length - 1] != ';') {
        m_source.markChanged();
    }
    return m_source.intact(SourceBuffer::Check::Lazily);
}

bool BaseExpressDataSet::recordStartIntact(std::uint32_t slot) const
{
    const std::string_view text = m_source.text();
    const std::uint64_t offset = m_slots.offset(slot);
    Id key = 0;
    std::size_t end = 0;
    if (m_slots.length(slot) == 0 || offset >= text.size() || text[offset] != '#' ||
        !Lexer::readReference(text, offset, key, end) || key != m_slots.key(slot)) {
        m_source.markChanged();
    }
    return m_source.intact(SourceBuffer::Check::Lazily);
}

void BaseExpressDataSet::reportChangedSource()
{
    if (!std::exchange(m_sourceDamageReported, true)) {
        warn(m_source.damage() + ": the instances not read before cannot be read, and the model cannot be saved");
    }
}

bool BaseExpressDataSet::sourceIntact(std::string* problem) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_source.intact()) {
        return true;
    }
    if (problem) {
        *problem = m_source.damage() + "; the model cannot be saved from it";
    }
    return false;
}

BaseEntity* BaseExpressDataSet::create(std::uint16_t typeId)
{
    return create(typeId, {});
}

BaseEntity* BaseExpressDataSet::create(std::uint16_t typeId, const std::function<void(BaseEntity&)>& fill)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (typeId == 0 || typeId > m_schema.entityCount()) {
        return nullptr;
    }
    if (m_maxKey == std::numeric_limits<Id>::max()) {
        // Keys are never reused, and none is left.
        if (!std::exchange(m_instanceNumbersExhausted, true)) {
            warn("no instance number left: " + keyText(m_maxKey) + " is in use, nothing can be created");
        }
        return nullptr;
    }
    const Id key = ++m_maxKey;
    std::vector<Value>& arguments = m_scratchArguments;
    arguments.clear();
    arguments.resize(m_schema.attributeCount(typeId));
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (m_schema.isDerivedAttribute(typeId, i)) {
            arguments[i] = Value::derived();
        }
    }
    // Filled before it joins the data set, which then hears of it once.
    BaseEntity* entity = m_schema.create(typeId, this, key);
    entity->detachFromDataSet();
    entity->takeArguments(arguments);
    entity->ref();
    if (fill) {
        try {
            fill(*entity);
        } catch (...) {
            entity->unref();
            throw;
        }
    }
    entity->attachToDataSet(this);
    m_keys.set(key, static_cast<std::uint32_t>(m_slots.size()));
    m_slots.append(SlotTable::noOffset, 0, key, typeId, SlotState::New);
    m_slots.setObject(m_slots.size() - 1, entity);
    ++m_changeCount;
    onCreated(entity);
    return entity;
}

bool BaseExpressDataSet::remove(Id key)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t index = m_keys.find(key);
    if (index == noSlot) {
        return false;
    }
    BaseEntity* entity = loadSlot(index);
    if (entity) {
        // Its values go with it, to be put back on a rollback.
        if (entity->argumentsUnread()) {
            readDeferredArguments(*entity);
        }
        onRemoved(entity);
    }
    const SlotState state = m_slots.state(index);
    // The slot takes the key back from the object before it goes.
    m_slots.setObject(index, nullptr);
    m_slots.setState(index, SlotState::Deleted);
    if (entity) {
        entity->detachFromDataSet();
    }
    if (m_journal) {
        // The journal keeps the instance, to put it back on a rollback.
        record({EditJournal::Kind::Removed, state, index, entity});
    } else if (entity) {
        entity->unref();
    }
    m_keys.set(key, noSlot);
    m_deleted.add(key);
    ++m_deletedCount;
    ++m_changeCount;
    return true;
}

void BaseExpressDataSet::argumentChanged(BaseEntity* entity, std::size_t index, const Value& old)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = m_keys.find(entity->getKey());
    if (slot == noSlot || m_slots.object(slot) != entity) {
        return;
    }
    if (m_journal && !m_journal->createdSinceInnermost(slot)) {
        record({EditJournal::Kind::ArgumentChanged, m_slots.state(slot), slot, nullptr,
                static_cast<std::uint32_t>(index), old});
    }
    if (m_slots.state(slot) == SlotState::Loaded) {
        m_slots.setState(slot, SlotState::Modified);
    }
    ++m_changeCount;
    onArgumentChanged(entity, index, old);
}

// ----------------------------------------------------------------- journal

bool BaseExpressDataSet::beginJournal()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_journal) {
        m_journal = std::make_unique<EditJournal>();
    }
    m_journal->open(
        EditJournal::Counters{m_slots.size(), m_changeCount, m_deletedCount, m_maxKey, m_instanceNumbersExhausted});
    return true;
}

void BaseExpressDataSet::commitJournal()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_journal) {
        return;
    }
    m_journal->keepInnermost();
    if (!m_journal->isOpen()) {
        m_journal.reset();
    }
}

bool BaseExpressDataSet::journalOpen() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_journal != nullptr;
}

std::size_t BaseExpressDataSet::journalDepth() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_journal ? m_journal->depth() : 0;
}

void BaseExpressDataSet::record(EditJournal::Entry entry)
{
    if (m_journal) {
        m_journal->record(std::move(entry));
    }
}

void BaseExpressDataSet::rollbackJournal()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_journal) {
        return;
    }
    EditJournal::Counters counters;
    std::vector<EditJournal::Entry> entries = m_journal->takeInnermost(counters);
    // Put aside meanwhile: what the undoing does is not recorded.
    std::unique_ptr<EditJournal> outer = std::move(m_journal);
    std::vector<std::uint32_t> decodedAgain;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        switch (entry->kind) {
        case EditJournal::Kind::Removed:
            undoRemoval(*entry);
            break;
        case EditJournal::Kind::ArgumentChanged:
            undoArgumentChange(*entry);
            break;
        case EditJournal::Kind::DecodedWithoutDeleted:
            decodedAgain.push_back(entry->slot);
            break;
        }
    }
    EditJournal::release(entries);
    // Created instances go last, newest first: each is then the last slot.
    while (m_slots.size() > counters.slotCount) {
        undoCreation(static_cast<std::uint32_t>(m_slots.size() - 1));
    }
    // Once every deleted instance is back, their references are whole again.
    for (const std::uint32_t slot : decodedAgain) {
        redecode(slot);
    }
    m_changeCount = counters.changeCount;
    m_deletedCount = counters.deletedCount;
    m_maxKey = counters.maxKey;
    m_instanceNumbersExhausted = counters.instanceNumbersExhausted;
    if (outer->isOpen()) {
        m_journal = std::move(outer);
    }
    onRolledBack();
}

void BaseExpressDataSet::undoCreation(std::uint32_t slot)
{
    BaseEntity* entity = m_slots.object(slot);
    m_keys.set(m_slots.key(slot), noSlot);
    m_deleted.erase(m_slots.key(slot));
    m_slots.setObject(slot, nullptr);
    m_slots.popBack();
    if (entity) {
        entity->detachFromDataSet();
        entity->unref();
    }
}

void BaseExpressDataSet::undoRemoval(EditJournal::Entry& entry)
{
    const Id key = m_slots.key(entry.slot);
    m_keys.set(key, entry.slot);
    m_deleted.erase(key);
    if (BaseEntity* entity = std::exchange(entry.entity, nullptr)) {
        // The journal's reference goes to the slot.
        entity->attachToDataSet(this);
        m_slots.setObject(entry.slot, entity);
    }
    m_slots.setState(entry.slot, entry.state);
}

void BaseExpressDataSet::undoArgumentChange(EditJournal::Entry& entry)
{
    if (BaseEntity* entity = m_slots.object(entry.slot)) {
        entity->putArgument(entry.index, std::move(entry.old));
    }
    m_slots.setState(entry.slot, entry.state);
}

void BaseExpressDataSet::redecode(std::uint32_t slot)
{
    BaseEntity* entity = m_slots.object(slot);
    if (!entity || !recordIntact(slot)) {
        return;
    }
    std::vector<Value>& arguments = m_scratchArguments;
    if (!m_decoder.decode(m_slots.key(slot), m_slots.typeId(slot), parameterText(slot), arguments, m_arena.get())) {
        arguments.clear();
        return;
    }
    bool droppedDeleted = false;
    for (Value& argument : arguments) {
        droppedDeleted = dropDanglingReferences(argument, m_slots.key(slot)) || droppedDeleted;
    }
    entity->takeArguments(arguments);
    m_slots.setState(slot, droppedDeleted ? SlotState::Modified : SlotState::Loaded);
}

Id BaseExpressDataSet::maxKey() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_maxKey;
}

bool BaseExpressDataSet::instanceNumbersExhausted() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_instanceNumbersExhausted;
}

bool BaseExpressDataSet::isModified() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_changeCount > 0;
}

// Drops references to deleted instances from every remaining instance, so
// that the file written never names an instance that is not in it.
void BaseExpressDataSet::purgeDeletedReferences()
{
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots.state(i) != SlotState::Deleted) {
            purgeDeletedReferences(i);
        }
    }
    m_deleted.clear();
}

void BaseExpressDataSet::purgeDeletedReferences(std::uint32_t slot)
{
    if (valuesInText(slot) && m_slots.typeId(slot) != 0) {
        // Most records are looked through as text and left undecoded.
        if (!m_deleted.referencedBy(recordText(slot))) {
            return;
        }
        loadSlot(slot);
    }
    BaseEntity* object = m_slots.object(slot);
    if (!object) {
        if (m_slots.offset(slot) == SlotTable::noOffset) {
            return;
        }
        const auto it = m_rewritten.find(slot);
        const std::string_view text = it == m_rewritten.end() ? recordText(slot) : std::string_view(it->second);
        if (m_deleted.referencedBy(text)) {
            std::string stripped = m_deleted.stripText(text);
            m_rewritten[slot] = std::move(stripped);
        }
        return;
    }
    const BaseEntity::Arguments current = object->arguments();
    std::vector<Value> arguments(current.begin(), current.end());
    bool changed = false;
    for (Value& argument : arguments) {
        changed = m_deleted.strip(argument) || changed;
    }
    if (changed) {
        object->takeArguments(arguments);
        if (m_slots.state(slot) == SlotState::Loaded) {
            m_slots.setState(slot, SlotState::Modified);
        }
    }
}

bool BaseExpressDataSet::write(const SPFWriter::Sink& sink)
{
    // Untouched records are copied from the file: from a changed file they
    // would be other bytes than those read.
    if (!m_source.intact()) {
        return false;
    }
    if (!m_deleted.empty()) {
        purgeDeletedReferences();
    }
    return SPFWriter(m_schema, m_slots, m_source, m_rewritten, m_dataEnd, m_crlf).write(sink);
}

std::string BaseExpressDataSet::toText()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::string out;
    const bool written = write([&out](std::string_view chunk) {
        out.append(chunk);
        return true;
    });
    return written ? out : std::string();
}

bool BaseExpressDataSet::save(const std::string& path, std::string* error, FileVersion* onDisk)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto failWith = [&](const std::string& message) {
        if (error) {
            *error = message;
        }
        return false;
    };
    if (std::string problem; !sourceIntact(&problem)) {
        return failWith("cannot write '" + path + "': " + problem);
    }
    AtomicFile file(path);
    if (onDisk) {
        file.expectTarget(*onDisk);
    }
    const bool saved = file.open() &&
                       write([&](std::string_view chunk) { return file.write(chunk.data(), chunk.size()); }) &&
                       file.commit();
    if (!saved) {
        // The file may have changed while it was copied: that is the reason,
        // not what the copy then met (no reason, or a bad address).
        if (std::string problem; !sourceIntact(&problem)) {
            return failWith("cannot write '" + path + "': " + problem);
        }
        return failWith(file.errorString().empty() ? "cannot write '" + path + "'" : file.errorString());
    }
    if (onDisk) {
        *onDisk = file.committedVersion();
    }
    if (m_journal) {
        m_journal->savedAt(m_slots.size(), m_changeCount);
    }
    m_changeCount = 0;
    return true;
}

} // namespace Step
