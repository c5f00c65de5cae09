// Suggested type inputs: drawn from the materials and base quantities of a
// small model with masses worked out by hand, then accepted and computed.
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsSuggester.h"
#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"
#include "ResultSets.h"
#include "SuggestionModels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesSettings;
using Orvane::TypeInputsSuggestion;

// 200 mm × 2500 kg/m³ + 100 mm × 30 kg/m³ per m² of wall.
constexpr double wallMassPerArea = 0.2 * 2500.0 + 0.1 * 30.0;

struct Expected
{
    const char* type;
    QString unit;
    std::optional<double> mass;
    /// Shares in percent, NaN for a share left to the user.
    std::vector<std::pair<QString, double>> shares;
    const char* sourceSays;
};

void PrintTo(const Expected& expected, std::ostream* out)
{
    *out << expected.type;
}

class TypeInputsSuggester : public ::testing::TestWithParam<Expected>
{
protected:
    static std::map<QString, TypeInputsSuggestion> suggestionsByType(IFC2x3Model& model)
    {
        const auto table = Orvane::TypeInputsReader(&model, MaterialQuantitiesSettings::defaults()).read();
        const auto suggestions =
            Orvane::TypeInputsSuggester(&model, MaterialQuantitiesSettings::defaults(), suggestionLibrary())
                .suggest(table);
        std::map<QString, TypeInputsSuggestion> byType;
        for (int i = 0; i < table.types.size(); ++i) {
            byType[table.types[i].name] = suggestions[i];
        }
        return byType;
    }
};

TEST_P(TypeInputsSuggester, SuggestsFromMaterialsAndQuantities)
{
    const Expected& expected = GetParam();
    const auto model = suggestionModel().open();
    const TypeInputsSuggestion suggestion = suggestionsByType(*model).at(QString::fromUtf8(expected.type));
    EXPECT_EQ(suggestion.functionalUnit.value_or(QString()), expected.unit);
    EXPECT_EQ(Orvane::MaterialQuantitiesCalculator::functionalUnitOf(expected.unit),
              Orvane::MaterialQuantitiesCalculator::functionalUnitOf(*suggestion.functionalUnit));
    ASSERT_EQ(suggestion.massPerFunctionalUnit.has_value(), expected.mass.has_value())
        << suggestion.massSource.toStdString();
    if (expected.mass) {
        EXPECT_NEAR(*suggestion.massPerFunctionalUnit, *expected.mass, 1e-9);
    }
    ASSERT_TRUE(suggestion.composition);
    ASSERT_EQ(suggestion.composition->size(), int(expected.shares.size()));
    for (std::size_t i = 0; i < expected.shares.size(); ++i) {
        const auto& share = suggestion.composition->at(int(i));
        EXPECT_EQ(share.material, expected.shares[i].first);
        if (std::isnan(expected.shares[i].second)) {
            EXPECT_TRUE(share.value.isNull());
        } else {
            EXPECT_NEAR(share.value.toDouble(), expected.shares[i].second, 1e-9);
        }
    }
    const QString sources = suggestion.functionalUnitSource + suggestion.massSource + suggestion.compositionSource;
    EXPECT_TRUE(sources.contains(QString::fromUtf8(expected.sourceSays))) << sources.toStdString();
}

const double unset = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    TypesOfSmallModel, TypeInputsSuggester,
    ::testing::Values(Expected{"Mur béton 20",
                               QStringLiteral("Area"),
                               wallMassPerArea,
                               {{QString::fromUtf8("Béton armé"), 500.0 / wallMassPerArea * 100.0},
                                {QString::fromUtf8("Laine minérale"), 3.0 / wallMassPerArea * 100.0}},
                               "layer set 'Mur béton 20': 200 mm Béton armé, 2500 kg/m³"},
                      Expected{"IPE 200",
                               QStringLiteral("Length"),
                               250.0 / 5.0,
                               {{QStringLiteral("Acier"), 100.0}},
                               "Weights of 1 instance"},
                      Expected{"Porte bois",
                               QStringLiteral("Unite"),
                               (40.0 + 50.0) / 2.0,
                               {{QStringLiteral("Bois"), 100.0}},
                               "Bois, no density in the material library"},
                      Expected{"Dalle 20",
                               QStringLiteral("Volume"),
                               2500.0,
                               {{QString::fromUtf8("Béton armé"), 100.0}},
                               "material Béton armé, 2500 kg/m³"},
                      Expected{"Fenêtre",
                               QStringLiteral("Unite"),
                               std::nullopt,
                               {{QStringLiteral("Verre"), unset}, {QStringLiteral("Acier"), unset}},
                               "type the share of each material"}));

TEST(TypeInputsSuggestions, AcceptedThenComputedGiveTheMassesWorkedOutByHand)
{
    const auto model = suggestionModel().open();
    const MaterialQuantitiesSettings settings = MaterialQuantitiesSettings::defaults();
    const auto table = Orvane::TypeInputsReader(model.get(), settings).read();
    QVector<Orvane::TypeInputsChange> changes;
    for (const TypeInputsSuggestion& suggestion :
         Orvane::TypeInputsSuggester(model.get(), settings, suggestionLibrary()).suggest(table)) {
        changes << suggestion.change();
    }
    QString error;
    ASSERT_EQ(Orvane::TypeInputsWorkbookImport::apply(changes, Orvane::TypeInputsWriter(model.get(), settings), &error),
              changes.size())
        << error.toStdString();
    ASSERT_TRUE(Orvane::MaterialQuantitiesCalculator(model.get(), settings).computeQuantities());

    std::map<QString, QMap<QString, double>> massesByElement;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const auto set = model->getProperty(index, QStringLiteral("Properties/") + mqtest::total);
        for (int i = 0; set && i < set->childCount(); ++i) {
            const Step::RefPtr<Orvane::CoreProperty> mass(set->getChildProperty(i));
            massesByElement[model->data(index.siblingAtColumn(IFC2x3Model::NameColumn)).toString()].insert(
                mass->name(), mass->value().toDouble());
        }
    }
    const std::map<QString, QMap<QString, double>> expected = {
        {QStringLiteral("Mur"),
         {{QString::fromUtf8("Béton armé"), 10 * 0.2 * 2500.0},
          {QString::fromUtf8("Laine minérale"), 10 * 0.1 * 30.0}}},
        {QStringLiteral("Poutre"), {{QStringLiteral("Acier"), 250.0}}},
        {QStringLiteral("Porte 1"), {{QStringLiteral("Bois"), 45.0}}},
        {QStringLiteral("Porte 2"), {{QStringLiteral("Bois"), 45.0}}},
        {QStringLiteral("Dalle"), {{QString::fromUtf8("Béton armé"), 3 * 2500.0}}}};
    for (const auto& [element, masses] : expected) {
        ASSERT_EQ(massesByElement[element].keys(), masses.keys()) << element.toStdString();
        for (auto mass = masses.cbegin(); mass != masses.cend(); ++mass) {
            EXPECT_NEAR(massesByElement[element].value(mass.key()), mass.value(), 1e-6) << element.toStdString();
        }
    }
}

} // namespace
