#include "BaseExpressDataSet.h"

#include "AtomicFile.h"
#include "ClassType.h"
#include "Lexer.h"
#include "RecordParser.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Step {

namespace {

constexpr std::size_t writeChunk = std::size_t(8) << 20;

void collectReferences(const Value& value, std::vector<Id>& out)
{
    if (value.isReference()) {
        out.push_back(value.referenceKey());
    } else if (value.isList()) {
        for (const Value& item : value.items()) {
            collectReferences(item, out);
        }
    } else if (value.isTyped()) {
        collectReferences(value.inner(), out);
    }
}

// Large tables written from start to end when a file is opened: huge pages
// take one page fault per 2 MB instead of one per 4 KB. Only advice.
void adviseHugePages(const void* data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(huge - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

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

BaseExpressDataSet::BaseExpressDataSet(const Schema& schema) : m_schema(schema) {}

BaseExpressDataSet::~BaseExpressDataSet()
{
    reset();
}

void BaseExpressDataSet::reset()
{
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (BaseEntity* object = m_slots.object(i)) {
            m_slots.setObject(i, nullptr);
            object->detachFromDataSet();
            object->unref();
        }
    }
    m_slots.clear();
    m_denseKeys.clear();
    m_sparseKeys.clear();
    m_useDenseKeys = true;
    m_maxKey = 0;
    m_dataEnd = 0;
    m_deletedCount = 0;
    m_changeCount = 0;
    m_instanceNumbersExhausted = false;
    m_sourceDamageReported = false;
    m_deletedKeys.clear();
    m_rewritten.clear();
    m_header = FileHeader();
    m_source.clear();
    onReset();
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
    const std::string_view text = m_source.text();
    SPFIndexer indexer(text, m_schema);
    indexer.setProgressCallback(
        [](void* context, std::size_t offset) {
            // Keep a margin behind the scan: the indexer may look back a little.
            const auto* source = static_cast<const SourceBuffer*>(context);
            if (offset > (std::size_t(1) << 20)) {
                source->release(0, offset - (std::size_t(1) << 20));
            }
        },
        &m_source);
    // Records go straight into the slot table. Reserving more than files
    // usually need costs address space only: pages never written stay free.
    m_slots.reserve(text.size() / 32 + 16);
    adviseHugePages(m_slots.storage(), m_slots.storageBytes());
    indexer.setRecordSink(
        [](void* context, const RecordLocation& r) {
            auto* self = static_cast<BaseExpressDataSet*>(context);
            self->m_maxKey = std::max(self->m_maxKey, r.key);
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
        m_source.release(0, text.size());
        reset();
        return false;
    }
    m_source.release(0, text.size());
    m_header = indexer.header();
    m_dataEnd = indexer.dataEnd();
    m_crlf = indexer.usesCrLf();
    for (const std::string& name : indexer.unknownEntityNames()) {
        warn("entity " + name + " is not part of " + m_schema.name() + "; its instances are kept as they are");
    }

    m_useDenseKeys = m_maxKey <= 4 * m_slots.size() + 1024;
    if (m_useDenseKeys) {
        // Room for the instances a session creates, as for the slots: a
        // first creation would otherwise copy the whole index.
        m_denseKeys.reserve(m_maxKey + 1 + m_maxKey / 2);
        adviseHugePages(m_denseKeys.data(), m_denseKeys.capacity() * sizeof(std::uint32_t));
        m_denseKeys.assign(m_maxKey + 1, noSlot);
    } else {
        m_sparseKeys.reserve(m_slots.size());
    }
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        const Id key = m_slots.key(i);
        // Inline for the dense table, whose size covers every key read.
        const bool fresh =
            m_useDenseKeys ? std::exchange(m_denseKeys[key], i) == noSlot : m_sparseKeys.emplace(key, i).second;
        if (!fresh) {
            std::size_t line = 0;
            std::size_t column = 0;
            lineAndColumn(text, m_slots.offset(i), line, column);
            m_error.message = "duplicate instance name " + keyText(key);
            m_error.line = line;
            m_error.column = column;
            reset();
            return false;
        }
    }
    return true;
}

std::uint32_t BaseExpressDataSet::slotOf(Id key) const
{
    if (m_useDenseKeys) {
        return key < m_denseKeys.size() ? m_denseKeys[key] : noSlot;
    }
    const auto it = m_sparseKeys.find(key);
    return it == m_sparseKeys.end() ? noSlot : it->second;
}

void BaseExpressDataSet::setSlotOf(Id key, std::uint32_t slot)
{
    if (m_useDenseKeys) {
        if (key >= m_denseKeys.size()) {
            m_denseKeys.resize(key + 1, noSlot);
        }
        m_denseKeys[key] = slot;
    } else if (slot == noSlot) {
        m_sparseKeys.erase(key);
    } else {
        m_sparseKeys[key] = slot;
    }
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
    return slotOf(key) != noSlot;
}

std::uint16_t BaseExpressDataSet::typeIdOf(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = slotOf(key);
    return slot == noSlot ? 0 : m_slots.typeId(slot);
}

std::size_t BaseExpressDataSet::slotOfKey(Id key) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return slotOfKeyLocked(key);
}

std::size_t BaseExpressDataSet::slotOfKeyLocked(Id key) const
{
    const std::uint32_t slot = slotOf(key);
    return slot == noSlot ? m_slots.size() : slot;
}

BaseEntity* BaseExpressDataSet::get(Id key)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return getLocked(key);
}

