#include "VisitParentVisitor.h"

#include "ifc2x3/EntityAccess.h"
#include "ifc2x3/ExpressDataSet.h"

#include <algorithm>
#include <mutex>

namespace Orvane {
namespace Ifc2x3CV {

using namespace ifc2x3;

VisitParentVisitor::Parents VisitParentVisitor::parentsOf(IfcObjectDefinition* object)
{
    struct Parent
    {
        std::size_t relationSlot;
        IfcObjectDefinition* parent;
    };
    std::vector<Parent> parents;
    auto* dataSet = dynamic_cast<ExpressDataSet*>(object->getExpressDataSet());
    if (!dataSet) {
        return {};
    }
    const std::lock_guard<std::recursive_mutex> lock(dataSet->mutex());
    // Relations of one kind, each giving the parent it names, read from
    // the relation's text: the parts of an assembly share one relation,
    // which need not be decoded for each of them.
    auto collect = [&](InverseRelation relation, const Step::ClassType& relationType, std::size_t parentIndex) {
        dataSet->forEachInverseKey(*object, relation, relationType, [&](Step::Id relationKey) {
            const Step::Id parentKey = dataSet->referenceAt(relationKey, parentIndex);
            if (auto* parent = parentKey ? entityAs<IfcObjectDefinition>(dataSet->get(parentKey)) : nullptr) {
                parents.push_back({dataSet->slotOfKey(relationKey), parent});
            }
        });
    };
    collect(InverseRelation::Decomposes, IfcRelDecomposes::getClassType(), IfcRelDecomposes::RelatingObjectIndex);
    if (object->isOfType(IfcElement::getClassType())) {
        collect(InverseRelation::ContainedInStructure, IfcRelContainedInSpatialStructure::getClassType(),
                IfcRelContainedInSpatialStructure::RelatingStructureIndex);
        collect(InverseRelation::FillsVoids, IfcRelFillsElement::getClassType(),
                IfcRelFillsElement::RelatingOpeningElementIndex);
    }
    if (object->isOfType(IfcFeatureElementSubtraction::getClassType())) {
        collect(InverseRelation::VoidsElements, IfcRelVoidsElement::getClassType(),
                IfcRelVoidsElement::RelatingBuildingElementIndex);
    }
    std::stable_sort(parents.begin(), parents.end(),
                     [](const Parent& a, const Parent& b) { return a.relationSlot < b.relationSlot; });
    std::vector<IfcObjectDefinition*> out;
    out.reserve(parents.size());
    for (const Parent& p : parents) {
        out.push_back(p.parent);
    }
    return out;
}

const VisitParentVisitor::Parents& VisitParentVisitor::parentsFor(IfcObjectDefinition* object)
{
    if (!m_cache) {
        m_looked = parentsOf(object);
        return m_looked;
    }
    auto [known, inserted] = m_cache->try_emplace(object);
    if (inserted) {
        known->second = parentsOf(object);
    }
    return known->second;
}

void VisitParentVisitor::enqueue(const Parents& parents)
{
    // What lies above an object is mostly a handful of objects: looking
    // through them costs less than hashing; long chains go to a set.
    constexpr std::size_t shortWalk = 16;
    for (IfcObjectDefinition* parent : parents) {
        if (m_queue.size() < shortWalk) {
            if (std::find(m_queue.begin(), m_queue.end(), parent) != m_queue.end()) {
                continue;
            }
        } else {
            if (m_seen.empty()) {
                m_seen.insert(m_queue.begin(), m_queue.end());
            }
            if (!m_seen.insert(parent).second) {
                continue;
            }
        }
        m_queue.push_back(parent);
    }
}

bool VisitParentVisitor::walk(IfcObjectDefinition* start, const Parents& parents)
{
    m_walking = true;
    m_queue.assign(1, start);
    enqueue(parents);
    bool stopped = false;
    // Visits append the parents of what they visit: no iterator survives.
    for (std::size_t next = 1; next < m_queue.size() && !stopped; ++next) {
        stopped = m_dispatch ? m_queue[next]->acceptVisitor(this) : visitIfcObjectDefinition(m_queue[next]);
    }
    m_walking = false;
    m_queue.clear();
    if (!m_seen.empty()) {
        // Dropped rather than cleared: clearing walks every bucket it grew.
        decltype(m_seen)().swap(m_seen);
    }
    return stopped;
}

bool VisitParentVisitor::visitIfcObjectDefinition(IfcObjectDefinition* object)
{
    if (!object || !object->getExpressDataSet()) {
        return false;
    }
    if (m_walking) {
        // Called back from a subclass during a walk: queue this object's
        // parents for the next generation.
        enqueue(parentsFor(object));
        return false;
    }
    return walk(object, parentsFor(object));
}

bool VisitParentVisitor::visitParents(IfcObjectDefinition* object, const Parents& parents)
{
    if (!object || m_walking) {
        return false;
    }
    return walk(object, parents);
}

} // namespace Ifc2x3CV
} // namespace Orvane
