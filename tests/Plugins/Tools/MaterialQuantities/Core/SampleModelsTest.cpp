// A whole computation on a real model: what is stored must survive a save
// and agree with totals worked out from the file by hand.

#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "ResultSets.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Values = QMap<QString, double>;

void expectNear(const Values& actual, const Values& expected, const std::string& what)
{
    EXPECT_EQ(actual.keys(), expected.keys()) << what;
    for (const QString& key : expected.keys()) {
        EXPECT_NEAR(actual.value(key), expected.value(key), 1e-9 * std::max(1.0, std::abs(expected.value(key))))
            << what << " " << key.toStdString();
    }
}

/// 90 % concrete and 10 % steel of 2400 kg/m³.
Values split(double cubicMetres)
{
    return Values{{"Acier", cubicMetres * 240.0}, {beton, cubicMetres * 2160.0}};
}

TEST(SampleModels, InstituteSampleWallsAreComputedSavedAndReadBack)
{
    MQ_SKIP_WITHOUT_SAMPLE(path, "AC11-Institute-Var-2-IFC.ifc");
    auto model = openFile(QString::fromStdString(path));
    ASSERT_TRUE(model);

    // The two wall types, their walls and the sum of the walls' BaseQuantities
    // Volume (else GrossVolume), counted in the file. The first is reused.
    const QString reusedType = "2o9YF0XWzFJhWykg70jlad";
    const double reusedVolume = 676.3385871;
    const double otherVolume = 132.084;
    const QMap<QString, std::pair<int, double>> wallTypes = {{reusedType, {65, reusedVolume}},
                                                             {"0vTTOLpwDBYBITPUvyRyuY", {54, otherVolume}}};
    for (const auto& type : model->dataSet()->allOf<ifc2x3::IfcWallType>()) {
        addProperty(type.get(), "Unite_Fonctionnelle", "Type", "volume", ifc2x3::IfcValue::IfcLabel);
        addProperty(type.get(), "Unite_Fonctionnelle", "Masse_par_UF", 2400.0, ifc2x3::IfcValue::IfcMassMeasure);
        addProperty(type.get(), "Pourcentage_PMIB", beton, 90.0, ifc2x3::IfcValue::IfcReal);
        addProperty(type.get(), "Pourcentage_PMIB", "Acier", 10.0, ifc2x3::IfcValue::IfcReal);
        if (QString::fromStdWString(type->getGlobalId().toWString()) == reusedType) {
            addProperty(type.get(), QString::fromUtf8("Réemploi"), QString::fromUtf8("Réemployé"),
                        QVariant::fromValue(Orvane::BooleanVariant(Orvane::BooleanVariant::True)),
                        ifc2x3::IfcValue::IfcBoolean);
        }
    }
    ASSERT_TRUE(Calculator(model.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities());
    QTemporaryDir dir;
    QString message;
    ASSERT_TRUE(model->save(dir.filePath("computed.ifc"), &message)) << message.toStdString();
    model = openFile(dir.filePath("computed.ifc"));
    ASSERT_TRUE(model);

    int typesSeen = 0;
    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        const Values summary = setValues(*model, static_cast<int>(type->getKey()), total);
        const QString id = QString::fromStdWString(type->getGlobalId().toWString());
        if (!wallTypes.contains(id)) {
            EXPECT_TRUE(summary.isEmpty()) << id.toStdString();
            continue;
        }
        const auto [walls, volume] = wallTypes.value(id);
        expectNear(summary, Values{{"Instances", walls}, {"Quantity", volume}, {"TotalWeight", volume * 2400.0}},
                   id.toStdString());
        ++typesSeen;
    }
    EXPECT_EQ(typesSeen, 2);

    const int project = static_cast<int>(model->dataSet()->getAllIfcProject().front()->getKey());
    const int building = static_cast<int>(model->dataSet()->getAllIfcBuilding().front()->getKey());
    expectNear(setValues(*model, project, total), split(reusedVolume + otherVolume), "project total");
    expectNear(setValues(*model, project, reused), split(reusedVolume), "project reused");
    expectNear(setValues(*model, project, recovered), split(otherVolume), "project recovered");
    expectNear(setValues(*model, building, total), split(reusedVolume + otherVolume), "building");
    EXPECT_EQ(Calculator(model.get(), Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount(),
              Calculator::getBuildingElementRows(model.get()).size() - 65 - 54);
}

} // namespace
} // namespace mqtest
