#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QMap>
#include <QString>
#include <QTextStream>

namespace Orvane {
class MaterialLibrary;
class MaterialQuantitiesSettings;
namespace _ifc2x3 {
class IFC2x3Model;
}
} // namespace Orvane

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
        QString pmdWorkbook;        ///< empty: no quantities workbook
        QString componentsWorkbook; ///< empty: no component properties workbook
        QString componentsTemplate; ///< empty: the shipped template
        QString inventoryWorkbook;  ///< empty: no inventory workbook
    };

    explicit ComputeCommand(Options options);
    ~ComputeCommand();

    int run(QTextStream& out, QTextStream& err);

private:
    /// Refuses, before the model is opened, inputs that are not readable
    /// regular files, a template that cannot be used, two paths naming the
    /// same file and targets that are not regular files.
    std::optional<ExitStatus> checkFiles(QTextStream& err) const;
    QString componentsTemplateFile() const;
    bool writeWorkbooks(Orvane::_ifc2x3::IFC2x3Model* model, const Orvane::MaterialQuantitiesSettings& settings,
                        const QMap<int, QString>& pathMap, QTextStream& out, QTextStream& err) const;
    bool writeInventory(Orvane::_ifc2x3::IFC2x3Model* model, const Orvane::MaterialQuantitiesSettings& settings,
                        QTextStream& out, QTextStream& err) const;
    /// The shipped library with the user's entries of the settings read;
    /// says on err when the shipped table cannot be read.
    Orvane::MaterialLibrary materialLibrary(QTextStream& err) const;

    Options m_options;
    /// Kept past run(): a caller about to exit need not take it down.
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model> m_model;
};
