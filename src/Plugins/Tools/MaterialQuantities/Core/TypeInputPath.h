#pragma once

#include <QString>

namespace Orvane {

/// Where an input of the computation lives in a type, when its configured
/// path leads there: "Type/Properties/SET/PROPERTY" for a single value,
/// "Type/Properties/SET" for the material composition (one property per
/// material). Other paths (an element's own properties, a deeper tree) are
/// read but cannot be written from a type.
class TypeInputPath
{
public:
    enum Shape { SingleValue, WholeSet };

    TypeInputPath(const QString& path, Shape shape);

    bool isWritable() const { return writable; }
    /// Why the input cannot be written, when it cannot.
    QString reason() const;
    const QString& path() const { return configured; }
    const QString& propertySetName() const { return setName; }
    /// Empty for a whole set.
    const QString& propertyName() const { return property; }
    /// The path below the type, as read on the type's own row.
    QString pathOnType() const;

private:
    QString configured;
    Shape shape;
    QString setName;
    QString property;
    bool writable = false;
};

} // namespace Orvane
