#include "PropertyPathCounter.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <algorithm>

namespace Orvane {

PropertyPathCounter::PropertyPathCounter(QObject* parent) : QObject(parent)
{
    sliceTimer.setSingleShot(true);
    sliceTimer.setInterval(0);
    connect(&sliceTimer, &QTimer::timeout, this, &PropertyPathCounter::countSlice);
}

PropertyPathCounter::~PropertyPathCounter() = default;

void PropertyPathCounter::setModel(_ifc2x3::IFC2x3Model* model)
{
    if (currentModel) {
        disconnect(currentModel, nullptr, this, nullptr);
    }
    currentModel = model;
    if (currentModel) {
        // Results written or sets edited may change where paths lead.
        connect(currentModel, &_ifc2x3::IFC2x3Model::contentChanged, this, &PropertyPathCounter::dropCounts);
        connect(currentModel, &QObject::destroyed, this, &PropertyPathCounter::dropCounts);
    }
    dropCounts();
}

_ifc2x3::IFC2x3Model* PropertyPathCounter::model() const
{
    return currentModel;
}

void PropertyPathCounter::dropCounts()
{
    sliceTimer.stop();
    queue.clear();
    counts.clear();
    resolution.reset();
    emit countsDropped();
}

void PropertyPathCounter::request(const QString& path)
{
    if (!currentModel || counts.contains(path) ||
        std::any_of(queue.begin(), queue.end(), [&path](const auto& queued) { return queued.first == path; })) {
        return;
    }
    queue.emplace_back(path, PropertyPathResolution::start(path));
    sliceTimer.start();
}

std::optional<int> PropertyPathCounter::found(const QString& path) const
{
    const auto counted = counts.constFind(path);
    return counted == counts.constEnd() ? std::nullopt : std::optional<int>(*counted);
}

int PropertyPathCounter::elementCount() const
{
    return currentModel && resolution ? resolution->elementCount() : 0;
}

void PropertyPathCounter::countSlice()
{
    if (!currentModel) {
        dropCounts();
        return;
    }
    const QDeadlineTimer deadline(sliceMs);
    if (!resolution) {
        resolution = std::make_unique<PropertyPathResolution>(*currentModel);
    }
    QStringList done;
    while (!queue.empty() && !deadline.hasExpired()) {
        auto& [path, count] = queue.front();
        if (!resolution->advance(count, deadline)) {
            break;
        }
        counts.insert(path, count.found);
        done.append(path);
        queue.pop_front();
    }
    if (!queue.empty()) {
        sliceTimer.start();
    }
    // Told once the queue is in order: a listener may ask for more paths.
    for (const QString& path : qAsConst(done)) {
        emit counted(path);
    }
}

} // namespace Orvane
