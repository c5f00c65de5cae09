#pragma once

#include <QCoreApplication>
#include <QString>

namespace Orvane {

class MaterialInventory;
class MaterialLibrary;

/// The inventory of the materials of a model's results before a renovation
/// or a demolition, as a workbook: what to recover and what is re-employed,
/// with each material's waste code, category and outlet from the material
/// library.
class InventoryWorkbookExport
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::InventoryWorkbookExport)
public:
    static QString settingsKey() { return QStringLiteral("MaterialQuantities/ExportInventory"); }

    /// Writes a new workbook at path: the project's materials, their
    /// subtotals by waste category and by outlet, then one sheet of
    /// materials per building. A file already at path is replaced only once
    /// the whole workbook is written; false (and a message in *error) when
    /// it could not be.
    ///
    /// A materials sheet has one row per material in MaterialOrder: the
    /// masses to recover, re-employed and in total, what the library tells
    /// of the material, the library entry matched (or noEntryText()) and
    /// the number of building elements holding it. Headers are bold, frozen
    /// and filter the rows; masses are shown as the quantities workbook
    /// shows them; columns fit their texts.
    static bool exportInventory(const MaterialInventory& inventory, const MaterialLibrary& library, const QString& path,
                                QString* error = nullptr);

    static QString materialsSheetName();
    static QString subtotalsSheetName();
    /// The sheet of a building that has no name.
    static QString unnamedBuildingSheetName(int number);
    /// Said of a material that the library does not know, in place of its
    /// entry, and as its group in the subtotals.
    static QString noEntryText();
};

} // namespace Orvane
