#include "BuildingTest.h"

namespace resultmodels {

const QString totalSet = QStringLiteral("TotalMaterialQuantities");

void BuildingTest::SetUp()
{
    ModelBuilder text;
    project = text.project();
    wallA = text.element("IFCWALL", "Wall A");
    wallB = text.element("IFCWALL", "Wall B");
    opening = text.element("IFCOPENINGELEMENT", "Opening");
    assembly = text.element("IFCELEMENTASSEMBLY", "Assembly");
    slab = text.element("IFCSLAB", "Slab");
    virtualElement = text.element("IFCVIRTUALELEMENT", "Virtual");
    beam = text.element("IFCBEAM", "Beam");
    text.type("IFCWALLTYPE", "Wall type A", {}, {wallA, wallB});
    model = text.open();
    ASSERT_TRUE(model);
    addMasses(*model, project, totalSet, {{"beton", 3405.0}, {"Acier", 127.5}, {"bois", 36.25}});
    addMasses(*model, wallA, totalSet, {{"beton", 2400.0}, {"Acier", 120.5}});
    addMasses(*model, slab, totalSet, {{"bois", 35.25}, {"beton", 1000.0}});
    addMasses(*model, opening, totalSet, {{"beton", 5.0}});
    addMasses(*model, assembly, totalSet, {{"Acier", 7.0}});
    addMasses(*model, virtualElement, totalSet, {{"bois", 1.0}});

    detailed = std::make_unique<Orvane::MaterialQuantitiesProxyModel>(totalSet);
    detailed->setQuantitiesPropPathMap(
        {{sourceRow(wallA), QStringLiteral("Properties/BaseQuantities/NetVolume")}, {sourceRow(slab), "UF_UNITE"}});
    detailed->setSourceModel(model.get());
}

} // namespace resultmodels
