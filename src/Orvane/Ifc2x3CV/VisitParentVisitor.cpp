#include "VisitParentVisitor.h"

#include "Orvane/_ifc2x3/DataSetLocker.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace Orvane {
namespace Ifc2x3CV {

using namespace ifc2x3;

std::vector<IfcObjectDefinition*> VisitParentVisitor::parentsOf(IfcObjectDefinition* object)
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
    const _ifc2x3::DataSetLocker locker(_ifc2x3::dataSetLock(dataSet), _ifc2x3::DataSetLocker::Read);
    // Relations of one kind, each giving the parent it names.
    auto collect = [&](InverseRelation relation, const Step::ClassType& relationType, auto parentOf) {
        dataSet->forEachInverse(*object, relation, [&](Step::BaseEntity* entity) {
            if (!entity->isOfType(relationType)) {
                return;
            }
            if (IfcObjectDefinition* parent = parentOf(entity)) {
                parents.push_back({dataSet->slotOfKey(entity->getKey()), parent});
            }
        });
    };
    collect(InverseRelation::Decomposes, IfcRelDecomposes::getClassType(),
            [](Step::BaseEntity* r) { return static_cast<IfcRelDecomposes*>(r)->getRelatingObject(); });
    if (object->isOfType(IfcElement::getClassType())) {
        collect(InverseRelation::ContainedInStructure, IfcRelContainedInSpatialStructure::getClassType(),
                [](Step::BaseEntity* r) -> IfcObjectDefinition* {
                    return static_cast<IfcRelContainedInSpatialStructure*>(r)->getRelatingStructure();
                });
        collect(InverseRelation::FillsVoids, IfcRelFillsElement::getClassType(),
                [](Step::BaseEntity* r) -> IfcObjectDefinition* {
                    return static_cast<IfcRelFillsElement*>(r)->getRelatingOpeningElement();
                });
    }
    if (object->isOfType(IfcFeatureElementSubtraction::getClassType())) {
        collect(InverseRelation::VoidsElements, IfcRelVoidsElement::getClassType(),
                [](Step::BaseEntity* r) -> IfcObjectDefinition* {
                    return static_cast<IfcRelVoidsElement*>(r)->getRelatingBuildingElement();
                });
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

bool VisitParentVisitor::visitIfcObjectDefinition(IfcObjectDefinition* object)
{
    if (!object || !object->getExpressDataSet()) {
        return false;
    }
    if (m_walking) {
        // Called back from a subclass during a walk: queue this object's
        // parents for the next generation.
        for (IfcObjectDefinition* parent : parentsOf(object)) {
            if (m_seen.insert(parent).second) {
                m_queue.push_back(parent);
            }
        }
        return false;
    }
    m_walking = true;
    m_queue.clear();
    m_seen.clear();
    m_seen.insert(object);
    for (IfcObjectDefinition* parent : parentsOf(object)) {
        if (m_seen.insert(parent).second) {
            m_queue.push_back(parent);
        }
    }
    bool stopped = false;
    while (!m_queue.empty() && !stopped) {
        IfcObjectDefinition* next = m_queue.front();
        m_queue.pop_front();
        stopped = next->acceptVisitor(this);
    }
    m_walking = false;
    m_queue.clear();
    m_seen.clear();
    return stopped;
}

} // namespace Ifc2x3CV
} // namespace Orvane
