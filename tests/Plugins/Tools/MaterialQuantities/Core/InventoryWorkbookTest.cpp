// The inventory workbook of a small model whose results are written by
// hand: masses, counts and subtotals known in advance, whatever the shipped
// material library holds.
#include "DefaultLocale.h"
#include "HostModels.h"
#include "Sheet.h"

#include "Plugins/Tools/MaterialQuantities/Core/InventoryWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialInventory.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using Orvane::InventoryWorkbookExport;
using Orvane::MaterialLibrary;

const char* const libraryTable = "name\tpatterns\tdensity\tsource\twaste_code\tcategory\toutlet\n"
                                 "B\u00e9ton\tbeton*\t2400\tx\t17 01 01\tinert\trecycling\n"
                                 "Acier\tacier*\t7850\tx\t17 04 05\tnon-hazardous\trecycling\n"
                                 "Bois\tbois*\t500\tx\t17 02 01\tnon-hazardous\tenergy-recovery\n";

/// Two buildings: "Bât. A/B" with a re-employed wall (1000 kg of concrete,
/// 50 kg of wood) and a recovered one (2000 kg of concrete, 30 kg of
/// plaster, which the library lacks); "Annexe" with 400 kg of steel on a
/// wall that holds no concrete.
class InventoryWorkbook : public testing::Test
{
protected:
    void SetUp() override
    {
        MQ_REQUIRE_OPENPYXL();
        ModelBuilder text;
        const int first = text.building("B\u00e2t. A/B");
        const int annex = text.building("Annexe");
        const int reusedWall = text.element("IFCWALL", "Reused", text.storey(first, "RDC"));
        const int recoveredWall = text.element("IFCWALL", "Recovered", text.storey(first, "R+1"));
        const int steelWall = text.element("IFCWALL", "Steel", text.storey(annex, "RDC"));
        text.typeWith("Reused", {{}, {}, {}, boolean('T')}, {reusedWall});
        text.typeWith("Recovered", {{}, {}, {}, boolean('F')}, {recoveredWall, steelWall});
        model = text.open();
        ASSERT_TRUE(model);
        const QString beton = QStringLiteral("B\u00e9ton");
        const QString platre = QStringLiteral("Pl\u00e2tre");
        addMasses(*model, reusedWall, settings.totalQuantitiesPropertySetName, {{beton, 1000.0}, {"Bois", 50.0}});
        addMasses(*model, recoveredWall, settings.totalQuantitiesPropertySetName, {{beton, 2000.0}, {platre, 30.0}});
        addMasses(*model, steelWall, settings.totalQuantitiesPropertySetName, {{"Acier", 400.0}, {beton, 0.0}});
        addMasses(*model, first, settings.totalQuantitiesPropertySetName,
                  {{beton, 3000.0}, {"Bois", 50.0}, {platre, 30.0}});
        addMasses(*model, annex, settings.totalQuantitiesPropertySetName, {{"Acier", 400.0}});
        addMasses(*model, text.project(), settings.totalQuantitiesPropertySetName,
                  {{beton, 3000.0}, {"Bois", 50.0}, {platre, 30.0}, {"Acier", 400.0}});
        addMasses(*model, text.project(), settings.recoveredQuantitiesPropertySetName,
                  {{beton, 2000.0}, {platre, 30.0}, {"Acier", 400.0}});
        addMasses(*model, text.project(), settings.reusedQuantitiesPropertySetName, {{beton, 1000.0}, {"Bois", 50.0}});
    }

    QList<Sheet> exported()
    {
        const QString path = dir.filePath("inventory.xlsx");
        const auto library = MaterialLibrary::parse(QString::fromUtf8(libraryTable));
        QString error;
        EXPECT_TRUE(InventoryWorkbookExport::exportInventory(Orvane::MaterialInventory::read(model.get(), settings),
                                                             library, path, &error))
            << error.toStdString();
        return Sheet::readWorkbook(path);
    }

    static QString category(MaterialLibrary::Category category) { return MaterialLibrary::categoryText(category); }
    static QString outlet(MaterialLibrary::Outlet outlet) { return MaterialLibrary::outletText(outlet); }

    const Orvane::MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings::defaults();
    std::unique_ptr<IFC2x3Model> model;
    QTemporaryDir dir;
};

