// The settings record: the seven keys it persists.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using Orvane::MaterialQuantitiesSettings;

TEST(SettingsRecord, SevenKeysRoundTripThroughAStoreWithListsInOrder)
{
    QTemporaryDir dir;
    MaterialQuantitiesSettings saved;
    saved.functionalUnitPropertyPath.clear(); // an empty path stays empty
    saved.massPerFunctionalUnitPropertyPath = "Type/Properties/FU/Mass";
    saved.materialCompositionPropertyPath = "Properties/Mix";
    saved.lengthQuantitiesPropPaths =
        QStringList({"Properties/BaseQuantities/Width", "Properties/BaseQuantities/Length"});
    saved.areaQuantitiesPropPaths.clear();
    saved.volumeQuantitiesPropPaths = QStringList({"Properties/BaseQuantities/NetVolume"});
    saved.totalQuantitiesPropertySetName = "NeverStored";
    {
        QSettings ini(dir.filePath("settings.ini"), QSettings::IniFormat);
        saved.saveSettings(ini);
        QSettings store;
        saved.saveSettings(store);
    }
    QSettings ini(dir.filePath("settings.ini"), QSettings::IniFormat);
    QStringList keys = ini.allKeys();
    keys.sort();
    EXPECT_EQ(keys, QStringList({"Tool/MaterialQuantities/areaQuantitiesPropPaths",
                                 "Tool/MaterialQuantities/functionalUnitPropertyPath",
                                 "Tool/MaterialQuantities/lengthQuantitiesPropPaths",
                                 "Tool/MaterialQuantities/massPerFunctionalUnitPropertyPath",
                                 "Tool/MaterialQuantities/materialCompositionPropertyPath",
                                 "Tool/MaterialQuantities/reusedMaterialsPropertyPath",
                                 "Tool/MaterialQuantities/volumeQuantitiesPropPaths"}));
    MaterialQuantitiesSettings fromIni;
    fromIni.reusedMaterialsPropertyPath.clear();
    fromIni.loadSettings(ini);
    // A new record reads the default store.
    const MaterialQuantitiesSettings fromStore;
    for (const MaterialQuantitiesSettings* loaded : {&std::as_const(fromIni), &fromStore}) {
        EXPECT_TRUE(loaded->functionalUnitPropertyPath.isEmpty());
        EXPECT_EQ(loaded->massPerFunctionalUnitPropertyPath, saved.massPerFunctionalUnitPropertyPath);
        EXPECT_EQ(loaded->materialCompositionPropertyPath, saved.materialCompositionPropertyPath);
        EXPECT_EQ(loaded->reusedMaterialsPropertyPath, saved.reusedMaterialsPropertyPath) << "accents survive";
        EXPECT_EQ(loaded->lengthQuantitiesPropPaths, saved.lengthQuantitiesPropPaths);
        EXPECT_TRUE(loaded->areaQuantitiesPropPaths.isEmpty()) << "an empty list stays empty";
        EXPECT_EQ(loaded->volumeQuantitiesPropPaths, saved.volumeQuantitiesPropPaths);
        EXPECT_EQ(loaded->totalQuantitiesPropertySetName, "TotalMaterialQuantities");
    }
    QSettings().clear();
}
