#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace Orvane {

/// Where the computation finds its inputs in a model and under which names
/// it writes its results. A plain value: every holder keeps its own copy.
class MaterialQuantitiesSettings
{
public:
    /// The defaults, then what the application's default settings store holds.
    MaterialQuantitiesSettings();
    /// The defaults, then what the given store holds.
    explicit MaterialQuantitiesSettings(QSettings& store);
    /// The defaults alone, whatever any store holds.
    static MaterialQuantitiesSettings defaults();

    /// Equal when the four paths and the three lists are; the property-set
    /// names take no part (they are never edited by the user).
    bool operator==(const MaterialQuantitiesSettings& other) const;
    bool operator!=(const MaterialQuantitiesSettings& other) const { return !(*this == other); }

    void loadSettings(QSettings& settings);
    void saveSettings(QSettings& settings);

    QString functionalUnitPropertyPath;
    QString massPerFunctionalUnitPropertyPath;
    QString materialCompositionPropertyPath;
    QString reusedMaterialsPropertyPath;
    QString totalQuantitiesPropertySetName;
    QString recoveredQuantitiesPropertySetName;
    QString reusedQuantitiesPropertySetName;
    QStringList lengthQuantitiesPropPaths;
    QStringList areaQuantitiesPropPaths;
    QStringList volumeQuantitiesPropPaths;

private:
    struct DefaultsOnly
    {
    };
    explicit MaterialQuantitiesSettings(DefaultsOnly);
    void setDefaults();
};

} // namespace Orvane
