#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include "CheckedModel.h"
#include "HostModels.h"

#include <gtest/gtest.h>

#include <memory>

namespace resultmodels {

using namespace testsupport;

inline QVariantList columnValues(const QAbstractItemModel& model, int column, int role = Qt::EditRole)
{
    QVariantList values;
    for (int row = 0; row < model.rowCount(); ++row) {
        values.append(model.data(model.index(row, column), role));
    }
    return values;
}

inline QStringList horizontalHeaders(const QAbstractItemModel& model)
{
    QStringList headers;
    for (int section = 0; section < model.columnCount(); ++section) {
        headers.append(model.headerData(section, Qt::Horizontal).toString());
    }
    return headers;
}

extern const QString totalSet; // "TotalMaterialQuantities"

/// A model as a computation leaves it: the project's set lists beton, Acier
/// and bois in that order; the building elements are, in data set order,
/// wallA (typed, quantities), wallB (typed, none), slab (quantities) and
/// beam (none). An opening, an element assembly and a virtual element carry
/// quantities too but are no building elements.
class BuildingTest : public ::testing::Test
{
protected:
    void SetUp() override;
    /// Detailed row of an element.
    int proxyRow(int key) const { return detailed->mapFromSource(indexOf(*model, key)).row(); }
    int sourceRow(int key) const { return indexOf(*model, key).row(); }

    std::unique_ptr<IFC2x3Model> model;
    int project = 0, wallA = 0, wallB = 0, opening = 0, assembly = 0, slab = 0, virtualElement = 0, beam = 0;
    std::unique_ptr<Orvane::MaterialQuantitiesProxyModel> detailed;
};

} // namespace resultmodels
