#pragma once

#include "CommandFiles.h"

#include <QList>
#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

namespace Orvane {
class MaterialQuantitiesSettings;
struct TypeInputsTable;
namespace _ifc2x3 {
class IFC2x3Model;
}
} // namespace Orvane

/// `material-quantities inputs export|import`: the inputs of a model's element
/// types as a workbook, written out to be filled in, or read back into the
/// model, which is then saved.
class InputsCommand
{
public:
    enum ExitStatus { Done = 0, CannotReadOrWrite = 1, BadInput = 2 };
    enum class Action { Export, Import };

    struct Options
    {
        Action action = Action::Export;
        QString model;
        QString workbook;     ///< written by an export, read by an import
        QString output;       ///< where an import saves the model, unless inPlace
        QString settingsFile; ///< empty: the application's default store
        bool inPlace = false; ///< an import saves the model over its own file
    };

    explicit InputsCommand(Options options);
    ~InputsCommand();

    int run(QTextStream& out, QTextStream& err);

private:
    /// Refuses, before the model is opened, files that cannot be read,
    /// paths naming the same file and targets that are not regular files.
    std::optional<ExitStatus> checkFiles(QTextStream& err) const;
    QList<CommandFiles::NamedPath> namedPaths() const;
    QString savedModelPath() const;
    int exportInputs(const Orvane::TypeInputsTable& table, QTextStream& out, QTextStream& err) const;
    int importInputs(const Orvane::MaterialQuantitiesSettings& settings, const Orvane::TypeInputsTable& table,
                     QTextStream& out, QTextStream& err) const;

    Options m_options;
    /// Kept past run(): a caller about to exit need not take it down.
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model> m_model;
};