TEST_F(InventoryWorkbook, ListsEachMaterialWithItsMassesWasteDataAndElements)
{
    const QList<Sheet> sheets = exported();
    ASSERT_EQ(Sheet::names(sheets), (QStringList{"Materials", "Subtotals", "B\u00e2t. A_B", "Annexe"}));
    const QString noEntry = InventoryWorkbookExport::noEntryText();
    const QList<QVariantList> materials = {
        {"Material", "Mass to recover", "Mass re-employed", "Total mass", "European waste code", "Waste category",
         "Outlet", "Material library entry", "Building elements"},
        {"Acier", 400.0, 0.0, 400.0, "17 04 05", category(MaterialLibrary::Category::NonHazardous),
         outlet(MaterialLibrary::Outlet::Recycling), "Acier", 1.0},
        {"B\u00e9ton", 2000.0, 1000.0, 3000.0, "17 01 01", category(MaterialLibrary::Category::Inert),
         outlet(MaterialLibrary::Outlet::Recycling), "B\u00e9ton", 2.0},
        {"Bois", 0.0, 50.0, 50.0, "17 02 01", category(MaterialLibrary::Category::NonHazardous),
         outlet(MaterialLibrary::Outlet::EnergyRecovery), "Bois", 1.0},
        {"Pl\u00e2tre", 30.0, 0.0, 30.0, QVariant(), QVariant(), QVariant(), noEntry, 1.0}};
    EXPECT_EQ(sheets[0].rows, materials);

    const QList<QVariantList> subtotals = {
        {"Subtotal by", "Group", "Mass to recover", "Mass re-employed", "Total mass"},
        {"Waste category", category(MaterialLibrary::Category::Inert), 2000.0, 1000.0, 3000.0},
        {"Waste category", category(MaterialLibrary::Category::NonHazardous), 400.0, 50.0, 450.0},
        {"Waste category", noEntry, 30.0, 0.0, 30.0},
        {"Outlet", outlet(MaterialLibrary::Outlet::Recycling), 2400.0, 1000.0, 3400.0},
        {"Outlet", outlet(MaterialLibrary::Outlet::EnergyRecovery), 0.0, 50.0, 50.0},
        {"Outlet", noEntry, 30.0, 0.0, 30.0}};
    EXPECT_EQ(sheets[1].rows, subtotals);
}

// A building's split comes from its own elements and their reused input.
TEST_F(InventoryWorkbook, EachBuildingHasItsOwnMaterials)
{
    const QList<Sheet> sheets = exported();
    ASSERT_EQ(sheets.size(), 4);
    // Material, masses and elements.
    const auto quantities = [](const Sheet& sheet) {
        QList<QVariantList> rows;
        for (const QVariantList& row : sheet.rows.mid(1)) {
            rows.append(row.mid(0, 4) << row.value(8));
        }
        return rows;
    };
    EXPECT_EQ(sheets[2].row(1), sheets[0].row(1));
    EXPECT_EQ(quantities(sheets[2]), (QList<QVariantList>{{"B\u00e9ton", 2000.0, 1000.0, 3000.0, 2.0},
                                                          {"Bois", 0.0, 50.0, 50.0, 1.0},
                                                          {"Pl\u00e2tre", 30.0, 0.0, 30.0, 1.0}}));
    EXPECT_EQ(quantities(sheets[3]), (QList<QVariantList>{{"Acier", 400.0, 0.0, 400.0, 1.0}}));
}

TEST_F(InventoryWorkbook, IsHeadedInFrenchUnderAFrenchTranslation)
{
    const DefaultLocale locale(DefaultLocale::french());
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral("material_quantities_fr"), QStringLiteral(MQ_TRANSLATIONS_DIR)));
    QCoreApplication::installTranslator(&french);
    const QList<Sheet> sheets = exported();
    QCoreApplication::removeTranslator(&french);
    ASSERT_EQ(Sheet::names(sheets).mid(0, 2), (QStringList{"Mat\u00e9riaux", "Sous-totaux"}));
    EXPECT_EQ(sheets[0].row(1).mid(0, 4),
              (QVariantList{"Mat\u00e9riau", "Masse \u00e0 valoriser", "Masse r\u00e9employ\u00e9e", "Masse totale"}));
    EXPECT_EQ(sheets[0].cell(5, 8), QVariant("Aucune entr\u00e9e dans la biblioth\u00e8que de mat\u00e9riaux"));
}

} // namespace
