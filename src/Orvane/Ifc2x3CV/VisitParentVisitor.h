#pragma once

#include "ifc2x3/generated/Visitor.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ifc2x3 {
class IfcObjectDefinition;
}

namespace Orvane {
namespace Ifc2x3CV {

/// Walks up from an object to its parents: spatial containment, aggregation
/// and nesting, and openings to the element they void, fillings to their
/// opening. Each parent is visited through its acceptVisitor, so that a
/// subclass's visitIfcObjectDefinition sees them all; it returns true to stop.
///
/// Parents are visited one generation at a time, nearest first, the parents
/// of one object in the file order of their relations. Each object is
/// visited once, so cycles in a malformed model end.
class VisitParentVisitor : public ifc2x3::InheritVisitor
{
public:
    using Parents = std::vector<ifc2x3::IfcObjectDefinition*>;
    /// Parents by object, each looked up once: for many walks over a model
    /// that does not change meanwhile (storeys and buildings lie above
    /// thousands of elements).
    using ParentCache = std::unordered_map<ifc2x3::IfcObjectDefinition*, Parents>;

    /// Visits the parents of object; true when a visit asked to stop.
    bool visitIfcObjectDefinition(ifc2x3::IfcObjectDefinition* object) override;
    /// The same walk from an object whose direct parents are known.
    bool visitParents(ifc2x3::IfcObjectDefinition* object, const Parents& parents);

    /// Walks to come look parents up in cache and keep them there; null
    /// (the default) looks them up each time.
    void setParentCache(ParentCache* cache) { m_cache = cache; }

    /// Direct parents of an object, in the order they are visited.
    static Parents parentsOf(ifc2x3::IfcObjectDefinition* object);

protected:
    /// For a subclass that overrides visitIfcObjectDefinition alone: each
    /// parent goes to it straight, not through its type's operation and
    /// those of its supertypes, which would lead there all the same.
    void visitParentsDirectly() { m_dispatch = false; }

private:
    bool walk(ifc2x3::IfcObjectDefinition* start, const Parents& parents);
    void enqueue(const Parents& parents);
    const Parents& parentsFor(ifc2x3::IfcObjectDefinition* object);

    bool m_walking = false;
    bool m_dispatch = true;
    ParentCache* m_cache = nullptr;
    Parents m_looked; // parents of the last object, without a cache
    /// The start object, then every object queued, in visiting order.
    Parents m_queue;
    std::unordered_set<const ifc2x3::IfcObjectDefinition*> m_seen; // for long walks
};

} // namespace Ifc2x3CV
} // namespace Orvane
