#pragma once

#include "ifc2x3/generated/InverseRelation.h"

#include "Step/BaseEntity.h"
#include "Step/ObsPtr.h"

#include <vector>

namespace ifc2x3 {

/// Keys of the instances that refer to target through an inverse relation,
/// in data set order (defined in ExpressDataSet.cpp).
std::vector<Step::BaseEntity*> inverseEntities(const Step::BaseEntity& target, InverseRelation relation);

/// The entity as a T, or null when it is of another type: a test of its
/// schema type, where a dynamic_cast failing on a deep class tree walks
/// all of it.
template <class T> T* entityAs(Step::BaseEntity* entity)
{
    return entity && entity->isOfType(T::getClassType()) ? static_cast<T*>(entity) : nullptr;
}

/// The entities a list of references names, skipping unresolved ones and
/// ones of another type.
template <class T> std::vector<T*> resolveAll(const Step::BaseEntity& owner, const Step::Value& list)
{
    std::vector<T*> out;
    out.reserve(list.items().size());
    for (const Step::Value& item : list.items()) {
        if (T* entity = entityAs<T>(owner.resolve(item))) {
            out.push_back(entity);
        }
    }
    return out;
}

template <class T> Step::Value referenceList(const std::vector<T*>& entities)
{
    std::vector<Step::Value> items;
    items.reserve(entities.size());
    for (const T* entity : entities) {
        if (entity) {
            items.push_back(Step::Value::reference(entity->getKey()));
        }
    }
    return Step::Value::list(std::move(items));
}

template <class T> std::vector<Step::ObsPtr<T>> inverseOf(const Step::BaseEntity& target, InverseRelation relation)
{
    std::vector<Step::ObsPtr<T>> out;
    for (Step::BaseEntity* entity : inverseEntities(target, relation)) {
        if (T* typed = entityAs<T>(entity)) {
            out.emplace_back(typed);
        }
    }
    return out;
}

} // namespace ifc2x3