BaseEntity* BaseExpressDataSet::getLocked(Id key)
{
    const std::uint32_t slot = slotOf(key);
    return slot == noSlot ? nullptr : loadSlot(slot);
}

void BaseExpressDataSet::setKeepSourceResident(bool keep)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_source.setKeepResident(keep);
}

bool BaseExpressDataSet::keepsSourceResident() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_source.keepsResident();
}

std::string_view BaseExpressDataSet::parameterText(std::uint32_t slot) const
{
    const std::uint64_t offset = m_slots.offset(slot);
    const std::string_view record = m_source.text().substr(offset, m_slots.length(slot));
    m_source.noteRead(offset);
    const std::size_t paren = record.find('(');
    return paren == std::string_view::npos ? std::string_view() : record.substr(paren);
}

bool BaseExpressDataSet::peekArgument(Id key, std::size_t index, Value& out) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = slotOf(key);
    if (slot == noSlot || m_slots.state(slot) != SlotState::Unloaded) {
        return false;
    }
    const std::uint16_t typeId = m_slots.typeId(slot);
    if (typeId == 0 || index >= m_schema.attributeCount(typeId)) {
        return false;
    }
    if (!recordIntact(slot)) {
        return false;
    }
    RecordParser parser(parameterText(slot));
    Value value;
    if (!parser.parseArgumentAt(index, value) || parser.badStringCount() > 0 ||
        !m_source.intact(SourceBuffer::Check::Lazily)) {
        return false;
    }
    out = std::move(value);
    return true;
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
        if (slotOf(value.referenceKey()) == noSlot) {
            // A reference to an instance deleted since opening is expected;
            // one to an instance the file never had is the file's fault.
            if (m_deletedKeys.count(value.referenceKey())) {
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
    if (!recordIntact(slot)) {
        reportChangedSource();
        return nullptr; // left unread: the file may not change it back
    }
    const Id key = m_slots.key(slot);
    const char* name = m_schema.stepName(typeId);
    RecordParser parser(parameterText(slot));
    std::vector<Value>& arguments = m_scratchArguments;
    arguments.clear();
    const bool parsed = parser.parseArguments(arguments);
    if (!m_source.intact(SourceBuffer::Check::Lazily)) {
        reportChangedSource();
        return nullptr;
    }
    if (!parsed) {
        warn(keyText(key) + ": cannot read " + name + " (" + parser.error() + "); the instance is ignored");
        m_slots.setState(slot, SlotState::Broken);
        return nullptr;
    }
    const std::size_t expected = m_schema.attributeCount(typeId);
    if (arguments.size() != expected) {
        warn(keyText(key) + ": " + name + " has " + std::to_string(arguments.size()) + " attributes instead of " +
             std::to_string(expected) + "; the instance is ignored");
        m_slots.setState(slot, SlotState::Broken);
        return nullptr;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!m_schema.acceptsArgument(typeId, i, arguments[i])) {
            warn(keyText(key) + ": " + name + " attribute " + m_schema.attributeName(typeId, i) + " (#" +
                 std::to_string(i + 1) + ") holds a value of the wrong kind; the instance is ignored");
            m_slots.setState(slot, SlotState::Broken);
            return nullptr;
        }
    }
    if (parser.badStringCount() > 0) {
        warn(keyText(key) + ": malformed string escape, text kept as written");
    }
    bool droppedDeleted = false;
    for (Value& argument : arguments) {
        droppedDeleted = dropDanglingReferences(argument, key) || droppedDeleted;
    }
    BaseEntity* entity = m_schema.create(typeId, this, key);
    entity->takeArguments(arguments);
    entity->ref();
    m_slots.setObject(slot, entity);
    // The text names an instance deleted since: it must be written anew.
    m_slots.setState(slot, droppedDeleted ? SlotState::Modified : SlotState::Loaded);
    onLoaded(entity);
    return entity;
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
    BaseEntity* entity = m_schema.create(typeId, nullptr, key);
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
    setSlotOf(key, static_cast<std::uint32_t>(m_slots.size()));
    m_slots.append(noOffset, 0, key, typeId, SlotState::New);
    m_slots.setObject(m_slots.size() - 1, entity);
    ++m_changeCount;
    onCreated(entity);
    return entity;
}

