#include "MaterialQuantitiesCalculatorThread.h"

#include "MaterialQuantitiesCalculator.h"

namespace {

// The success signal carries the map across threads, to receivers that may
// be connected before any worker exists: known once the library is loaded.
const int quantitiesPropPathMapTypeId = qRegisterMetaType<QMap<int, QString>>("QMap<int, QString>");

} // namespace

namespace Orvane {

MaterialQuantitiesCalculatorThread::MaterialQuantitiesCalculatorThread(_ifc2x3::IFC2x3Model* model,
                                                                       const MaterialQuantitiesSettings& settings,
                                                                       QObject* parent)
    : QThread(parent), calculator(nullptr), model(model), settings(settings)
{
    if (model) {
        calculator = new MaterialQuantitiesCalculator(model, settings);
        // Relayed on the worker thread as it happens: receivers on other
        // threads get it queued as usual, and a thread-safe receiver may take
        // it directly without an event per element.
        connect(calculator, &MaterialQuantitiesCalculator::calculatedItem, this,
                &MaterialQuantitiesCalculatorThread::calculatedItem, Qt::DirectConnection);
    }
}

MaterialQuantitiesCalculatorThread::~MaterialQuantitiesCalculatorThread()
{
    // Destroyed while running (its owner closing): stop at the next element
    // rather than abort the process.
    requestInterruption();
    wait();
    delete calculator;
}

MaterialQuantitiesCalculator::InputCounts MaterialQuantitiesCalculatorThread::inputCounts() const
{
    return calculator ? calculator->getInputCounts() : MaterialQuantitiesCalculator::InputCounts();
}

std::vector<int> MaterialQuantitiesCalculatorThread::rowsHoldingQuantities() const
{
    return calculator ? calculator->rowsHoldingQuantities() : std::vector<int>();
}

void MaterialQuantitiesCalculatorThread::run()
{
    if (!calculator || !calculator->computeQuantities()) {
        if (isInterruptionRequested()) {
            emit calculationInterrupted();
        } else {
            emit calculationFailed();
        }
        return;
    }
    results = StoredResults::read(model, settings, calculator->rowsHoldingQuantities());
    emit calculationSucceeded(calculator->getQuantitiesPropPathMap());
}

} // namespace Orvane
