#pragma once

#include "ifc2x3/generated/Visitor.h"

#include <deque>
#include <unordered_set>

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
    /// Visits the parents of object; true when a visit asked to stop.
    bool visitIfcObjectDefinition(ifc2x3::IfcObjectDefinition* object) override;

    /// Direct parents of an object, in the order they are visited.
    static std::vector<ifc2x3::IfcObjectDefinition*> parentsOf(ifc2x3::IfcObjectDefinition* object);

private:
    bool m_walking = false;
    std::deque<ifc2x3::IfcObjectDefinition*> m_queue;
    std::unordered_set<const ifc2x3::IfcObjectDefinition*> m_seen;
};

} // namespace Ifc2x3CV
} // namespace Orvane
