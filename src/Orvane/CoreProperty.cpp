#include "CoreProperty.h"

namespace Orvane {

QStringList CoreProperty::getPropertyPath(const QString& path)
{
    // Empty components are kept: a path with one resolves to nothing rather
    // than to a shorter path the user did not write.
    return path.split(QLatin1Char('/'));
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
