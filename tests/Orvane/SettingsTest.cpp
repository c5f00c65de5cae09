#include "Plugins/Tools/MaterialQuantities/MaterialQuantitiesSettings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using Orvane::MaterialQuantitiesSettings;

namespace {

const QString reusePath = QString::fromUtf8("Type/Properties/Réemploi/Réemployé");

const QStringList persistedKeys = {"functionalUnitPropertyPath",      "massPerFunctionalUnitPropertyPath",
                                   "materialCompositionPropertyPath", "reusedMaterialsPropertyPath",
                                   "lengthQuantitiesPropPaths",       "areaQuantitiesPropPaths",
                                   "volumeQuantitiesPropPaths"};

} // namespace

class SettingsRecord : public ::testing::Test
{
protected:
    // The test main points the default store to a scratch folder.
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }

    QTemporaryDir dir;
    QString iniPath() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

TEST_F(SettingsRecord, AnEmptyStoreGivesTheDefaultsInOrder)
{
    const MaterialQuantitiesSettings s;
    EXPECT_EQ(s.functionalUnitPropertyPath, "Type/Properties/Unite_Fonctionnelle/Type");
    EXPECT_EQ(s.massPerFunctionalUnitPropertyPath, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF");
    EXPECT_EQ(s.materialCompositionPropertyPath, "Type/Properties/Pourcentage_PMIB");
    EXPECT_EQ(s.reusedMaterialsPropertyPath, reusePath);
    EXPECT_EQ(s.totalQuantitiesPropertySetName, "TotalMaterialQuantities");
    EXPECT_EQ(s.recoveredQuantitiesPropertySetName, "RecoveredMaterialQuantities");
    EXPECT_EQ(s.reusedQuantitiesPropertySetName, "ReusedMaterialQuantities");
    EXPECT_EQ(s.lengthQuantitiesPropPaths,
              QStringList({"Properties/BaseQuantities/Length", "Properties/BaseQuantities/Perimeter",
                           "Properties/BaseQuantities/Height", "Properties/BaseQuantities/Width"}));
    EXPECT_EQ(s.areaQuantitiesPropPaths,
              QStringList({"Properties/BaseQuantities/Area", "Properties/BaseQuantities/GrossArea",
                           "Properties/BaseQuantities/GrossSideArea", "Properties/BaseQuantities/GrossFootprintArea",
                           "Properties/BaseQuantities/NetArea", "Properties/BaseQuantities/NetSideArea",
                           "Properties/BaseQuantities/NetFootprintArea"}));
    EXPECT_EQ(s.volumeQuantitiesPropPaths,
              QStringList({"Properties/BaseQuantities/Volume", "Properties/BaseQuantities/GrossVolume",
                           "Properties/BaseQuantities/NetVolume"}));
}

TEST_F(SettingsRecord, ANewRecordReadsTheDefaultStore)
{
    {
        QSettings store;
        store.setValue("Tool/MaterialQuantities/materialCompositionPropertyPath", "Type/Properties/Mix");
        store.setValue("Tool/MaterialQuantities/volumeQuantitiesPropPaths", QStringList({"Properties/Q/V"}));
    }
    const MaterialQuantitiesSettings s;
    EXPECT_EQ(s.materialCompositionPropertyPath, "Type/Properties/Mix");
    EXPECT_EQ(s.volumeQuantitiesPropPaths, QStringList({"Properties/Q/V"}));
    EXPECT_EQ(s.functionalUnitPropertyPath, "Type/Properties/Unite_Fonctionnelle/Type");
}

TEST_F(SettingsRecord, SevenKeysRoundTripThroughAnIniFileWithListsInOrder)
{
    MaterialQuantitiesSettings saved;
    saved.functionalUnitPropertyPath = "Type/Properties/FU/Kind";
    saved.massPerFunctionalUnitPropertyPath = "Type/Properties/FU/Mass";
    saved.materialCompositionPropertyPath = "Properties/Mix";
    saved.lengthQuantitiesPropPaths =
        QStringList({"Properties/BaseQuantities/Width", "Properties/BaseQuantities/Length"});
    saved.areaQuantitiesPropPaths.clear();
    saved.volumeQuantitiesPropPaths = QStringList({"Properties/BaseQuantities/NetVolume"});
    saved.totalQuantitiesPropertySetName = "NeverStored";
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        saved.saveSettings(ini);
        ini.sync();
        EXPECT_EQ(ini.status(), QSettings::NoError);
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.beginGroup("Tool/MaterialQuantities");
    QStringList keys = ini.allKeys();
    ini.endGroup();
    keys.sort();
    QStringList expected = persistedKeys;
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(ini.allKeys().size(), persistedKeys.size()) << "nothing outside the group";

    MaterialQuantitiesSettings loaded;
    loaded.loadSettings(ini);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loaded.lengthQuantitiesPropPaths, saved.lengthQuantitiesPropPaths);
    EXPECT_TRUE(loaded.areaQuantitiesPropPaths.isEmpty()) << "an empty list stays empty";
    EXPECT_EQ(loaded.totalQuantitiesPropertySetName, "TotalMaterialQuantities");
}

TEST_F(SettingsRecord, AStoredEmptyPathIsKeptEmpty)
{
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue("Tool/MaterialQuantities/functionalUnitPropertyPath", QString());
    MaterialQuantitiesSettings s;
    s.loadSettings(ini);
    EXPECT_TRUE(s.functionalUnitPropertyPath.isEmpty());
    EXPECT_EQ(s.massPerFunctionalUnitPropertyPath, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF");
}

TEST_F(SettingsRecord, SetNamesTakeNoPartInEquality)
{
    MaterialQuantitiesSettings a;
    MaterialQuantitiesSettings b;
    b.totalQuantitiesPropertySetName = "X";
    b.recoveredQuantitiesPropertySetName = "Y";
    b.reusedQuantitiesPropertySetName = "Z";
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    b.volumeQuantitiesPropPaths.swapItemsAt(0, 1);
    EXPECT_TRUE(a != b) << "list order counts";
    b = a;
    b.reusedMaterialsPropertyPath += "x";
    EXPECT_FALSE(a == b);
    MaterialQuantitiesSettings copy(b);
    EXPECT_EQ(copy.reusedMaterialsPropertyPath, b.reusedMaterialsPropertyPath);
}

TEST_F(SettingsRecord, TheAccentsOfTheReusePathSurvive)
{
    MaterialQuantitiesSettings saved;
    ASSERT_EQ(saved.reusedMaterialsPropertyPath, reusePath);
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        saved.saveSettings(ini);
        QSettings store;
        saved.saveSettings(store);
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    MaterialQuantitiesSettings fromIni;
    fromIni.reusedMaterialsPropertyPath.clear();
    fromIni.loadSettings(ini);
    EXPECT_EQ(fromIni.reusedMaterialsPropertyPath, reusePath);

    MaterialQuantitiesSettings fromStore;
    EXPECT_EQ(fromStore.reusedMaterialsPropertyPath, reusePath);
    EXPECT_EQ(reusePath.count(QChar(0x00E9)), 3);
}
