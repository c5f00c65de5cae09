#pragma once

// A small model whose building elements carry property paths on some of them
// only, for the tests of where paths resolve and of picking them.
#include "HostModels.h"

#include <memory>

struct PathTestModel
{
    /// Five building elements: three walls of a type with a functional unit
    /// and a mass, a slab of a type with a functional unit and another set,
    /// a wall of a type with a functional unit only; the first two walls
    /// carry a net volume. An opening of the slab's type, with a net volume,
    /// is no building element. With an untyped beam, six.
    explicit PathTestModel(bool withUntypedBeam = false)
    {
        testsupport::ModelBuilder step;
        walls = {step.element("IFCWALL", "Wall 1"), step.element("IFCWALL", "Wall 2"),
                 step.element("IFCWALL", "Wall 3")};
        const int slab = step.element("IFCSLAB", "Slab");
        const int bareWall = step.element("IFCWALL", "Wall 4");
        const int opening = step.element("IFCOPENINGELEMENT", "Opening");
        if (withUntypedBeam) {
            step.element("IFCBEAM", "Beam");
        }
        step.typeWith("Wall type", {"m2", testsupport::mass(12.5), {}, {}}, walls);
        step.type("IFCSLABTYPE", "Slab type",
                  {step.propertySet("Unite_Fonctionnelle", {{"Type", testsupport::label("m3")}}),
                   step.propertySet("Pset_Other", {{"X", testsupport::label("x")}})},
                  {slab, opening});
        step.typeWith("Bare wall type", {"m", {}, {}, {}}, {bareWall});
        step.baseQuantities(walls[0], {testsupport::qVolume("NetVolume", 1.0)});
        step.baseQuantities(walls[1], {testsupport::qVolume("NetVolume", 2.0)});
        step.baseQuantities(opening, {testsupport::qVolume("NetVolume", 3.0)});
        model = step.open();
    }

    QModelIndex wall(int i) const { return testsupport::indexOf(*model, walls.at(static_cast<std::size_t>(i))); }

    std::vector<int> walls;
    std::unique_ptr<testsupport::IFC2x3Model> model;
};
