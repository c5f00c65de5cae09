// Whole computations on real models: what is stored must survive a save and
// agree with the inputs and with itself (elements, types, buildings, project).

#include "HostModels.h"
#include "LogCapture.h"
#include "MaterialQuantitiesCalculator.h"
#include "ResultSets.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

#include "ifc2x3/generated/Enums.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Values = QMap<QString, double>;

void addInto(Values& into, const Values& values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        into[it.key()] += it.value();
    }
}

void expectNear(const Values& actual, const Values& expected, const std::string& what)
{
    EXPECT_EQ(actual.keys(), expected.keys()) << what;
    for (const QString& key : expected.keys()) {
        EXPECT_NEAR(actual.value(key), expected.value(key), 1e-9 * std::max(1.0, std::abs(expected.value(key))))
            << what << " " << key.toStdString();
    }
}

QString text(const IFC2x3Model& model, const QModelIndex& index, const QString& path)
{
    const Step::RefPtr<Orvane::CoreProperty> property = model.getProperty(index, path);
    return property ? property->value().toString() : QString();
}

double numberAt(const IFC2x3Model& model, const QModelIndex& index, const QString& path)
{
    const Step::RefPtr<Orvane::CoreProperty> property = model.getProperty(index, path);
    return property ? property->numericValue().toDouble() : -1.0;
}

