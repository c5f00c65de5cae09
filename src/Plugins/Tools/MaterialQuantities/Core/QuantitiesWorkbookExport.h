#pragma once

#include <QString>

class QAbstractItemModel;

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// What the dock's export buttons do once a file is chosen, and the file
/// name they propose.
class QuantitiesWorkbookExport
{
public:
    static QString pmdSettingsKey() { return QStringLiteral("MaterialQuantities/ExportPMD"); }
    static QString componentsSettingsKey() { return QStringLiteral("MaterialQuantities/ExportComponents"); }

    /// The last folder used with key (while it exists), else the folder of
    /// the model's file, then "/Export_<suffix>_<project label>.xlsx";
    /// "/Export_<suffix>.xlsx" when the model has no project.
    /// Characters that cannot be in a file name are replaced in the label.
    static QString defaultExportFilePath(_ifc2x3::IFC2x3Model* model, const QString& key, const QString& suffix);

    /// Writes the totals and the details as the sheets "Total quantities"
    /// and "Details quantities" of a new workbook at path. A file already at
    /// path is replaced only once the whole workbook is written; false (and
    /// a message in *error) when it could not be. Details given as a
    /// MaterialQuantitiesProxyModel are read a row at a time
    /// (QuantitiesDetailsSheet), in time linear in the number of materials.
    ///
    /// Both sheets have a bold, frozen header row filtering the rows and
    /// columns fitted to their texts. Masses are numbers shown in kg with
    /// three decimals: every totals column after the first (the material
    /// names), and the material columns of a MaterialQuantitiesProxyModel.
    static bool exportQuantities(const QAbstractItemModel* totals, const QAbstractItemModel* details,
                                 const QString& path, QString* error = nullptr);

    /// The number format of the masses.
    static QString massNumberFormat() { return QStringLiteral("#,##0.000\" kg\""); }

    /// The sheet names, translated as the dock's texts are.
    static QString totalSheetName();
    static QString detailsSheetName();
};

} // namespace Orvane
