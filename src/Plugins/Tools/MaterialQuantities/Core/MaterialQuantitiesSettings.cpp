#include "MaterialQuantitiesSettings.h"

namespace Orvane {

namespace {
const char* const group = "Tool/MaterialQuantities";
const char* const functionalUnitKey = "functionalUnitPropertyPath";
const char* const massPerFunctionalUnitKey = "massPerFunctionalUnitPropertyPath";
const char* const materialCompositionKey = "materialCompositionPropertyPath";
const char* const reusedMaterialsKey = "reusedMaterialsPropertyPath";
const char* const lengthPathsKey = "lengthQuantitiesPropPaths";
const char* const areaPathsKey = "areaQuantitiesPropPaths";
const char* const volumePathsKey = "volumeQuantitiesPropPaths";

void readString(QSettings& settings, const char* key, QString& field)
{
    if (settings.contains(QLatin1String(key))) {
        field = settings.value(QLatin1String(key)).toString();
    }
}

void readList(QSettings& settings, const char* key, QStringList& field)
{
    if (settings.contains(QLatin1String(key))) {
        field = settings.value(QLatin1String(key)).toStringList();
    }
}
} // namespace

MaterialQuantitiesSettings::MaterialQuantitiesSettings()
{
    setDefaults();
    QSettings settings;
    loadSettings(settings);
}

MaterialQuantitiesSettings::MaterialQuantitiesSettings(QSettings& store)
{
    setDefaults();
    loadSettings(store);
}

MaterialQuantitiesSettings::MaterialQuantitiesSettings(DefaultsOnly)
{
    setDefaults();
}

MaterialQuantitiesSettings MaterialQuantitiesSettings::defaults()
{
    return MaterialQuantitiesSettings(DefaultsOnly{});
}

void MaterialQuantitiesSettings::setDefaults()
{
    functionalUnitPropertyPath = QStringLiteral("Type/Properties/Unite_Fonctionnelle/Type");
    massPerFunctionalUnitPropertyPath = QStringLiteral("Type/Properties/Unite_Fonctionnelle/Masse_par_UF");
    materialCompositionPropertyPath = QStringLiteral("Type/Properties/Pourcentage_PMIB");
    reusedMaterialsPropertyPath = QString::fromWCharArray(L"Type/Properties/R\u00e9emploi/R\u00e9employ\u00e9");
    totalQuantitiesPropertySetName = QStringLiteral("TotalMaterialQuantities");
    recoveredQuantitiesPropertySetName = QStringLiteral("RecoveredMaterialQuantities");
    reusedQuantitiesPropertySetName = QStringLiteral("ReusedMaterialQuantities");
    lengthQuantitiesPropPaths = QStringList{
        QStringLiteral("Properties/BaseQuantities/Length"), QStringLiteral("Properties/BaseQuantities/Perimeter"),
        QStringLiteral("Properties/BaseQuantities/Height"), QStringLiteral("Properties/BaseQuantities/Width")};
    areaQuantitiesPropPaths = QStringList{QStringLiteral("Properties/BaseQuantities/Area"),
                                          QStringLiteral("Properties/BaseQuantities/GrossArea"),
                                          QStringLiteral("Properties/BaseQuantities/GrossSideArea"),
                                          QStringLiteral("Properties/BaseQuantities/GrossFootprintArea"),
                                          QStringLiteral("Properties/BaseQuantities/NetArea"),
                                          QStringLiteral("Properties/BaseQuantities/NetSideArea"),
                                          QStringLiteral("Properties/BaseQuantities/NetFootprintArea")};
    volumeQuantitiesPropPaths = QStringList{QStringLiteral("Properties/BaseQuantities/Volume"),
                                            QStringLiteral("Properties/BaseQuantities/GrossVolume"),
                                            QStringLiteral("Properties/BaseQuantities/NetVolume")};
}

bool MaterialQuantitiesSettings::operator==(const MaterialQuantitiesSettings& other) const
{
    return functionalUnitPropertyPath == other.functionalUnitPropertyPath &&
           massPerFunctionalUnitPropertyPath == other.massPerFunctionalUnitPropertyPath &&
           materialCompositionPropertyPath == other.materialCompositionPropertyPath &&
           reusedMaterialsPropertyPath == other.reusedMaterialsPropertyPath &&
           lengthQuantitiesPropPaths == other.lengthQuantitiesPropPaths &&
           areaQuantitiesPropPaths == other.areaQuantitiesPropPaths &&
           volumeQuantitiesPropPaths == other.volumeQuantitiesPropPaths;
}

void MaterialQuantitiesSettings::loadSettings(QSettings& settings)
{
    settings.beginGroup(QLatin1String(group));
    readString(settings, functionalUnitKey, functionalUnitPropertyPath);
    readString(settings, massPerFunctionalUnitKey, massPerFunctionalUnitPropertyPath);
    readString(settings, materialCompositionKey, materialCompositionPropertyPath);
    readString(settings, reusedMaterialsKey, reusedMaterialsPropertyPath);
    readList(settings, lengthPathsKey, lengthQuantitiesPropPaths);
    readList(settings, areaPathsKey, areaQuantitiesPropPaths);
    readList(settings, volumePathsKey, volumeQuantitiesPropPaths);
    settings.endGroup();
}

void MaterialQuantitiesSettings::saveSettings(QSettings& settings)
{
    settings.beginGroup(QLatin1String(group));
    settings.setValue(QLatin1String(functionalUnitKey), functionalUnitPropertyPath);
    settings.setValue(QLatin1String(massPerFunctionalUnitKey), massPerFunctionalUnitPropertyPath);
    settings.setValue(QLatin1String(materialCompositionKey), materialCompositionPropertyPath);
    settings.setValue(QLatin1String(reusedMaterialsKey), reusedMaterialsPropertyPath);
    settings.setValue(QLatin1String(lengthPathsKey), QVariant(lengthQuantitiesPropPaths));
    settings.setValue(QLatin1String(areaPathsKey), QVariant(areaQuantitiesPropPaths));
    settings.setValue(QLatin1String(volumePathsKey), QVariant(volumeQuantitiesPropPaths));
    settings.endGroup();
}

} // namespace Orvane
