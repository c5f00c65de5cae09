#pragma once

#include "Arena.h"
#include "BaseEntity.h"
#include "DeletedReferenceFilter.h"
#include "EditJournal.h"
#include "FileVersion.h"
#include "KeyIndex.h"
#include "Lexer.h"
#include "RecordDecoder.h"
#include "SPFIndexer.h"
#include "SPFWriter.h"
#include "Schema.h"
#include "SlotTable.h"
#include "SourceBuffer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

namespace Step {

/// Where an opened file cannot be read.
struct OpenError
{
    std::string message;
    std::size_t line = 0;
    std::size_t column = 0;

    bool isSet() const { return !message.empty(); }
    std::string toString() const;
};

/// A STEP data set: the instances of one file, indexed on open and decoded
/// one by one on first use, plus the instances created since. Saving writes
/// untouched instances back byte for byte and only serialises what changed.
///
/// The data set holds the slots and creates and removes instances; the
/// other jobs have classes of their own: SPFIndexer reads the file's
/// structure, KeyIndex finds slots by key, RecordDecoder decodes records,
/// DeletedReferenceFilter removes references to deleted instances,
/// SPFWriter writes the file and AtomicFile puts it in place.
///
/// The data set owns the one lock of its instances, mutex(). Its own
/// operations take it, so they are safe to call from several threads.
/// Attribute values of decoded instances (argument(), setArgument()) are
/// not guarded by the data set: threads that read and write them hold
/// mutex() meanwhile. The mutex is recursive, so that such a holder may go
/// on calling the data set's operations.
class BaseExpressDataSet
{
public:
    using SlotState = Step::SlotState;

    explicit BaseExpressDataSet(const Schema& schema);
    virtual ~BaseExpressDataSet();
    BaseExpressDataSet(const BaseExpressDataSet&) = delete;
    BaseExpressDataSet& operator=(const BaseExpressDataSet&) = delete;

    /// Indexes a file. On failure the data set is left empty and lastError()
    /// says what and where.
    bool open(const std::string& path);
    bool openFromText(std::string text);
    const OpenError& lastError() const { return m_error; }

    const Schema& schema() const { return m_schema; }
    const FileHeader& header() const { return m_header; }

    /// Problems met while decoding instances (bad records, dangling
    /// references, malformed strings), each naming the instance key. The
    /// call empties the list.
    std::vector<std::string> takeWarnings();

    /// Instances in data set order: the file's order, then created ones.
    std::size_t slotCount() const;
    Id slotKey(std::size_t slot) const;
    std::uint16_t slotTypeId(std::size_t slot) const;
    SlotState slotState(std::size_t slot) const;
    /// The decoded instance of a slot (decoded now if needed), or null for a
    /// deleted, unknown or unreadable one.
    BaseEntity* getBySlot(std::size_t slot);
    /// Same instance, its values left in the text until first read: for
    /// lists of many instances of which readers want few values. Its record
    /// is not touched now; a record found unreadable then leaves the values
    /// unset, with a warning, as a record read now would have left the
    /// instance out.
    BaseEntity* getBySlotDeferred(std::size_t slot);
    /// The same for the instance of a key.
    BaseEntity* getDeferred(Id key);
    /// Number of instances that are not deleted.
    std::size_t instanceCount() const;

    bool contains(Id key) const;
    /// The instance with this key, decoded on first use; null when there is
    /// none or it cannot be read.
    BaseEntity* get(Id key);
    std::uint16_t typeIdOf(Id key) const;
    /// Reads one attribute of an instance not decoded yet from its text,
    /// without decoding the instance: for looking through many instances
    /// for the few that are wanted. False when the instance is decoded
    /// already (read it instead), missing, or its text cannot be read.
    bool peekArgument(Id key, std::size_t index, Value& out) const;
    /// Drops the pages of the mapped file read so far (when the memory
    /// policy drops read pages). Opening leaves them mapped for the passes
    /// over the whole file that follow it; whoever opened calls this after
    /// them.
    void releaseSourcePages();
    /// The instance an attribute of an instance refers to, read from its
    /// values when it is decoded, else from its text without decoding it
    /// unless the text is long; 0 when the attribute holds no reference to
    /// an existing instance.
    Id referenceAt(Id key, std::size_t index);
    /// Calls visit(attribute, key) for each reference in the attributes of
    /// `attributes` (bit i for attribute i) of the record of a slot not
    /// decoded yet, read from its text. False, visiting nothing, when the
    /// slot is decoded (its values tell) or its text cannot be read.
    template <class Visit>
    bool forEachUndecodedReference(std::size_t slot, std::uint64_t attributes, Visit&& visit) const
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const std::string_view parameters = undecodedParameters(slot);
        return !parameters.empty() && Lexer::forEachReference(parameters, attributes, std::forward<Visit>(visit)) &&
               m_source.intact(SourceBuffer::Check::Lazily);
    }
    /// The fingerprint (Lexer::textFingerprint()) of an instance's attribute
    /// named by setFingerprintedAttributes(), told at open, while its values
    /// are still those of the file and the attribute a string; 0 when
    /// unknown. An instance whose fingerprint differs from a text's does not
    /// hold that text there, and its record need not be read.
    std::uint32_t textFingerprint(Id key) const;
    std::uint32_t textFingerprintAt(std::size_t slot) const;
    /// Position of an instance in data set order, or slotCount() if none.
    std::size_t slotOfKey(Id key) const;

