#include "EditContext.h"

#include "Orvane/_ifc2x3/UnitConverter.h"

#include "ifc2x3/ExpressDataSet.h"

#include <unordered_map>

namespace Orvane {
namespace Ifc2x3CC {

namespace {

std::unordered_set<std::uint64_t> findSharedParts(ifc2x3::ExpressDataSet& dataSet)
{
    std::unordered_map<std::uint64_t, int> uses;
    auto count = [&uses](const Step::Value& list) {
        for (const Step::Value& item : list.items()) {
            if (item.isReference()) {
                ++uses[item.referenceKey()];
            }
        }
    };
    for (const auto& set : dataSet.allOf<ifc2x3::IfcPropertySet>()) {
        count(set->getHasPropertiesValue());
    }
    for (const auto& complex : dataSet.allOf<ifc2x3::IfcComplexProperty>()) {
        count(complex->getHasPropertiesValue());
    }
    for (const auto& quantities : dataSet.allOf<ifc2x3::IfcElementQuantity>()) {
        count(quantities->getQuantitiesValue());
    }
    std::unordered_set<std::uint64_t> shared;
    for (const auto& [key, n] : uses) {
        if (n > 1) {
            shared.insert(key);
        }
    }
    return shared;
}

} // namespace

EditContext::EditContext(ifc2x3::ExpressDataSet& dataSet)
    : m_dataSet(dataSet), m_ownUnits(std::make_unique<_ifc2x3::UnitConverter>(&dataSet)), m_units(m_ownUnits.get())
{
}

EditContext::EditContext(ifc2x3::ExpressDataSet& dataSet, _ifc2x3::UnitConverter& units)
    : m_dataSet(dataSet), m_units(&units)
{
}

EditContext::~EditContext() = default;

_ifc2x3::UnitConverter& EditContext::units()
{
    return *m_units;
}

bool EditContext::isSharedPart(const Step::BaseEntity& part)
{
    if (!m_sharedParts) {
        m_sharedParts = findSharedParts(m_dataSet);
    }
    return m_sharedParts->count(part.getKey()) > 0;
}

EditContext::Edit::Edit(EditContext& context) : m_context(context), m_lock(context.m_dataSet.mutex())
{
    if (m_context.m_sharedParts && m_context.m_dataSet.changeCount() != m_context.m_changesSeen) {
        m_context.m_sharedParts.reset();
    }
}

EditContext::Edit::~Edit()
{
    m_context.m_changesSeen = m_context.m_dataSet.changeCount();
}

} // namespace Ifc2x3CC
} // namespace Orvane
