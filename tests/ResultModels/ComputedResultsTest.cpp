#include "BuildingTest.h"
#include "TestFiles.h"

#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesProxyModel.h"
#include "MaterialTotalQuantitiesModel.h"

#include "ifc2x3/ExpressDataSet.h"
#include "ifc2x3/generated/Enums.h"

#include <QHash>
#include <QTemporaryDir>

#include <cmath>

namespace resultmodels {
namespace {

using Orvane::CoreProperty;
using Orvane::MaterialQuantitiesCalculator;
using Orvane::MaterialQuantitiesProxyModel;
using Orvane::MaterialQuantitiesSettings;
using Orvane::MaterialTotalQuantitiesModel;

using NamedValues = std::vector<std::pair<QString, double>>;

/// Children of a set in the host's order, null set: none.
NamedValues children(const Step::RefPtr<CoreProperty>& set)
{
    NamedValues values;
    for (int i = 0; set && i < set->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> child(set->getChildProperty(i));
        values.emplace_back(child->name(), child->value().toDouble());
    }
    return values;
}

QModelIndex projectIndex(const IFC2x3Model& model)
{
    return model.index(model.dataSet()->getAllIfcProject().front().get());
}

NamedValues projectSet(const IFC2x3Model& model, const QString& setName)
{
    return children(model.getProperty(projectIndex(model), QStringList({"Properties", setName})));
}

::testing::AssertionResult near(double actual, double expected)
{
    if (std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected))) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual << " != " << expected;
}

/// The detailed model shows exactly what the model stores: one column per
/// child of the project's set, one row per building element, each cell the
/// element's own value. Returns the number of elements without results.
int expectDetailedMatchesModel(const MaterialQuantitiesProxyModel& detailed, IFC2x3Model& model,
                               const MaterialQuantitiesSettings& settings)
{
    const QString setName = settings.totalQuantitiesPropertySetName;
    const NamedValues totals = projectSet(model, setName);
    const int materials = static_cast<int>(totals.size());
    EXPECT_GT(materials, 0);
    EXPECT_EQ(detailed.columnCount(), materials + 4);
    for (int m = 0; m < materials; ++m) {
        EXPECT_EQ(detailed.headerData(3 + m, Qt::Horizontal).toString(), totals[m].first);
    }

    const QList<int> elementRows = MaterialQuantitiesCalculator::getBuildingElementRows(&model);
    EXPECT_EQ(detailed.rowCount(), elementRows.size());
    std::vector<double> sums(totals.size(), 0.0);
    int missing = 0;
    for (int row = 0; row < detailed.rowCount() && row < elementRows.size(); ++row) {
        const QModelIndex source = detailed.mapToSource(detailed.index(row, 0));
        EXPECT_EQ(source.row(), elementRows[row]);
        const Step::RefPtr<CoreProperty> set = model.getProperty(source, QStringList({"Properties", setName}));
        EXPECT_EQ(detailed.data(detailed.index(row, 0), Qt::EditRole), QVariant(set ? 0 : 1)) << row;
        missing += set ? 0 : 1;
        QHash<QString, double> own;
        for (const auto& [name, value] : children(set)) {
            own.insert(name, value);
        }
        for (int m = 0; m < materials; ++m) {
            const QVariant cell = detailed.data(detailed.index(row, 3 + m), Qt::EditRole);
            if (own.contains(totals[m].first)) {
                EXPECT_TRUE(near(cell.toDouble(), own.value(totals[m].first))) << row << " " << m;
                sums[m] += cell.toDouble();
            } else {
                EXPECT_FALSE(cell.isValid()) << row << " " << m;
            }
        }
    }
    // The project's totals are the sums over the building elements.
    for (int m = 0; m < materials; ++m) {
        EXPECT_TRUE(near(sums[m], totals[m].second)) << totals[m].first.toStdString();
    }
    return missing;
}