    /// Creates an instance with a fresh key, above every key used so far;
    /// attributes start unset ($), or derived (*) where the schema says so.
    /// Null for an unknown type, or when the key range is used up (see
    /// instanceNumbersExhausted()).
    BaseEntity* create(std::uint16_t typeId);
    /// Same, with attributes that `fill` sets before the instance joins the
    /// data set, which then hears of it once instead of once per attribute.
    /// The instance has its key but no data set while being filled.
    BaseEntity* create(std::uint16_t typeId, const std::function<void(BaseEntity&)>& fill);
    /// Deletes an instance. References to it are dropped from every other
    /// instance when saving, so no dangling #n is ever written.
    bool remove(Id key);

    /// Writes the data set to path as one AtomicFile: a failure or an
    /// interruption leaves any previous file intact and no temporary file,
    /// a symbolic link is written through, and a target that is not a
    /// regular file is refused before anything is written. With onDisk, a
    /// file at path other than *onDisk (another program's version) is left
    /// as it is and the save fails; once saved, *onDisk is the file written.
    bool save(const std::string& path, std::string* error = nullptr, FileVersion* onDisk = nullptr);
    /// The text save() writes; empty when the opened file changed since
    /// (see sourceIntact()).
    std::string toText();

    bool isModified() const;
    /// Whether the opened file is still as it was opened. Another program
    /// may truncate or rewrite it meanwhile: the instances decoded before
    /// stay as they are, the others cannot be read any more (get() gives
    /// null, with one warning), and saving refuses, since untouched records
    /// are copied from the file. False with the reason in `problem`.
    bool sourceIntact(std::string* problem = nullptr) const;
    /// The largest key in use or used so far: created instances get larger
    /// ones.
    Id maxKey() const;
    /// Whether a creation failed because no instance number was left (a
    /// file using the largest one): edits made since are incomplete. Stays
    /// set until another file is opened.
    bool instanceNumbersExhausted() const;

    /// Opens a journal of the edits to come (creations, deletions, attribute
    /// changes), to keep them with commitJournal() or undo them with
    /// rollbackJournal(): an operation that fails or is stopped half-way
    /// then leaves the data set as it found it. Journals nest: one opened
    /// while another is open covers the edits since, and what it keeps
    /// stays in the enclosing one, to be undone with it. A save while one
    /// is open makes the states before it modified ones. Always true.
    bool beginJournal();
    /// Keeps the edits made since the innermost beginJournal() and closes
    /// that journal.
    void commitJournal();
    /// Undoes the edits made since the innermost beginJournal(), newest
    /// first, and closes that journal: the instances and their values,
    /// isModified() and what save() writes are as they were when it opened.
    void rollbackJournal();
    bool journalOpen() const;
    /// How many journals are open, one inside the other.
    std::size_t journalDepth() const;

    /// Where the instances and decoded values of this data set live.
    Arena& arena() { return *m_arena; }

    /// Called by BaseEntity::setArgument.
    void argumentChanged(BaseEntity* entity, std::size_t index, const Value& old);

    /// The lock of the data set and of its instances' attribute values.
    /// Reading decodes and caches, so readers take it too.
    std::recursive_mutex& mutex() const { return m_mutex; }

    /// Calls visit(slot, typeId, state) for each slot present when the walk
    /// starts, in data set order, holding the lock once for the whole walk
    /// rather than once per slot, as passes over millions of slots would.
    template <class Visit> void forEachSlot(Visit&& visit) const
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const std::size_t count = m_slots.size();
        for (std::size_t slot = 0; slot < count; ++slot) {
            visit(slot, m_slots.typeId(slot), m_slots.state(slot));
        }
    }

    /// Calls visit(BaseEntity*) with the instance of each key of [first,
    /// last) in turn, decoded if needed, skipping keys without a readable
    /// instance, under the lock taken once. A visit returning bool stops the
    /// walk by returning true.
    template <class Visit> void forEachInstance(const Id* first, const Id* last, Visit&& visit)
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (; first != last; ++first) {
            const std::uint32_t slot = m_keys.find(*first);
            BaseEntity* entity = slot == noSlot ? nullptr : loadSlot(slot);
            if (!entity) {
                continue;
            }
            if constexpr (std::is_same_v<decltype(visit(entity)), bool>) {
                if (visit(entity)) {
                    return;
                }
            } else {
                visit(entity);
            }
        }
    }

