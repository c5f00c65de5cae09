#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/PropertyPathResolution.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Counts, for the paths asked for, on how many building elements of a model
/// each resolves. The work is done on the model's thread in short slices
/// between events, so that a large model keeps the user interface
/// responsive; counts are kept until the model changes. A model closed
/// meanwhile is dropped, never read again.
class PropertyPathCounter : public QObject
{
    Q_OBJECT
public:
    explicit PropertyPathCounter(QObject* parent = nullptr);
    ~PropertyPathCounter() override;

    /// Drops every count; model may be null.
    void setModel(_ifc2x3::IFC2x3Model* model);
    _ifc2x3::IFC2x3Model* model() const;

    /// Counts path later unless it is counted or queued already.
    void request(const QString& path);
    /// On how many building elements path resolves, when counted already.
    std::optional<int> found(const QString& path) const;
    /// The number of building elements of the model; 0 without a model.
    int elementCount() const;

    /// How long one slice of work may take.
    static constexpr int sliceMs = 20;

signals:
    void counted(const QString& path);
    /// The counts were dropped (the model changed or was closed): ask again.
    void countsDropped();

private:
    void countSlice();
    void dropCounts();

    QPointer<_ifc2x3::IFC2x3Model> currentModel;
    std::unique_ptr<PropertyPathResolution> resolution;
    QHash<QString, int> counts;
    std::deque<std::pair<QString, PropertyPathResolution::Count>> queue;
    QTimer sliceTimer;
};

} // namespace Orvane
