#include "TypeInputPath.h"

#include <QCoreApplication>
#include <QStringList>

namespace Orvane {

TypeInputPath::TypeInputPath(const QString& path, Shape shape) : configured(path), shape(shape)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    const int expected = shape == SingleValue ? 4 : 3;
    writable = parts.size() == expected && parts[0] == QLatin1String("Type") &&
               parts[1] == QLatin1String("Properties") && !parts[2].isEmpty() && !parts.last().isEmpty();
    if (writable) {
        setName = parts[2];
        property = shape == SingleValue ? parts[3] : QString();
    }
}

QString TypeInputPath::reason() const
{
    if (writable) {
        return {};
    }
    const char* form = shape == SingleValue ? "Type/Properties/SET/PROPERTY" : "Type/Properties/SET";
    return QCoreApplication::translate("Orvane::TypeInputPath",
                                       "Read only: the path \"%1\" does not lead into a property set of the type (%2)")
        .arg(configured, QLatin1String(form));
}

QString TypeInputPath::pathOnType() const
{
    return configured.mid(int(qstrlen("Type/")));
}

} // namespace Orvane
