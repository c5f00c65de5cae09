#pragma once

#include "BaseEntity.h"

namespace Step {

/// An instance of the file that has been indexed but not decoded yet. The
/// data set decodes it on demand (BaseExpressDataSet::get with its key).
class BaseSPFObject : public BaseEntity
{
public:
    using BaseEntity::BaseEntity;

    static const ClassType& getClassType();
    const ClassType& getType() const override { return getClassType(); }
};

} // namespace Step