TEST(SampleModels, InstituteSampleWallsAreComputedSavedAndReadBack)
{
    MQ_SKIP_WITHOUT_SAMPLE(path, "AC11-Institute-Var-2-IFC.ifc");
    auto model = openFile(QString::fromStdString(path));
    ASSERT_TRUE(model);

    // The model's wall types carry no inputs: give them some, one reused.
    QStringList wallTypeIds;
    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        if (!type->isOfType(ifc2x3::IfcWallType::getClassType())) {
            continue;
        }
        addProperty(type.get(), "Unite_Fonctionnelle", "Type", "volume", ifc2x3::IfcValue::IfcLabel);
        addProperty(type.get(), "Unite_Fonctionnelle", "Masse_par_UF", 2400.0, ifc2x3::IfcValue::IfcMassMeasure);
        addProperty(type.get(), "Pourcentage_PMIB", beton, 90.0, ifc2x3::IfcValue::IfcReal);
        addProperty(type.get(), "Pourcentage_PMIB", "Acier", 10.0, ifc2x3::IfcValue::IfcReal);
        if (wallTypeIds.isEmpty()) {
            addProperty(type.get(), QString::fromUtf8("Réemploi"), QString::fromUtf8("Réemployé"),
                        QVariant::fromValue(Orvane::BooleanVariant(Orvane::BooleanVariant::True)),
                        ifc2x3::IfcValue::IfcBoolean);
        }
        wallTypeIds.append(QString::fromStdWString(type->getGlobalId().toWString()));
    }
    ASSERT_EQ(wallTypeIds.size(), 2);

    LogCapture log{calculatorLog};
    Calculator calculator(model.get(), Orvane::MaterialQuantitiesSettings());
    QSignalSpy items(&calculator, &Calculator::calculatedItem);
    ASSERT_TRUE(calculator.computeQuantities());
    const QList<int> rows = Calculator::getBuildingElementRows(model.get());
    const int typeCount = static_cast<int>(model->dataSet()->getAllIfcTypeObject().size());
    EXPECT_EQ(items.count(), rows.size() + 1 + typeCount + 1);

    QTemporaryDir dir;
    const QString saved = dir.filePath("computed.ifc");
    QString message;
    ASSERT_TRUE(model->save(saved, &message)) << message.toStdString();
    model.reset();
    auto reread = openFile(saved);
    ASSERT_TRUE(reread);
    ASSERT_EQ(Calculator::getBuildingElementRows(reread.get()), rows);

    // Every wall of the two types holds its volume times 2400 split 90/10.
    Values sum, sumReused;
    QMap<QString, int> instances;
    QMap<QString, double> volumes;
    int reusedWalls = 0;
    for (int row : rows) {
        const QModelIndex index = reread->index(row, 0);
        const Values stored = setValues(*reread, index, total);
        const int type = wallTypeIds.indexOf(text(*reread, index, "Type/Fields/GlobalId"));
        if (type < 0) {
            EXPECT_TRUE(stored.isEmpty()) << "row " << row;
            continue;
        }
        double volume = numberAt(*reread, index, "Properties/BaseQuantities/Volume");
        if (volume < 0.0) {
            volume = numberAt(*reread, index, "Properties/BaseQuantities/GrossVolume");
        }
        ASSERT_GT(volume, 0.0) << "row " << row;
        expectNear(stored, Values{{"Acier", volume * 240.0}, {beton, volume * 2160.0}}, "wall");
        EXPECT_EQ(storedValue(*reread, reread->ifcObjectDefinition(index)->getKey(), total, beton).unitPrefix, "KILO");
        addInto(sum, stored);
        if (type == 0) {
            addInto(sumReused, stored);
            ++reusedWalls;
        }
        ++instances[wallTypeIds[type]];
        volumes[wallTypeIds[type]] += volume;
    }
    EXPECT_EQ(instances.value(wallTypeIds[0]), 65);
    EXPECT_EQ(instances.value(wallTypeIds[1]), 54);
    int unflagged = 0;
    for (const std::string& line : log.lines()) {
        unflagged += line.find("has no reused property") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(unflagged, 119 - reusedWalls);

    for (const auto& type : reread->dataSet()->getAllIfcTypeObject()) {
        const QString id = QString::fromStdWString(type->getGlobalId().toWString());
        const int key = static_cast<int>(type->getKey());
        if (!wallTypeIds.contains(id)) {
            EXPECT_EQ(setCount(*reread, key, total), 0);
            continue;
        }
        const Values summary = setValues(*reread, key, total);
        EXPECT_EQ(summary.value("Instances"), instances.value(id));
        EXPECT_NEAR(summary.value("Quantity"), volumes.value(id), 1e-9 * volumes.value(id));
        EXPECT_NEAR(summary.value("TotalWeight"), volumes.value(id) * 2400.0, 1e-9 * volumes.value(id) * 2400.0);
        const StoredValue weight = storedValue(*reread, key, total, "TotalWeight");
        EXPECT_EQ(weight.unitPrefix + " " + weight.unitName, "KILO GRAM");
    }

    const int project = static_cast<int>(reread->dataSet()->getAllIfcProject().front()->getKey());
    const int building = static_cast<int>(reread->dataSet()->getAllIfcBuilding().front()->getKey());
    Values sumRecovered = sum;
    for (auto it = sumReused.constBegin(); it != sumReused.constEnd(); ++it) {
        sumRecovered[it.key()] -= it.value();
    }
    expectNear(setValues(*reread, project, total), sum, "project total");
    expectNear(setValues(*reread, project, reused), sumReused, "project reused");
    expectNear(setValues(*reread, project, recovered), sumRecovered, "project recovered");
    expectNear(setValues(*reread, building, total), sum, "building");
    EXPECT_EQ(Calculator(reread.get(), Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount(),
              rows.size() - 119);
}

TEST(SampleModels, GeneratedBuildingAddsUpEverywhere)
{
    auto model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
    ASSERT_TRUE(model);
    LogCapture log{calculatorLog};
    Calculator calculator(model.get(), Orvane::MaterialQuantitiesSettings());
    QSignalSpy items(&calculator, &Calculator::calculatedItem);
    ASSERT_TRUE(calculator.computeQuantities());
    const QList<int> rows = Calculator::getBuildingElementRows(model.get());
    ASSERT_EQ(rows.size(), 150);
    const auto& types = model->dataSet()->getAllIfcTypeObject();
    EXPECT_EQ(items.count(), rows.size() + 1 + static_cast<int>(types.size()) + 1);

    // Read again with a fresh calculator: what each element should hold.
    Calculator reader(model.get(), Orvane::MaterialQuantitiesSettings());
    Values sum;
    int withQuantities = 0;
    QMap<ifc2x3::IfcObjectDefinition*, double> typeQuantity;
    for (int row : rows) {
        const QModelIndex index = model->index(row, 0);
        const Values stored = setValues(*model, index, total);
        const Values expected = reader.getQuantities(index);
        expectNear(stored, expected, "row " + std::to_string(row));
        addInto(sum, stored);
        withQuantities += stored.isEmpty() ? 0 : 1;
        const Step::RefPtr<Orvane::CoreProperty> type = model->getProperty(index, "Type");
        if (!stored.isEmpty() && type && reader.getFunctionalUnitValue(index) > 0.0) {
            auto* node = static_cast<Orvane::_ifc2x3::IFC2x3Property*>(type.get());
            typeQuantity[dynamic_cast<ifc2x3::IfcObjectDefinition*>(node->entity())] +=
                reader.getFunctionalUnitValue(index);
        }
    }
    EXPECT_GT(withQuantities, 0);
    EXPECT_EQ(calculator.getMissingQuantitiesCount(), rows.size() - withQuantities);

    const int project = static_cast<int>(model->dataSet()->getAllIfcProject().front()->getKey());
    const int building = static_cast<int>(model->dataSet()->getAllIfcBuilding().front()->getKey());
    expectNear(setValues(*model, project, total), sum, "project");
    expectNear(setValues(*model, building, total), sum, "building");
    Values split = setValues(*model, project, reused);
    EXPECT_FALSE(split.isEmpty());
    addInto(split, setValues(*model, project, recovered));
    expectNear(split, sum, "reused and recovered");

    for (const auto& type : types) {
        const Values summary = setValues(*model, static_cast<int>(type->getKey()), total);
        if (!summary.contains("Quantity")) {
            continue;
        }
        EXPECT_NEAR(summary.value("Quantity"), typeQuantity.value(type.get()), 1e-9 * summary.value("Quantity"));
        const double massPerUnit =
            valueAt(*model, static_cast<int>(type->getKey()), "Properties/Unite_Fonctionnelle/Masse_par_UF").toDouble();
        EXPECT_NEAR(summary.value("TotalWeight"), summary.value("Quantity") * massPerUnit,
                    1e-9 * summary.value("TotalWeight"));
    }
}

} // namespace
} // namespace mqtest
