// A small model whose types carry no inputs but materials and base
// quantities enough to suggest them, and a material library of its own, so
// that tests do not depend on the shipped table. Kept inline: only the
// tests include it.
#pragma once

#include "ModelBuilder.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QString>

namespace testsupport {

/// Densities in kg/m³: "Bois" and "Verre" are left out on purpose.
inline Orvane::MaterialLibrary suggestionLibrary()
{
    return Orvane::MaterialLibrary::parse(
        QString::fromUtf8("name\tpatterns\tdensity\tsource\twaste_code\tcategory\toutlet\n"
                          "Béton armé\t\t2500\tt\t17 01 01\tinert\trecycling\n"
                          "Laine minérale\t\t30\tt\t17 06 04\tnon-hazardous\trecycling\n"
                          "Acier\t\t7850\tt\t17 04 05\tnon-hazardous\trecycling\n"));
}

/// Lengths in millimetres, so that layer thicknesses are converted:
/// - "Mur béton 20": a wall type with layers 200 mm Béton armé and 100 mm
///   Laine minérale, its wall "Mur" of 10 m² through the layers' usage;
/// - "IPE 200": a beam type of Acier, its beam "Poutre" 5 m long weighing 250 kg;
/// - "Porte bois": a door type of Bois, doors "Porte 1" and "Porte 2"
///   weighing 40 and 50 kg;
/// - "Dalle 20": a slab type of Béton armé, its slab "Dalle" of 3 m³;
/// - "Fenêtre": a window type of a material list Verre and Acier.
inline ModelBuilder suggestionModel()
{
    ModelBuilder builder(ModelBuilder::Millimetres);
    const int storey = builder.storey(builder.building(QStringLiteral("Bâtiment")), QStringLiteral("RDC"));
    const int concrete = builder.material(QString::fromUtf8("Béton armé"));
    const int wool = builder.material(QString::fromUtf8("Laine minérale"));
    const int steel = builder.material(QStringLiteral("Acier"));

    const int wall = builder.element("IFCWALL", QStringLiteral("Mur"), storey);
    builder.type("IFCWALLTYPE", QString::fromUtf8("Mur béton 20"), {}, {wall});
    builder.associate(
        builder.layerSetUsage(builder.layerSet(QString::fromUtf8("Mur béton 20"), {{concrete, 200.0}, {wool, 100.0}})),
        {wall});
    builder.baseQuantities(wall,
                           {qArea(QStringLiteral("NetSideArea"), 10.0), qLength(QStringLiteral("Length"), 4000.0)});

    const int beam = builder.element("IFCBEAM", QStringLiteral("Poutre"), storey);
    builder.associate(steel, {builder.type("IFCBEAMTYPE", QStringLiteral("IPE 200"), {}, {beam})});
    builder.baseQuantities(beam,
                           {qLength(QStringLiteral("Length"), 5000.0), qWeight(QStringLiteral("GrossWeight"), 250.0)});

    const int door1 = builder.element("IFCDOOR", QStringLiteral("Porte 1"), storey);
    const int door2 = builder.element("IFCDOOR", QStringLiteral("Porte 2"), storey);
    builder.associate(builder.material(QStringLiteral("Bois")),
                      {builder.type("IFCTYPEOBJECT", QStringLiteral("Porte bois"), {}, {door1, door2})});
    builder.baseQuantities(door1, {qWeight(QStringLiteral("GrossWeight"), 40.0)});
    builder.baseQuantities(door2, {qWeight(QStringLiteral("GrossWeight"), 50.0)});

    const int slab = builder.element("IFCSLAB", QStringLiteral("Dalle"), storey);
    builder.type("IFCSLABTYPE", QStringLiteral("Dalle 20"), {}, {slab});
    builder.associate(concrete, {slab});
    builder.baseQuantities(slab, {qVolume(QStringLiteral("NetVolume"), 3.0), qArea(QStringLiteral("NetArea"), 15.0)});

    const int window = builder.element("IFCWINDOW", QString::fromUtf8("Fenêtre 1"), storey);
    builder.associate(builder.materialList({builder.material(QStringLiteral("Verre")), steel}),
                      {builder.type("IFCTYPEOBJECT", QString::fromUtf8("Fenêtre"), {}, {window})});
    return builder;
}

} // namespace testsupport
