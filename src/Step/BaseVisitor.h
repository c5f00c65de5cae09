#pragma once

#include "Referenced.h"

#include <functional>
#include <string>

namespace Step {

class BaseObject;
class BaseEntity;

/// Double-dispatch visitor; the schema's visitors add one operation per
/// entity type.
class BaseVisitor : public Referenced
{
public:
    using Logger = std::function<void(const std::string&)>;

    virtual bool visitBaseObject(BaseObject*) { return false; }
    virtual bool visitBaseEntity(BaseEntity*) { return false; }

    void setLogger(Logger logger) { m_logger = std::move(logger); }

protected:
    void log(const std::string& message) const
    {
        if (m_logger) {
            m_logger(message);
        }
    }

private:
    Logger m_logger;
};

} // namespace Step