bool BaseExpressDataSet::remove(Id key)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t index = slotOf(key);
    if (index == noSlot) {
        return false;
    }
    BaseEntity* entity = loadSlot(index);
    if (entity) {
        onRemoved(entity);
    }
    // The slot takes the key back from the object before it goes.
    m_slots.setObject(index, nullptr);
    m_slots.setState(index, SlotState::Deleted);
    if (entity) {
        entity->detachFromDataSet();
        entity->unref();
    }
    setSlotOf(key, noSlot);
    m_deletedKeys.insert(key);
    ++m_deletedCount;
    ++m_changeCount;
    return true;
}

void BaseExpressDataSet::argumentChanged(BaseEntity* entity, std::size_t index, const Value& old)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t slot = slotOf(entity->getKey());
    if (slot == noSlot || m_slots.object(slot) != entity) {
        return;
    }
    if (m_slots.state(slot) == SlotState::Loaded) {
        m_slots.setState(slot, SlotState::Modified);
    }
    ++m_changeCount;
    onArgumentChanged(entity, index, old);
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

bool BaseExpressDataSet::stripDeleted(Value& value) const
{
    if (value.isReference()) {
        if (m_deletedKeys.count(value.referenceKey())) {
            value = Value::null();
            return true;
        }
        return false;
    }
    if (!value.isList()) {
        return false;
    }
    bool changed = false;
    for (Value& item : value.items()) {
        changed = stripDeleted(item) || changed;
    }
    if (changed) {
        value.eraseUnsetItems();
    }
    return changed;
}

namespace {

/// Offset of the '=' after the instance name of a record, comments
/// skipped; the end of the text when there is none.
std::size_t equalsOf(std::string_view record)
{
    std::size_t pos = 0;
    while (pos < record.size() && record[pos] != '=') {
        pos = std::max(pos + 1, Lexer::skipLiteral(record, pos));
    }
    return pos;
}

/// The key of the reference "#n" at pos, and the offset past its digits
/// in end; false when no digit follows the '#'.
bool readReference(std::string_view text, std::size_t pos, Id& key, std::size_t& end)
{
    key = 0;
    end = pos + 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        key = key * 10 + static_cast<Id>(text[end] - '0');
        ++end;
    }
    return end > pos + 1;
}

} // namespace

bool BaseExpressDataSet::referencesDeleted(std::string_view text) const
{
    // Every record not decoded yet is looked through on a save after a
    // deletion: plain bytes take one test each.
    for (std::size_t i = equalsOf(text); i < text.size();) {
        const char c = text[i];
        Id key = 0;
        std::size_t end = 0;
        if (c == '#' && readReference(text, i, key, end)) {
            if (m_deletedKeys.count(key)) {
                return true;
            }
            i = end;
        } else if (c == '\'' || c == '/') {
            i = std::max(i + 1, Lexer::skipLiteral(text, i));
        } else {
            ++i;
        }
    }
    return false;
}

// The record without its references to deleted instances, for records
// that cannot be decoded: a list entry drops out with its comma, any other
// reference becomes $. Strings and comments are left alone.
std::string BaseExpressDataSet::stripDeletedFromText(std::string_view text) const
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    const std::size_t equals = equalsOf(text);
    std::string out(text.substr(0, equals));
    std::vector<bool> inList; // per open parenthesis: a list, or parameters
    char previous = '=';      // last character that is not blank
    for (std::size_t i = equals; i < text.size();) {
        const char c = text[i];
        std::size_t end = std::max(i + 1, Lexer::skipLiteral(text, i));
        if (Lexer::opensComment(text, i)) {
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        Id key = 0;
        if (c == '(') {
            inList.push_back(previous == '(' || previous == ',');
        } else if (c == ')') {
            if (!inList.empty()) {
                inList.pop_back();
            }
        } else if (c == '#' && readReference(text, i, key, end) && m_deletedKeys.count(key)) {
            if (inList.empty() || !inList.back()) {
                out += '$';
                previous = '$';
            } else if (const std::size_t comma = out.find_last_not_of(" \t\r\n");
                       comma != std::string::npos && out[comma] == ',') {
                out.erase(comma);
                previous = out[out.find_last_not_of(" \t\r\n")];
            } else {
                // First entry: the comma after it goes instead.
                while (end < text.size() && isBlank(text[end])) {
                    ++end;
                }
                if (end < text.size() && text[end] == ',') {
                    ++end;
                }
            }
            i = end;
            continue;
        }
        out.append(text.substr(i, end - i));
        if (!isBlank(c)) {
            previous = text[end - 1];
        }
        i = end;
    }
    return out;
}

