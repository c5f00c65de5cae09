#include "CoreProperty.h"

namespace Orvane {

QStringList CoreProperty::getPropertyPath(const QString& path)
{
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

Step::RefPtr<CoreProperty> CoreProperty::findChild(const QString& name) const
{
    const int count = childCount();
    for (int i = 0; i < count; ++i) {
        Step::RefPtr<CoreProperty> child(getChildProperty(i));
        if (child && child->name() == name) {
            return child;
        }
    }
    return {};
}

} // namespace Orvane
