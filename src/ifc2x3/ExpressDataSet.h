#pragma once

#include "ifc2x3/Schema.h"
#include "ifc2x3/generated/Entities.h"
#include "ifc2x3/generated/InverseRelation.h"

#include "Step/BaseExpressDataSet.h"
#include "Step/RefPtr.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ifc2x3 {

/// An IFC 2x3 model: the STEP data set with typed lists of instances and the
/// inverse relations the applications navigate (IsDefinedBy, containment,
/// decomposition, openings, property set users).
///
/// Lists and inverse relations are built on first use, each in one pass over
/// the index, then kept up to date by every creation, change and deletion.
class ExpressDataSet : public Step::BaseExpressDataSet
{
public:
    ExpressDataSet();
    ~ExpressDataSet() override;

    /// The instances of T as they were when taken: creations and deletions
    /// made afterwards, on another thread say, do not change a list under
    /// its reader, and its instances stay alive while it is held.
    template <class T> class Snapshot
    {
    public:
        using Items = std::vector<Step::RefPtr<T>>;
        explicit Snapshot(std::shared_ptr<const Items> items) : m_items(std::move(items)) {}
        typename Items::const_iterator begin() const { return m_items->begin(); }
        typename Items::const_iterator end() const { return m_items->end(); }
        std::size_t size() const { return m_items->size(); }
        bool empty() const { return m_items->empty(); }
        const Step::RefPtr<T>& front() const { return m_items->front(); }
        const Step::RefPtr<T>& operator[](std::size_t i) const { return (*m_items)[i]; }

    private:
        std::shared_ptr<const Items> m_items;
    };

    /// All instances of T, subtypes included, in data set order.
    Snapshot<IfcElement> getAllIfcElement() { return allOf<IfcElement>(); }
    Snapshot<IfcObjectDefinition> getAllIfcObjectDefinition() { return allOf<IfcObjectDefinition>(); }
    Snapshot<IfcTypeObject> getAllIfcTypeObject() { return allOf<IfcTypeObject>(); }
    Snapshot<IfcProject> getAllIfcProject() { return allOf<IfcProject>(); }
    Snapshot<IfcBuilding> getAllIfcBuilding() { return allOf<IfcBuilding>(); }

    template <class T> Snapshot<T> allOf()
    {
        std::lock_guard<std::recursive_mutex> lock(mutex());
        auto& holder = m_lists[&T::getClassType()];
        if (!holder) {
            auto typed = std::make_unique<TypedList<T>>();
            fill(T::getClassType(), *typed);
            holder = std::move(typed);
        }
        return Snapshot<T>(static_cast<TypedList<T>&>(*holder).snapshot());
    }

    /// Creates an instance of T with a fresh key.
    template <class T> T* createEntity() { return static_cast<T*>(create(T::getClassType().id())); }
    /// Creates an instance of T whose attributes fill(T&) sets first.
    template <class T, class Fill> T* createEntity(Fill&& fill)
    {
        return static_cast<T*>(
            create(T::getClassType().id(), [&](Step::BaseEntity& entity) { fill(static_cast<T&>(entity)); }));
    }

    /// Instances referring to target through the inverse relation, in data
    /// set order.
    std::vector<Step::BaseEntity*> inverse(const Step::BaseEntity& target, InverseRelation relation);
    /// Same instances, handed to visit(Step::BaseEntity*) in turn without
    /// building a list, under the data set's lock: visit may read and decode
    /// instances, not create, change or delete any, nor wait for another lock.
    /// A visit returning bool stops the walk by returning true.
    template <class Visit> void forEachInverse(const Step::BaseEntity& target, InverseRelation relation, Visit&& visit)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex());
        const Step::Id* first = nullptr;
        const Step::Id* last = nullptr;
        inverseKeys(target, relation, first, last);
        forEachInstance(first, last, std::forward<Visit>(visit));
    }
    /// Keys of the same instances that are of `type` or a subtype of it, handed
    /// to visit(Step::Id) in turn, none of them decoded: a reader after one
    /// kind of relation, or after one attribute of each (referenceAt()),
    /// leaves the others as text. Same rules and stop as forEachInverse().
    template <class Visit>
    void forEachInverseKey(const Step::BaseEntity& target, InverseRelation relation, const Step::ClassType& type,
                           Visit&& visit)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex());
        const Step::Id* first = nullptr;
        const Step::Id* last = nullptr;
        inverseKeys(target, relation, first, last);
        for (; first != last; ++first) {
            if (!isOfType(*first, type)) {
                continue;
            }
            if constexpr (std::is_same_v<decltype(visit(*first)), bool>) {
                if (visit(*first)) {
                    return;
                }
            } else {
                visit(*first);
            }
        }
    }

    /// Whether the instance of a key is of `type` or a subtype, told without
    /// decoding it.
    bool isOfType(Step::Id key, const Step::ClassType& type) const
    {
        const std::uint16_t typeId = typeIdOf(key);
        return typeId != 0 && schema().classType(typeId).isDerivedFrom(type);
    }

    /// Hands visit(relation, set) the keys of each property set definition
    /// an occurrence's IfcRelDefinesByProperties name, in data set order,
    /// neither of them decoded (the set read from the relation's text). Same
    /// rules and stop as forEachInverse().
    template <class Visit> void forEachDefiningSet(const Step::BaseEntity& object, Visit&& visit)
    {
        forEachInverseKey(
            object, InverseRelation::IsDefinedBy, IfcRelDefinesByProperties::getClassType(), [&](Step::Id relation) {
                const Step::Id set = referenceAt(relation, IfcRelDefinesByProperties::RelatingPropertyDefinitionIndex);
                if (!set || !isOfType(set, IfcPropertySetDefinition::getClassType())) {
                    return false;
                }
                if constexpr (std::is_same_v<decltype(visit(relation, set)), bool>) {
                    return visit(relation, set);
                } else {
                    visit(relation, set);
                    return false;
                }
            });
    }

    /// Number of instances of each type id (index = type id), deleted ones
    /// excluded; decodes nothing.
    std::vector<std::size_t> countByType() const;

    /// A number that grows with every creation, change and deletion of an
    /// instance: what was read from the data set under an equal number is
    /// still what it holds.
    std::uint64_t changeCount() const { return m_changes.load(std::memory_order_relaxed); }

    /// Builds the tables of inverse relations now rather than on the first
    /// inverse read, which then waits for them, the data set's lock held:
    /// a reader that opens a model for another thread calls it.
    void prepareInverses();

    /// Label of a root object: its Name, else LongName, else GlobalId.
    static Step::String label(const IfcRoot& object);