/// The totals list the project's materials sorted, and each total splits
/// into recovered and reused.
void expectTotalsMatchModel(const MaterialTotalQuantitiesModel& totals, IFC2x3Model& model,
                            const MaterialQuantitiesSettings& settings)
{
    QHash<QString, double> total;
    QStringList names;
    for (const auto& [name, value] : projectSet(model, settings.totalQuantitiesPropertySetName)) {
        total.insert(name, value);
        names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    ASSERT_EQ(totals.rowCount(), names.size());
    for (int row = 0; row < totals.rowCount(); ++row) {
        const QString name = totals.data(totals.index(row, 0)).toString();
        EXPECT_EQ(name, names[row]);
        const double split =
            totals.data(totals.index(row, 1)).toDouble() + totals.data(totals.index(row, 2)).toDouble();
        EXPECT_TRUE(near(split, total.value(name))) << name.toStdString();
    }
}

TEST(ComputedResults, BundledModelAfterSavingAndReopening)
{
    const QString input = QStringLiteral(MQ_SOURCE_DIR "/samples/small-building.ifc");
    QString error;
    auto model = IFC2x3Model::open(input, &error);
    ASSERT_TRUE(model) << error.toStdString();
    const MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings();
    MaterialQuantitiesCalculator calculator(model.get(), settings);
    ASSERT_TRUE(calculator.computeQuantities());

    // What the batch command leaves: the results saved with the model.
    QTemporaryDir dir;
    ASSERT_TRUE(model->save(dir.filePath("computed.ifc"), &error)) << error.toStdString();
    auto saved = IFC2x3Model::open(dir.filePath("computed.ifc"), &error);
    ASSERT_TRUE(saved) << error.toStdString();

    MaterialQuantitiesProxyModel detailed(settings.totalQuantitiesPropertySetName);
    CheckedModel checked(&detailed);
    detailed.setSourceModel(saved.get());
    const int missing = expectDetailedMatchesModel(detailed, *saved, settings);
    EXPECT_EQ(missing, MaterialQuantitiesCalculator(saved.get(), settings).getMissingQuantitiesCount());
    EXPECT_LT(missing, detailed.rowCount());

    MaterialTotalQuantitiesModel totals;
    totals.fillFromModel(saved.get(), settings);
    expectTotalsMatchModel(totals, *saved, settings);
}

TEST(ComputedResults, InstituteModelWithCompositionOnWallTypes)
{
    MQ_SKIP_WITHOUT_SAMPLE(path, "AC11-Institute-Var-2-IFC.ifc");
    auto model = openFile(QString::fromStdString(path));
    ASSERT_TRUE(model);
    const QString beton = QString::fromUtf8("Béton");
    int wallTypes = 0;
    for (const auto& type : model->dataSet()->allOf<ifc2x3::IfcWallType>()) {
        ifc2x3::IfcObjectDefinition* object = type.get();
        addProperty(object, "Unite_Fonctionnelle", "Type", QStringLiteral("volume"), ifc2x3::IfcValue::IfcLabel);
        addProperty(object, "Unite_Fonctionnelle", "Masse_par_UF", 2400.0, ifc2x3::IfcValue::IfcReal);
        addProperty(object, "Pourcentage_PMIB", beton, 90.0, ifc2x3::IfcValue::IfcReal);
        addProperty(object, "Pourcentage_PMIB", "Acier", 10.0, ifc2x3::IfcValue::IfcReal);
        ++wallTypes;
    }
    ASSERT_GT(wallTypes, 0);
    const MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings();
    MaterialQuantitiesCalculator calculator(model.get(), settings);
    ASSERT_TRUE(calculator.computeQuantities());

    MaterialQuantitiesProxyModel detailed(settings.totalQuantitiesPropertySetName);
    detailed.setQuantitiesPropPathMap(calculator.getQuantitiesPropPathMap());
    detailed.setSourceModel(model.get());
    const int missing = expectDetailedMatchesModel(detailed, *model, settings);
    EXPECT_EQ(missing, calculator.getMissingQuantitiesCount());
    QStringList materials = {detailed.headerData(3, Qt::Horizontal).toString(),
                             detailed.headerData(4, Qt::Horizontal).toString()};
    materials.sort();
    ASSERT_EQ(materials, QStringList({"Acier", beton}));

    // Every element with results is a wall of 90 % concrete and 10 % steel,
    // found through a volume; the others show no path.
    const int betonColumn = detailed.headerData(3, Qt::Horizontal).toString() == beton ? 3 : 4;
    const int acierColumn = 7 - betonColumn;
    int walls = 0;
    for (int row = 0; row < detailed.rowCount(); ++row) {
        if (detailed.data(detailed.index(row, 0), Qt::EditRole).toInt() == 1) {
            EXPECT_EQ(detailed.data(detailed.index(row, 5)), QVariant("Not found")) << row;
            continue;
        }
        ++walls;
        const double concrete = detailed.data(detailed.index(row, betonColumn), Qt::EditRole).toDouble();
        const double steel = detailed.data(detailed.index(row, acierColumn), Qt::EditRole).toDouble();
        EXPECT_TRUE(near(concrete, 9.0 * steel)) << row;
        EXPECT_TRUE(detailed.data(detailed.index(row, 5)).toString().contains("Volume")) << row;
    }
    EXPECT_GT(walls, 0);
    EXPECT_EQ(walls, detailed.rowCount() - missing);

    MaterialTotalQuantitiesModel totals;
    totals.fillFromModel(model.get(), settings);
    expectTotalsMatchModel(totals, *model, settings);
    ASSERT_EQ(columnValues(totals, 0, Qt::DisplayRole), QVariantList({"Acier", beton}));
    // No type says its materials are reused: all is to recover.
    EXPECT_TRUE(near(totals.data(totals.index(1, 1)).toDouble(), 9.0 * totals.data(totals.index(0, 1)).toDouble()));
    EXPECT_EQ(totals.data(totals.index(0, 2)).toDouble(), 0.0);
    EXPECT_EQ(totals.data(totals.index(1, 2)).toDouble(), 0.0);
}

} // namespace
} // namespace resultmodels
