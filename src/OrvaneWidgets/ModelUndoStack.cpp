#include "ModelUndoStack.h"

#include "Orvane/Model.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QUndoStack>

namespace Orvane {

namespace {
const char* const objectName = "modelUndoStack";
}

QUndoStack* ModelUndoStack::of(Model* model)
{
    if (!model) {
        return nullptr;
    }
    auto* stack = model->findChild<QUndoStack*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
    if (!stack) {
        stack = new QUndoStack(model);
        stack->setObjectName(QLatin1String(objectName));
    }
    return stack;
}

bool ModelUndoStack::exists(const Model* model)
{
    return model && model->findChild<QUndoStack*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
}

void ModelUndoStack::forget(Model* model)
{
    if (!exists(model)) {
        return;
    }
    of(model)->clear();
    // The edits of the commands dropped stay: their journals are kept.
    if (auto* ifcModel = qobject_cast<_ifc2x3::IFC2x3Model*>(model)) {
        ifc2x3::ExpressDataSet* dataSet = ifcModel->dataSet();
        while (dataSet && dataSet->journalOpen()) {
            dataSet->commitJournal();
        }
    }
}

} // namespace Orvane
