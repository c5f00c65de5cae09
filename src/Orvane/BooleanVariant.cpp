#include "BooleanVariant.h"

namespace Orvane {

QString BooleanVariant::toString() const
{
    switch (m_state) {
    case True:
        return QStringLiteral("True");
    case False:
        return QStringLiteral("False");
    default:
        return QStringLiteral("Unknown");
    }
}

bool BooleanVariant::operator==(const QVariant& other) const
{
    return other.userType() == metaTypeId() && other.value<BooleanVariant>().m_state == m_state;
}

int BooleanVariant::metaTypeId()
{
    static const int id = qRegisterMetaType<BooleanVariant>("Orvane::BooleanVariant");
    return id;
}

} // namespace Orvane
