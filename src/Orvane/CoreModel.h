#pragma once

#include "CoreProperty.h"
#include "Model.h"

namespace Orvane {

/// A model whose items have a property tree addressed by paths.
class CoreModel : public Model
{
    Q_OBJECT
public:
    using Model::Model;

    /// The property at a "/"-separated path from an item, null when the path
    /// does not resolve. An empty path, or one with an empty component,
    /// resolves to nothing.
    Step::RefPtr<CoreProperty> getProperty(const QModelIndex& index, const QString& path) const;
    virtual Step::RefPtr<CoreProperty> getProperty(const QModelIndex& index, const QStringList& path) const = 0;
};

} // namespace Orvane
