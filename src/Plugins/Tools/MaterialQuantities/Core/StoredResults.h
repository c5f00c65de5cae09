#pragma once

#include "MaterialQuantitiesCalculator.h"

#include <QHash>

#include <cstdint>
#include <vector>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}
class MaterialQuantitiesSettings;

/// What a model holds of its computed results, as the dock shows them:
/// whether its project carries the totals, and why building elements carry
/// none. Read in one pass over the elements, on any thread (the model's
/// reads take the data set's lock), so that a model shown again does not
/// read every element's property sets on the user-interface thread.
class StoredResults
{
public:
    using MissingReasons = QHash<int, MaterialQuantitiesCalculator::MissingReason>;

    /// Nothing read: current for no model.
    StoredResults() = default;
    /// Rows known to hold quantities (those a pass has just written) are
    /// not read again.
    static StoredResults read(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings,
                              const std::vector<int>& rowsKnownToHoldQuantities = {});

    /// Whether the project carries the totals set.
    bool arePresent() const { return present; }
    /// By model row, the building elements whose result set holds no quantity.
    const MissingReasons& missingReasons() const { return reasons; }
    /// Whether the model is as it was when read: no edit since.
    bool isCurrentFor(const _ifc2x3::IFC2x3Model* model) const;
    /// The model was changed and changed back (a computation rolled back):
    /// what was read holds for it as it is now.
    void stillHoldsFor(const _ifc2x3::IFC2x3Model* model);

private:
    bool wasRead = false;
    bool present = false;
    MissingReasons reasons;
    std::uint64_t changeCount = 0;
};

} // namespace Orvane
