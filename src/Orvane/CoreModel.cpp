#include "CoreModel.h"

namespace Orvane {

Step::RefPtr<CoreProperty> CoreModel::getProperty(const QModelIndex& index, const QString& path) const
{
    return getProperty(index, CoreProperty::getPropertyPath(path));
}

} // namespace Orvane
