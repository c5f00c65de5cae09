#include "JournaledEditCommand.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

namespace Orvane {

JournaledEditCommand::JournaledEditCommand(_ifc2x3::IFC2x3Model* model, const QString& text, std::function<bool()> edit,
                                           QVector<int> rows)
    : QUndoCommand(text), model(model), edit(std::move(edit)), rows(std::move(rows))
{
}

void JournaledEditCommand::redo()
{
    if (!model || !model->dataSet()) {
        setObsolete(true);
        return;
    }
    model->dataSet()->beginJournal();
    done = edit();
    if (!done) {
        model->dataSet()->rollbackJournal();
        setObsolete(true);
    }
    announce();
}

void JournaledEditCommand::undo()
{
    if (!model || !model->dataSet() || !done) {
        return;
    }
    model->dataSet()->rollbackJournal();
    done = false;
    announce();
}

void JournaledEditCommand::announce()
{
    for (int row : qAsConst(rows)) {
        model->updateItem(model->index(row, 0));
    }
    if (afterChange) {
        afterChange();
    }
}

} // namespace Orvane
