#include "PropertyPathResolution.h"

#include "MaterialQuantitiesCalculator.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

namespace Orvane {

namespace {
const QString typeName = QStringLiteral("Type");

bool leadsIntoType(const QStringList& path)
{
    return path.size() > 1 && path.first() == typeName;
}
} // namespace

PropertyPathResolution::PropertyPathResolution(const _ifc2x3::IFC2x3Model& model)
    : model(model), rows(MaterialQuantitiesCalculator::getBuildingElementRows(&model))
{
}

PropertyPathResolution::~PropertyPathResolution() = default;

PropertyPathResolution::Count PropertyPathResolution::start(const QString& path)
{
    Count count;
    count.path = CoreProperty::getPropertyPath(path);
    return count;
}

bool PropertyPathResolution::advance(Count& count, QDeadlineTimer deadline)
{
    if (count.done) {
        return true;
    }
    if (!leadsIntoType(count.path)) {
        advanceOnElements(count, deadline);
    } else if (groupElements(deadline)) {
        advanceOnTypes(count, deadline);
    }
    return count.done;
}

int PropertyPathResolution::count(const QString& path)
{
    Count count = start(path);
    advance(count);
    return count.found;
}

bool PropertyPathResolution::groupElements(const QDeadlineTimer& deadline)
{
    // Each call gets one step done at least, however short its time.
    while (groupedRows < rows.size()) {
        groupElement(rows.at(groupedRows++));
        if (deadline.hasExpired()) {
            break;
        }
    }
    return groupedRows == rows.size();
}

void PropertyPathResolution::groupElement(int row)
{
    Step::BaseEntity* type = model.typeObject(model.index(row, 0));
    if (!type) {
        return;
    }
    const auto [entry, added] = groupOfType.try_emplace(type, groups.size());
    if (added) {
        groups.push_back({Step::RefPtr<Step::BaseEntity>(type), 0});
    }
    ++groups[entry->second].elements;
}

void PropertyPathResolution::advanceOnTypes(Count& count, const QDeadlineTimer& deadline) const
{
    const QStringList pathInType = count.path.mid(1);
    const int groupCount = static_cast<int>(groups.size());
    while (count.next < groupCount) {
        const TypeGroup& group = groups[static_cast<std::size_t>(count.next++)];
        if (_ifc2x3::IFC2x3Property::resolve(&model, group.type.get(), pathInType)) {
            count.found += group.elements;
        }
        if (deadline.hasExpired()) {
            break;
        }
    }
    count.done = count.next == groupCount;
}

void PropertyPathResolution::advanceOnElements(Count& count, const QDeadlineTimer& deadline) const
{
    while (count.next < rows.size()) {
        if (model.getProperty(model.index(rows.at(count.next++), 0), count.path)) {
            ++count.found;
        }
        if (deadline.hasExpired()) {
            break;
        }
    }
    count.done = count.next == rows.size();
}

} // namespace Orvane
