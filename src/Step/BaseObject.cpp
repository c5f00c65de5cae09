#include "BaseObject.h"

#include "BaseExpressDataSet.h"
#include "BaseVisitor.h"

namespace Step {

const ClassType& BaseObject::getClassType()
{
    static const ClassType type("BaseObject", nullptr, 0);
    return type;
}

bool BaseObject::acceptVisitor(BaseVisitor* visitor)
{
    return visitor->visitBaseObject(this);
}

} // namespace Step