protected:
    void onCreated(Step::BaseEntity* entity) override;
    void onRemoved(Step::BaseEntity* entity) override;
    void onArgumentChanged(Step::BaseEntity* entity, std::size_t index, const Step::Value& old) override;
    void onReset() override;
    void onRolledBack() override;

private:
    using KeyList = std::vector<Step::Id>;

    struct TypedListBase
    {
        virtual ~TypedListBase() = default;
        virtual void add(Step::BaseEntity* entity) = 0;
        virtual void remove(Step::BaseEntity* entity) = 0;
    };
    /// Shared with the snapshots taken of it, and copied before a change
    /// while one is held. Deletions are applied in one sweep when the list
    /// is next read: a pass deleting thousands of instances does not sweep
    /// it for each.
    template <class T> struct TypedList : TypedListBase
    {
        using Items = std::vector<Step::RefPtr<T>>;
        std::shared_ptr<Items> items = std::make_shared<Items>();
        std::unordered_set<Step::BaseEntity*> removed;

        Items& own()
        {
            if (items.use_count() > 1) {
                items = std::make_shared<Items>(*items);
            }
            return *items;
        }
        void add(Step::BaseEntity* entity) override { own().emplace_back(static_cast<T*>(entity)); }
        void remove(Step::BaseEntity* entity) override { removed.insert(entity); }
        std::shared_ptr<const Items> snapshot()
        {
            if (!removed.empty()) {
                const auto gone = [this](const Step::RefPtr<T>& item) { return removed.count(item.get()) != 0; };
                Items& list = own();
                list.erase(std::remove_if(list.begin(), list.end(), gone), list.end());
                removed.clear();
            }
            return items;
        }
    };

    void fill(const Step::ClassType& type, TypedListBase& list);
    void ensureInverses();
    /// The keys of the sources of target, under the lock held by the caller.
    void inverseKeys(const Step::BaseEntity& target, InverseRelation relation, const Step::Id*& first,
                     const Step::Id*& last);
    void addInverse(InverseRelation relation, Step::Id target, Step::Id source);
    void removeInverse(InverseRelation relation, Step::Id target, Step::Id source);
    void indexSource(Step::BaseEntity& entity, bool add);
    void indexAttribute(const Step::BaseEntity& entity, std::size_t index, const Step::Value& value, bool add);
    const std::vector<const InverseSource*>& sourcesOf(std::uint16_t typeId);
    /// Adds the links of a source not decoded yet, read from its text; false
    /// when it must be decoded for them.
    bool indexUndecodedSource(std::size_t slot, const std::vector<const InverseSource*>& sources);

    std::unordered_map<const Step::ClassType*, std::unique_ptr<TypedListBase>> m_lists;
    /// The sources of one inverse relation by target. Built in one pass as
    /// sorted arrays (a few bytes a link instead of a node and a vector per
    /// target); lists changed afterwards are kept apart and take precedence.
    struct InverseTable
    {
        std::vector<Step::Id> targets;     // sorted
        std::vector<std::uint32_t> starts; // sources of targets[i]: [starts[i], starts[i + 1])
        std::vector<Step::Id> sources;
        /// Lists changed since the table was built, found without hashing:
        /// of a target of the table, through its position; of an instance
        /// created since (keys only grow), through its key above
        /// firstNewKey; of any other, in a map. Positions and keys lead to
        /// an index, four bytes each, where most have no list.
        std::vector<std::uint32_t> changedAt; // per target: 0 unchanged, else 1 + index in changedLists
        std::deque<KeyList> changedLists;     // grows without moving the lists it holds
        Step::Id firstNewKey = 0;
        std::vector<std::uint32_t> newAt; // per key from firstNewKey: 0 no list, else 1 + index in changedLists
        std::unordered_map<Step::Id, KeyList> otherTargets;

        void clear();
        const KeyList* changedList(Step::Id target, std::size_t position, bool inTable) const;
        void growNewTargets(std::size_t size);
        /// The sources of a target, or false when it has none.
        bool find(Step::Id target, const Step::Id*& first, const Step::Id*& last) const;
        /// The list of a target, to change it.
        KeyList& edit(Step::Id target);
    };
    using InversePairs = std::vector<std::pair<Step::Id, Step::Id>>; // target, source

    std::atomic<std::uint64_t> m_changes{0};
    bool m_inversesBuilt = false;
    std::array<InverseTable, static_cast<std::size_t>(InverseRelation::Count)> m_inverses;
    /// While the tables are built: the links found so far, by relation.
    std::array<InversePairs, static_cast<std::size_t>(InverseRelation::Count)>* m_collecting = nullptr;
    std::vector<std::vector<const InverseSource*>> m_sourcesByType;
    /// The references of the source being indexed from its text: attribute, target.
    std::vector<std::pair<std::size_t, Step::Id>> m_undecodedLinks;
    std::vector<bool> m_sourcesKnown;
};

} // namespace ifc2x3
