#pragma once

#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesSettings.h"
#include "StoredResults.h"

#include <QMap>
#include <QThread>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Runs one computation pass off the user-interface thread and reports each
/// item, then either the failure or the success with the map from element
/// row to the quantity path that gave its functional-unit value, the results
/// as the model then holds them read on the worker too. It stops at
/// the next element when interrupted, and its destructor interrupts it and
/// waits.
class MaterialQuantitiesCalculatorThread : public QThread
{
    Q_OBJECT
public:
    MaterialQuantitiesCalculatorThread(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings,
                                       QObject* parent);
    ~MaterialQuantitiesCalculatorThread() override;

    void run() override;
    /// What the last run found of each input; read once it has ended.
    MaterialQuantitiesCalculator::InputCounts inputCounts() const;
    /// Rows the last successful run wrote quantities to (see
    /// MaterialQuantitiesCalculator::rowsHoldingQuantities()), once it ended.
    std::vector<int> rowsHoldingQuantities() const;
    /// The results the model holds after a successful run.
    const StoredResults& storedResults() const { return results; }

signals:
    void calculatedItem();
    void calculationFailed();
    void calculationSucceeded(QMap<int, QString> quantitiesPropPathMap);
    /// The run stopped on requestInterruption(); the model holds no partial
    /// results.
    void calculationInterrupted();

private:
    MaterialQuantitiesCalculator* calculator;
    _ifc2x3::IFC2x3Model* model;
    MaterialQuantitiesSettings settings;
    StoredResults results;
};

} // namespace Orvane
