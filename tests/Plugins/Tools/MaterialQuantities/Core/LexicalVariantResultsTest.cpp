// A model written with blanks, line breaks and comments between its tokens
// is the same model: the computation must store the same results in it.
#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "ResultSets.h"
#include "StepRewriter.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;

// Counted per unit, so that every typed element has a functional-unit value
// whatever base quantities the sample carries; every other type is made of
// reused material, so that each result set has something in it.
void giveEveryTypeInputs(IFC2x3Model& model)
{
    bool reusedType = false;
    for (const auto& type : model.dataSet()->getAllIfcTypeObject()) {
        addProperty(type.get(), "Unite_Fonctionnelle", "Type", "unite", ifc2x3::IfcValue::IfcLabel);
        addProperty(type.get(), "Unite_Fonctionnelle", "Masse_par_UF", 2400.0, ifc2x3::IfcValue::IfcMassMeasure);
        addProperty(type.get(), "Pourcentage_PMIB", beton, 90.0, ifc2x3::IfcValue::IfcReal);
        addProperty(type.get(), "Pourcentage_PMIB", "Acier", 10.0, ifc2x3::IfcValue::IfcReal);
        if ((reusedType = !reusedType)) {
            addProperty(type.get(), QString::fromUtf8("Réemploi"), QString::fromUtf8("Réemployé"),
                        QVariant::fromValue(Orvane::BooleanVariant(Orvane::BooleanVariant::True)),
                        ifc2x3::IfcValue::IfcBoolean);
        }
    }
}

std::unique_ptr<IFC2x3Model> computed(const QString& path)
{
    auto model = openFile(path);
    if (model) {
        EXPECT_TRUE(Calculator(model.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities());
    }
    return model;
}

class LexicalVariantResults : public ::testing::TestWithParam<testsupport::SampleModel>
{
};

TEST_P(LexicalVariantResults, AreThoseOfTheOriginal)
{
    const std::string path = pathOf(GetParam());
    if (path.empty()) {
        GTEST_SKIP() << GetParam().name << " is not in " MQ_SHARED_DIR "/samples";
    }
    QTemporaryDir dir;
    const QString input = dir.filePath("input.ifc");
    const QString variantPath = dir.filePath("variant.ifc");
    {
        auto model = openFile(QString::fromStdString(path));
        ASSERT_TRUE(model);
        giveEveryTypeInputs(*model);
        QString message;
        ASSERT_TRUE(model->save(input, &message)) << message.toStdString();
    }
    const StepRewriter rewriter(readFile(input.toStdString()));
    ASSERT_TRUE(rewriter.isValid());
    ASSERT_TRUE(writeFile(variantPath.toStdString(), rewriter.withSeparators(7)));

    const auto original = computed(input);
    const auto variant = computed(variantPath);
    ASSERT_TRUE(original && variant);
    int objectsWithResults = 0;
    for (const auto& object : original->dataSet()->getAllIfcObjectDefinition()) {
        const int key = static_cast<int>(object->getKey());
        for (const QString& set : {total, reused, recovered}) {
            const QMap<QString, double> expected = setValues(*original, key, set);
            EXPECT_EQ(setValues(*variant, key, set), expected) << "#" << key << " " << set.toStdString();
            objectsWithResults += expected.isEmpty() ? 0 : 1;
        }
    }
    EXPECT_GT(objectsWithResults, 0);
    EXPECT_EQ(Calculator(variant.get(), Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount(),
              Calculator(original.get(), Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount());
}

INSTANTIATE_TEST_SUITE_P(Samples, LexicalVariantResults, ::testing::ValuesIn(testsupport::sampleModels()),
                         [](const auto& info) { return testsupport::testNameOf(info.param); });

} // namespace
} // namespace mqtest
