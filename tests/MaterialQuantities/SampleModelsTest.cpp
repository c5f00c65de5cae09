// A whole computation on a real model: what is stored must survive a save
// and agree with the inputs given (walls, their types, building, project).

#include "HostModels.h"
#include "LogCapture.h"
#include "MaterialQuantitiesCalculator.h"
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

QString globalId(const ifc2x3::IfcRoot& object)
{
    return QString::fromStdWString(object.getGlobalId().toWString());
}

TEST(SampleModels, InstituteSampleWallsAreComputedSavedAndReadBack)
{
    MQ_SKIP_WITHOUT_SAMPLE(path, "AC11-Institute-Var-2-IFC.ifc");
    auto model = openFile(QString::fromStdString(path));
    ASSERT_TRUE(model);

    // The model's two wall types carry no inputs: 2400 kg/m³, 90 % concrete
    // and 10 % steel; the first one's materials are reused.
    QStringList wallTypeIds;
    for (const auto& type : model->dataSet()->allOf<ifc2x3::IfcWallType>()) {
        addProperty(type.get(), "Unite_Fonctionnelle", "Type", "volume", ifc2x3::IfcValue::IfcLabel);
        addProperty(type.get(), "Unite_Fonctionnelle", "Masse_par_UF", 2400.0, ifc2x3::IfcValue::IfcMassMeasure);
        addProperty(type.get(), "Pourcentage_PMIB", beton, 90.0, ifc2x3::IfcValue::IfcReal);
        addProperty(type.get(), "Pourcentage_PMIB", "Acier", 10.0, ifc2x3::IfcValue::IfcReal);
        if (wallTypeIds.isEmpty()) {
            addProperty(type.get(), QString::fromUtf8("Réemploi"), QString::fromUtf8("Réemployé"),
                        QVariant::fromValue(Orvane::BooleanVariant(Orvane::BooleanVariant::True)),
                        ifc2x3::IfcValue::IfcBoolean);
        }
        wallTypeIds.append(globalId(*type));
    }
    ASSERT_EQ(wallTypeIds.size(), 2);

    LogCapture log{calculatorLog};
    ASSERT_TRUE(Calculator(model.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities());
    const QList<int> rows = Calculator::getBuildingElementRows(model.get());
    QTemporaryDir dir;
    QString message;
    ASSERT_TRUE(model->save(dir.filePath("computed.ifc"), &message)) << message.toStdString();
    model = openFile(dir.filePath("computed.ifc"));
    ASSERT_TRUE(model);
    ASSERT_EQ(Calculator::getBuildingElementRows(model.get()), rows);

    // Each wall holds its volume (Volume, else GrossVolume) times 2400 split 90/10.
    QMap<QString, int> instances;
    QMap<QString, double> volumes;
    for (int row : rows) {
        const QModelIndex index = model->index(row, 0);
        const Values stored = setValues(*model, index, total);
        const auto type = model->getProperty(index, "Type/Fields/GlobalId");
        const QString typeId = type ? type->value().toString() : QString();
        if (!wallTypeIds.contains(typeId)) {
            EXPECT_TRUE(stored.isEmpty()) << "row " << row;
            continue;
        }
        auto volume = model->getProperty(index, "Properties/BaseQuantities/Volume");
        volume = volume ? volume : model->getProperty(index, "Properties/BaseQuantities/GrossVolume");
        ASSERT_TRUE(volume) << "row " << row;
        const double cubicMetres = volume->numericValue().toDouble();
        expectNear(stored, Values{{"Acier", cubicMetres * 240.0}, {beton, cubicMetres * 2160.0}}, "wall");
        ++instances[typeId];
        volumes[typeId] += cubicMetres;
    }
    EXPECT_EQ(instances.value(wallTypeIds[0]), 65);
    EXPECT_EQ(instances.value(wallTypeIds[1]), 54);
    int unflagged = 0;
    for (const std::string& line : log.lines()) {
        unflagged += line.find("has no reused property") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(unflagged, 54);

    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        const QString id = globalId(*type);
        const Values summary = setValues(*model, static_cast<int>(type->getKey()), total);
        if (!wallTypeIds.contains(id)) {
            EXPECT_TRUE(summary.isEmpty());
            continue;
        }
        expectNear(summary,
                   Values{{"Instances", instances.value(id)},
                          {"Quantity", volumes.value(id)},
                          {"TotalWeight", volumes.value(id) * 2400.0}},
                   "type");
    }

    const auto split = [&](int type) {
        return Values{{"Acier", volumes.value(wallTypeIds[type]) * 240.0},
                      {beton, volumes.value(wallTypeIds[type]) * 2160.0}};
    };
    Values sum = split(0);
    for (const QString& material : sum.keys()) {
        sum[material] += split(1).value(material);
    }
    const int project = static_cast<int>(model->dataSet()->getAllIfcProject().front()->getKey());
    const int building = static_cast<int>(model->dataSet()->getAllIfcBuilding().front()->getKey());
    expectNear(setValues(*model, project, total), sum, "project total");
    expectNear(setValues(*model, project, reused), split(0), "project reused");
    expectNear(setValues(*model, project, recovered), split(1), "project recovered");
    expectNear(setValues(*model, building, total), sum, "building");
    EXPECT_EQ(Calculator(model.get(), Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount(),
              rows.size() - 119);
}

} // namespace
} // namespace mqtest