protected:
    /// Hooks, called with mutex() held.
    virtual void onLoaded(BaseEntity*) {}
    virtual void onCreated(BaseEntity*) {}
    virtual void onRemoved(BaseEntity*) {}
    virtual void onArgumentChanged(BaseEntity*, std::size_t, const Value&) {}
    virtual void onReset() {}
    /// After rollbackJournal(): instances came back and went in an order
    /// that lists and indexes kept up to date edit by edit may not follow.
    virtual void onRolledBack() {}

    void warn(const std::string& message);
    /// Which attribute of each type's records textFingerprint() tells of
    /// (see SPFIndexer::setFingerprintedAttributes()); for files opened
    /// from then on.
    void setFingerprintedAttributes(std::vector<std::uint8_t> attributeByType)
    {
        m_fingerprintedAttributes = std::move(attributeByType);
    }
    /// The memory advice of the file opened, for the tables built from it.
    const MemoryPolicy& memoryPolicy() const { return m_source.memoryPolicy(); }

private:
    static constexpr std::uint32_t noSlot = KeyIndex::noSlot;

    bool finishOpen();
    bool indexSource();
    void reset();
    BaseEntity* loadSlot(std::uint32_t slot);
    friend class BaseEntity;
    /// Whether a slot's values are still only in its record: not decoded,
    /// or left unread by getBySlotDeferred().
    bool valuesInText(std::uint32_t slot) const;
    /// Reads the values of an instance getBySlotDeferred() left unread.
    void readDeferredArguments(BaseEntity& entity);
    /// The values of a slot's record with references to instances deleted
    /// since dropped; false, with the reason warned of, when unreadable.
    bool decodeSlot(std::uint32_t slot, std::vector<Value>& arguments, bool& droppedDeleted);
    /// The parameter list "(...)" of a slot's record as the file has it
    /// (empty when there is none); notes the read.
    std::string_view parameterText(std::uint32_t slot) const;
    /// The parameters of a slot not decoded yet whose record is intact,
    /// else empty.
    std::string_view undecodedParameters(std::size_t slot) const;
    /// The whole record of a slot as the file has it; notes the read.
    std::string_view recordText(std::uint32_t slot) const;
    /// Whether a slot's record may be decoded from the file: false when the
    /// file changed since opening (see sourceIntact()).
    bool recordIntact(std::uint32_t slot) const;
    /// The same told from the record's start alone (its '#' and key), for a
    /// reader of its first attributes: the end of a long record lies on
    /// another cache line, whose fetch would cost as much as the read.
    bool recordStartIntact(std::uint32_t slot) const;
    void reportChangedSource();
    /// Unsets references to missing instances; true when one of them was
    /// deleted since opening (the record then differs from its text).
    bool dropDanglingReferences(Value& value, Id owner);
    void purgeDeletedReferences();
    void purgeDeletedReferences(std::uint32_t slot);
    bool write(const SPFWriter::Sink& sink);
    void record(EditJournal::Entry entry);
    /// Drops the last slot, an instance created in the journal.
    void undoCreation(std::uint32_t slot);
    void undoRemoval(EditJournal::Entry& entry);
    void undoArgumentChange(EditJournal::Entry& entry);
    /// Decodes a slot's record again into its instance, now that what it
    /// refers to is back.
    void redecode(std::uint32_t slot);

    const Schema& m_schema;
    /// Held, not owned alone: instances referenced after the data set goes
    /// keep it (see Arena).
    ArenaHold m_arena{Arena::create()};
    mutable std::recursive_mutex m_mutex;
    SourceBuffer m_source;
    FileHeader m_header;
    OpenError m_error;
    SlotTable m_slots;
    KeyIndex m_keys;
    RecordDecoder m_decoder;
    Id m_maxKey = 0;
    std::vector<std::uint8_t> m_fingerprintedAttributes;
    /// Slot and fingerprint of the records that have one, in slot order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_fingerprints;
    mutable std::size_t m_fingerprintCursor = 0; ///< where the last one was found
    std::uint64_t m_dataEnd = 0;
    bool m_crlf = false;
    std::size_t m_deletedCount = 0;
    std::size_t m_changeCount = 0;
    bool m_instanceNumbersExhausted = false;
    bool m_sourceDamageReported = false;
    DeletedReferenceFilter m_deleted;
    /// Records that cannot be decoded (unknown or complex entities, broken
    /// records), rewritten as text without their references to deleted
    /// instances.
    SPFWriter::RewrittenRecords m_rewritten;
    std::vector<std::string> m_warnings;
    std::unique_ptr<EditJournal> m_journal;
    /// Values of the record being decoded or the instance being made, kept
    /// between uses so that each does not allocate a list of its own.
    std::vector<Value> m_scratchArguments;
};

} // namespace Step
