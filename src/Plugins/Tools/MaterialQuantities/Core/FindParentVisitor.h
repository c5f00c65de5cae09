#pragma once

#include "Orvane/Ifc2x3CV/VisitParentVisitor.h"

#include "ifc2x3/generated/Entities.h"

#include <list>

namespace Orvane {
namespace Ifc2x3CV {

/// Finds the ancestors of type T of an IFC object (see VisitParentVisitor
/// for the order), optionally stopping at the first one.
template <class T> class FindParentVisitor : public VisitParentVisitor
{
public:
    FindParentVisitor(bool stopAtFirst, const ifc2x3::IfcObjectDefinition* ignored = nullptr)
        : m_stopAtFirst(stopAtFirst), m_ignored(ignored)
    {
        visitParentsDirectly();
    }
    ~FindParentVisitor() override { m_parents.clear(); }

    bool visitIfcObjectDefinition(ifc2x3::IfcObjectDefinition* object) override
    {
        if (object && object != m_ignored && object->isOfType(T::getClassType())) {
            m_parents.push_back(static_cast<T*>(object));
            if (m_stopAtFirst) {
                return true;
            }
        }
        return VisitParentVisitor::visitIfcObjectDefinition(object);
    }

    const std::list<T*>& parents() const { return m_parents; }

private:
    bool m_stopAtFirst;
    std::list<T*> m_parents;
    const ifc2x3::IfcObjectDefinition* m_ignored;
};

} // namespace Ifc2x3CV
} // namespace Orvane
