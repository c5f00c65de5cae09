#pragma once

class QUndoStack;

namespace Orvane {

class Model;

/// The undo history of a model: one stack per model, made on first use and
/// owned by the model, so that it goes with it. The main window's Edit menu
/// undoes and redoes on the stack of the active model.
class ModelUndoStack
{
public:
    /// Null for a null model.
    static QUndoStack* of(Model* model);
    /// Whether the model has a history (without making one).
    static bool exists(const Model* model);
    /// Drops the model's history, keeping every edit made: before an
    /// operation that cannot be undone rewrites the model.
    static void forget(Model* model);
};

} // namespace Orvane
