#include "StoredResults.h"

#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace Orvane {

StoredResults StoredResults::read(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings,
                                  const std::vector<int>& rowsKnownToHoldQuantities)
{
    StoredResults results;
    if (!model) {
        return results;
    }
    // Counted first: an edit made while reading makes the results stale.
    results.changeCount = model->dataSet()->changeCount();
    results.wasRead = true;
    const auto projects = model->dataSet()->getAllIfcProject();
    const QModelIndex project = projects.empty() ? QModelIndex() : model->index(projects.front().get());
    results.present = project.isValid() && model->getProperty(project, QStringLiteral("Properties/") +
                                                                           settings.totalQuantitiesPropertySetName);
    if (results.present) {
        results.reasons = MaterialQuantitiesCalculator(model, settings).getMissingReasons(rowsKnownToHoldQuantities);
    }
    return results;
}

bool StoredResults::isCurrentFor(const _ifc2x3::IFC2x3Model* model) const
{
    return wasRead && model && model->dataSet()->changeCount() == changeCount;
}

void StoredResults::stillHoldsFor(const _ifc2x3::IFC2x3Model* model)
{
    if (wasRead && model) {
        changeCount = model->dataSet()->changeCount();
    }
}

} // namespace Orvane
