#pragma once

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QPointer>
#include <QUndoCommand>
#include <QVector>

#include <functional>

namespace Orvane {

/// An edit of a model's data set that undo takes back exactly: the edit
/// runs under a journal of the data set that stays open while the command
/// can be undone, and undo rolls it back, so that the model, and the file
/// it saves, are what they were before, byte for byte. Redo runs the edit
/// again on the state it first ran on.
///
/// Commands of one model must be undone in the order of its stack (which
/// QUndoStack does): each journal lies inside the one before.
class JournaledEditCommand : public QUndoCommand
{
public:
    /// The edit returns false when it failed; what it did is then rolled
    /// back and the command made obsolete, so that pushing it leaves no
    /// entry. rows are the model rows the edit changes, announced on undo.
    JournaledEditCommand(_ifc2x3::IFC2x3Model* model, const QString& text, std::function<bool()> edit,
                         QVector<int> rows);

    void redo() override;
    void undo() override;

    /// Called after each redo and undo, e.g. to read the changed rows again.
    void setAfterChange(std::function<void()> afterChange) { this->afterChange = std::move(afterChange); }
    /// Whether the last redo succeeded.
    bool succeeded() const { return done; }

private:
    void announce();

    QPointer<_ifc2x3::IFC2x3Model> model;
    std::function<bool()> edit;
    std::function<void()> afterChange;
    QVector<int> rows;
    bool done = false;
};

} // namespace Orvane
