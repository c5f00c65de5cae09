#pragma once

#include <QString>
#include <QTextStream>

/// `material-quantities compute`: opens a model, computes its material
/// quantities on a worker thread, saves the model with its results and
/// prints a summary.
class ComputeCommand
{
public:
    enum ExitStatus { Computed = 0, NothingFound = 1, BadInput = 2, CannotWrite = 3 };

    struct Options
    {
        QString input;
        QString output;
        QString settingsFile; ///< empty: the application's default store
        bool inPlace = false;
    };

    explicit ComputeCommand(Options options) : m_options(std::move(options)) {}

    int run(QTextStream& out, QTextStream& err);

private:
    Options m_options;
};
