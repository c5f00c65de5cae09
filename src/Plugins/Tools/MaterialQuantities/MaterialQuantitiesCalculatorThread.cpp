#include "MaterialQuantitiesCalculatorThread.h"

#include "MaterialQuantitiesCalculator.h"

namespace Orvane {

MaterialQuantitiesCalculatorThread::MaterialQuantitiesCalculatorThread(_ifc2x3::IFC2x3Model* model,
                                                                       const MaterialQuantitiesSettings& settings,
                                                                       QObject* parent)
    : QThread(parent), calculator(nullptr)
{
    if (model) {
        calculator = new MaterialQuantitiesCalculator(model, settings);
        connect(calculator, &MaterialQuantitiesCalculator::calculatedItem, this,
                &MaterialQuantitiesCalculatorThread::calculatedItem);
    }
}

MaterialQuantitiesCalculatorThread::~MaterialQuantitiesCalculatorThread()
{
    delete calculator;
}

void MaterialQuantitiesCalculatorThread::run()
{
    if (!calculator || !calculator->computeQuantities()) {
        emit calculationFailed();
        return;
    }
    emit calculationSucceeded(calculator->getQuantitiesPropPathMap());
}

} // namespace Orvane