// Drops references to deleted instances from every remaining instance, so
// that the file written never names an instance that is not in it.
void BaseExpressDataSet::purgeDeletedReferences()
{
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        const SlotState state = m_slots.state(i);
        if (state == SlotState::Deleted) {
            continue;
        }
        const std::uint64_t offset = m_slots.offset(i);
        if (state == SlotState::Unloaded && m_slots.typeId(i) != 0) {
            m_source.noteRead(offset);
            if (!referencesDeleted(m_source.text().substr(offset, m_slots.length(i)))) {
                continue;
            }
            loadSlot(i);
        }
        BaseEntity* object = m_slots.object(i);
        if (!object) {
            if (offset == noOffset) {
                continue;
            }
            const auto it = m_rewritten.find(i);
            const std::string_view text = it == m_rewritten.end() ? m_source.text().substr(offset, m_slots.length(i))
                                                                  : std::string_view(it->second);
            if (referencesDeleted(text)) {
                std::string stripped = stripDeletedFromText(text);
                m_rewritten[i] = std::move(stripped);
            }
            continue;
        }
        const BaseEntity::Arguments current = object->arguments();
        std::vector<Value> arguments(current.begin(), current.end());
        bool changed = false;
        for (Value& argument : arguments) {
            changed = stripDeleted(argument) || changed;
        }
        if (changed) {
            object->takeArguments(arguments);
            if (m_slots.state(i) == SlotState::Loaded) {
                m_slots.setState(i, SlotState::Modified);
            }
        }
    }
    m_deletedKeys.clear();
}

std::string BaseExpressDataSet::serialize(std::uint32_t slot) const
{
    std::string out = keyText(m_slots.key(slot));
    out += '=';
    out += m_schema.stepName(m_slots.typeId(slot));
    const BaseEntity::Arguments arguments = m_slots.object(slot)->arguments();
    ValueWriter::writeArguments(out, arguments.begin(), arguments.size());
    out += ';';
    return out;
}

bool BaseExpressDataSet::write(const std::function<bool(std::string_view)>& sink)
{
    // Untouched records are copied from the file: from a changed file they
    // would be other bytes than those read.
    if (!m_source.intact()) {
        return false;
    }
    if (!m_deletedKeys.empty()) {
        purgeDeletedReferences();
    }
    const std::string_view source = m_source.text();
    auto copySource = [&](std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t end = std::min(to, from + writeChunk);
            if (!sink(source.substr(from, end - from))) {
                return false;
            }
            m_source.release(from, end);
            from = end;
        }
        return true;
    };

    if (source.empty()) {
        std::string head = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                           "FILE_NAME('','',(''),(''),'','','');\nFILE_SCHEMA(('";
        head += m_schema.name();
        head += "'));\nENDSEC;\nDATA;\n";
        if (!sink(head)) {
            return false;
        }
    }
    std::size_t cursor = 0;
    std::string pending;
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        const SlotState state = m_slots.state(i);
        const auto rewritten = m_rewritten.empty() || m_slots.object(i) ? m_rewritten.end() : m_rewritten.find(i);
        const bool asInSource =
            state == SlotState::Unloaded || state == SlotState::Loaded || state == SlotState::Broken;
        if (asInSource && rewritten == m_rewritten.end()) {
            continue;
        }
        const std::uint64_t offset = m_slots.offset(i);
        if (offset == noOffset) {
            continue;
        }
        if (!copySource(cursor, offset)) {
            return false;
        }
        cursor = offset + m_slots.length(i);
        if (state == SlotState::Deleted) {
            // Take the line break with the record, so no blank line remains.
            if (source.substr(cursor, 2) == "\r\n") {
                cursor += 2;
            } else if (cursor < source.size() && source[cursor] == '\n') {
                cursor += 1;
            }
            continue;
        }
        const bool written = rewritten != m_rewritten.end() ? sink(rewritten->second) : sink(serialize(i));
        if (!written) {
            return false;
        }
    }
    const std::size_t dataEnd = source.empty() ? 0 : m_dataEnd;
    if (!copySource(cursor, dataEnd)) {
        return false;
    }
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots.state(i) != SlotState::New || m_slots.offset(i) != noOffset) {
            continue;
        }
        pending += serialize(i);
        pending += newline();
        if (pending.size() >= writeChunk) {
            if (!sink(pending)) {
                return false;
            }
            pending.clear();
        }
    }
    if (!pending.empty() && !sink(pending)) {
        return false;
    }
    if (source.empty()) {
        return sink("ENDSEC;\nEND-ISO-10303-21;\n");
    }
    return copySource(dataEnd, source.size()) && m_source.intact();
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

bool BaseExpressDataSet::save(const std::string& path, std::string* error)
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
    m_changeCount = 0;
    return true;
}

} // namespace Step
