#pragma once

#include "ClassType.h"
#include "Referenced.h"

namespace Step {

class BaseExpressDataSet;
class BaseVisitor;

/// Root of every object held by a data set.
class BaseObject : public Referenced
{
public:
    explicit BaseObject(BaseExpressDataSet* dataSet) : m_dataSet(dataSet) {}

    static const ClassType& getClassType();
    virtual const ClassType& getType() const { return getClassType(); }
    bool isOfType(const ClassType& type) const { return getType().isDerivedFrom(type); }

    BaseExpressDataSet* getExpressDataSet() const { return m_dataSet; }

    /// Calls the visitor's operation for this object's most derived type.
    virtual bool acceptVisitor(BaseVisitor* visitor);

protected:
    friend class BaseExpressDataSet;
    void detachFromDataSet() { m_dataSet = nullptr; }
    void attachToDataSet(BaseExpressDataSet* dataSet) { m_dataSet = dataSet; }

private:
    BaseExpressDataSet* m_dataSet;
};

} // namespace Step
